// The settings the program keeps in memory after start (loaded by REGDATENAUSLESEN,
// changed by the settings window and by the date and currency questions of a check).
#pragma once

#include "core/Dates.h"

#include <optional>
#include <string>

namespace arti {

struct Settings {
    bool adminInstall = false;
    std::string installPath;    // user data folder
    std::string artiQuelle;     // source folder offered by the file choice
    std::string waehrung;       // currency
    std::string lCode;          // country code
    int nks = 0;                // decimal places
    std::optional<Date> uDatum; // lower bound of the date window
    std::optional<Date> oDatum; // upper bound of the date window
    bool startDlg = true;
    bool visual = false;
};

Settings& settings();

} // namespace arti
