// Error log and findings list of the main check window.
#include "app/CheckFunctions.h"
#include "app/PruefWnd.h"

namespace arti {

void PRUEF_WND::ERRORLOG(const std::string&) {}
void PRUEF_WND::CREATELISTVIEW() {}
void PRUEF_WND::FILLLISTVIEW(const std::vector<ListRow>&) {}
void PRUEF_WND::LISTVIEWMOUSEBUTTONDOUBLECLICK() {}
void PRUEF_WND::PSHPROT() {}
long PRUEF_WND::CALLEXPLORER(const std::string&, const std::string&, const std::string&) { return 0; }
void PRUEF_WND::flushLog() {}
void SHELLEXECUTEERRMESSAGE(Owner, long, const std::string&) {}

} // namespace arti
