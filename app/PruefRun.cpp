// Record step, automatic run and navigation of the main check window.
#include "app/CheckFunctions.h"
#include "app/PruefWnd.h"

namespace arti {

bool PRUEF_WND::LIESSATZ() { return false; }
void PRUEF_WND::PSHSTART() {}
void PRUEF_WND::PSHSTOP() {}
void PRUEF_WND::PSHNEXT() {}
void PRUEF_WND::PSHBACK() {}
void PRUEF_WND::PSHBOF() {}
void PRUEF_WND::PSHEOF() {}
void PRUEF_WND::PSHOK() {}
void PRUEF_WND::EOF_BOF() {}
void PRUEF_WND::OFFSET() {}
void PRUEF_WND::RESET(bool, bool) {}
long long PRUEF_WND::offset() const { return 0; }
void PRUEF_WND::BUTTONCLICK(Ctl) {}
void PRUEF_WND::EDITCHANGE() {}
void PRUEF_WND::VERTICALSPIN(int) {}
void TICZEITSCHLEIFE(int) {}

} // namespace arti
