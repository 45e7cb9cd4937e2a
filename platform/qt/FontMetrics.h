// Dialog units of the resource templates, converted with the base units of the dialog
// font as Windows does it: the base width is the average width of the 52 letters A-Z and
// a-z, the base height the character height; x = du * base width / 4, y = du * base
// height / 8, rounded to the nearest pixel.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace arti::qt {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int averageCharWidth() const { return baseX_; }
    int charHeight() const { return baseY_; }

    int x(int du) const;
    int y(int du) const;
    QPoint point(int x, int y) const { return {this->x(x), this->y(y)}; }
    QSize size(int cx, int cy) const { return {x(cx), y(cy)}; }
    QRect rect(int x, int y, int cx, int cy) const { return {point(x, y), size(cx, cy)}; }
    // A width given in average character widths (list columns, edit fields).
    int chars(int n) const { return n * baseX_; }

private:
    int baseX_ = 1;
    int baseY_ = 1;
};

} // namespace arti::qt
