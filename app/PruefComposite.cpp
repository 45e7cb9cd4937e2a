// Composite checks between the records of one article.
#include "app/PruefWnd.h"

namespace arti {

void PRUEF_WND::VERBUND0196(const std::string&) {}
void PRUEF_WND::VERBUND0590(const std::string&) {}

} // namespace arti
