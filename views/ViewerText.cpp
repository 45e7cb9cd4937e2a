#include "views/ViewerText.h"

#include <cmath>
#include <cstdio>

namespace arti {

std::string decimalText(double value, int decimals) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e15) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    std::string s(buf);
    if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos) s.erase(0, s[0] == '-' ? 1 : 0);
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

std::string_view recordPart(std::string_view record, std::size_t position, std::size_t length) {
    if (position == 0 || position > record.size()) return {};
    return record.substr(position - 1, length);
}

} // namespace arti
