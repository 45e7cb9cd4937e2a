// Field checks of version 01/96 records.
#include "app/PruefWnd.h"

namespace arti {

void PRUEF_WND::FELDPRUEF0196(const std::string&) {}

} // namespace arti
