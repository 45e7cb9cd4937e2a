// Field checks of version 05/90 records.
#include "app/PruefWnd.h"

namespace arti {

void PRUEF_WND::FELDPRUEF0590(const std::string&) {}

} // namespace arti
