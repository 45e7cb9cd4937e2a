#include "views/qt/Template.h"

#include "platform/qt/FontMetrics.h"
#include "platform/qt/QtServices.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace arti::qt {

QFont dialogFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void layoutInDialogUnits(QWidget* window, const QSize& size) {
    window->setFont(dialogFont());
    const DialogUnits du(window->font());
    for (QObject* child : window->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow()) continue;
        const QRect g = w->geometry();
        w->setGeometry(du.rect(g.x(), g.y(), g.width(), g.height()));
    }
    window->setFixedSize(du.size(size.width(), size.height()));
}

void noDefaultButtons(QDialog* window) {
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

void setButtonImage(QPushButton* button, const QString& image) {
    const QSize area = button->size() - QSize(8, 8);
    const int side = qMax(8, qMin(area.width(), area.height()));
    button->setIcon(QIcon(programImage(image, QSize(side, side))));
    button->setIconSize(QSize(side, side));
}

void setLabelImage(QLabel* label, const QString& image) {
    const int side = qMin(label->width(), label->height());
    label->setPixmap(programImage(image, QSize(side, side)));
    label->setAlignment(Qt::AlignCenter);
}


} // namespace arti::qt
