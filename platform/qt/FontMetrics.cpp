#include "platform/qt/FontMetrics.h"

#include <QFontMetrics>
#include <QString>

namespace arti::qt {

namespace {
// MulDiv: a * b / c rounded half away from zero.
int mulDiv(int a, int b, int c) {
    const long long p = static_cast<long long>(a) * b;
    const long long r = p >= 0 ? (p + c / 2) / c : (p - c / 2) / c;
    return static_cast<int>(r);
}
} // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics fm(font);
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int width = fm.horizontalAdvance(letters);
    baseX_ = qMax(1, (width + 26) / 52);
    baseY_ = qMax(1, fm.height());
}

int DialogUnits::x(int du) const {
    return mulDiv(du, baseX_, 4);
}
int DialogUnits::y(int du) const {
    return mulDiv(du, baseY_, 8);
}

} // namespace arti::qt
