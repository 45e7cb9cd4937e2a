// One row of the findings list: content, field name, length, type, M/K, position,
// running number (further values are ignored).
#pragma once

#include <string>
#include <vector>

namespace arti {

using ListRow = std::vector<std::string>;

} // namespace arti
