// The update check: compares the program's version with the version file of the update
// site, offers a newer full setup or update, downloads its installer over verified HTTPS
// into a private folder, checks the installer's signature and starts it. Runs by hand
// from the update settings window and automatically among the deferred start tasks when
// it is due.
#pragma once

#include "core/Services.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace arti {

// The main window's open-document operation: the shell's "open" of a file or address;
// reports a failure itself and returns the shell's result (32 or less: failed).
using OpenDocument = std::function<long(const std::string& target)>;

// Host and folder path (ending in "/") of the "URLMerix" address.
struct UpdateAddress {
    std::string host;
    std::string path;
};
UpdateAddress splitUpdateAddress(const std::string& url);

// True when an installer was started and the program is to end. The short name and the
// manual flag change nothing.
bool INTERNETUPDATE(Owner owner, const std::string& shortName, bool manual, const OpenDocument& open);

// What the version file announced for an installer: the installer's signature must name
// its file and this date (yyyymmdd), and the date must be newer than the program.
struct AnnouncedRelease {
    std::uint32_t date = 0;
};

// Fetches host + path into folder + fileName; true when the answer passed PAGETEST and
// RESPONSETEST (and for an `installer` the signature check) and the file was written.
bool DOWNLOAD_DATEI(Owner owner, const std::string& host, const std::string& path, const std::string& folder,
                    const std::string& fileName, const AnnouncedRelease* installer = nullptr);
bool PAGETEST(Owner owner, std::string_view body, const std::string& fileName);
bool RESPONSETEST(Owner owner, const std::string& header, std::string_view body, const std::string& fileName);

// The automatic check among the deferred start tasks: runs INTERNETUPDATE when it is due
// and switched on. True when an installer was started.
bool AUTOMATICUPDATE(Owner owner, const OpenDocument& open);

// The folder of one update run inside the temporary folder, readable by the user alone;
// removed with its contents unless an installer from it was started.
class DownloadFolder {
public:
    DownloadFolder();
    ~DownloadFolder();
    DownloadFolder(const DownloadFolder&) = delete;
    DownloadFolder& operator=(const DownloadFolder&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::string& path() const { return path_; } // ends in the path separator
    void keep() { keep_ = true; }

    // Removes the folders of earlier runs, whose installers were started then: at the
    // next start of the program they are done with.
    static void removeLeftOver();

private:
    std::string path_;
    bool keep_ = false;
};

} // namespace arti
