// File choice, version recognition and the per-version update of the main check window.
#include "app/CheckFunctions.h"
#include "app/PruefWnd.h"

namespace arti {

void PRUEF_WND::PSHDATEI() {}
void PRUEF_WND::UPDATE0590(const std::string&) {}
void PRUEF_WND::UPDATE0196(const std::string&) {}
void PRUEF_WND::UPDATE2000(const std::string&) {}
void PRUEF_WND::FELDPRUEF0590(const std::string&) {}
void PRUEF_WND::FELDPRUEF0196(const std::string&) {}
void PRUEF_WND::FELDPRUEF2000(const std::string&) {}
void PRUEF_WND::DATUMSWECHSEL(const std::string&, const std::string&) {}
std::vector<std::string> STRING2ARRAY2(std::string_view, std::string_view) { return {}; }
std::string PFADNAME(std::string_view) { return {}; }

} // namespace arti
