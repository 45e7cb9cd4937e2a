#include "app/runtime/AppState.h"

namespace arti {

AppState& appState() {
    static AppState state;
    return state;
}

} // namespace arti
