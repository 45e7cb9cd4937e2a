// Field checks of version 2000 records.
#include "app/PruefWnd.h"

namespace arti {

void PRUEF_WND::FELDPRUEF2000(const std::string&) {}

} // namespace arti
