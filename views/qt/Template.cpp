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
        QRect r = du.rect(g.x(), g.y(), g.width(), g.height());
        // A wrapped label of the template whose lines need a pixel or two more than its
        // height in this font grows downwards rather than lose the foot of its last line.
        if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap() && !label->text().isEmpty()) {
            const QRect needed =
                QFontMetrics(window->font())
                    .boundingRect(QRect(0, 0, r.width(), 100000), Qt::TextWordWrap, label->text());
            if (needed.width() <= r.width()) r.setHeight(qMax(r.height(), needed.height()));
        }
        w->setGeometry(r);
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
    // The image says nothing to a screen reader and little to a newcomer: the button is
    // named for both, by its template name without access key or else by its tooltip.
    QString name = button->accessibleName().isEmpty() ? button->toolTip() : button->accessibleName();
    name.remove(QLatin1Char('&'));
    button->setAccessibleName(name);
    if (button->toolTip().isEmpty()) button->setToolTip(name);
}

void setLabelImage(QLabel* label, const QString& image) {
    const int side = qMin(label->width(), label->height());
    label->setPixmap(programImage(image, QSize(side, side)));
    label->setAlignment(Qt::AlignCenter);
}

} // namespace arti::qt
