#include "core/AppState.h"

namespace arti {

AppState& appState() {
    static AppState state;
    return state;
}

} // namespace arti
