// Long texts of version 01/96 text records.
#include "app/CheckFunctions.h"
#include "app/PruefWnd.h"

namespace arti {

bool CREATEVTEXT(Owner) { return false; }
void PRUEF_WND::DBTEXT(const std::string&) {}

} // namespace arti
