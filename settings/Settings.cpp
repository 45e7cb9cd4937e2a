#include "settings/Settings.h"

namespace arti {

Settings& settings() {
    static Settings s;
    return s;
}

} // namespace arti
