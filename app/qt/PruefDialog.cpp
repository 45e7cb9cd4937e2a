#include "app/qt/PruefDialog.h"

#include "app/qt/QtServices.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace arti::qt {

PruefDialog::PruefDialog(PRUEF_WND& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
    setObjectName(QStringLiteral("Pruef_wnd"));
    setWindowTitle(QStringLiteral("ARTISCOPE-Inspector"));
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
    resize(1000, 720);
    registerOwner(logic_.owner(), this);
}

PruefDialog::~PruefDialog() { unregisterOwner(logic_.owner()); }

void PruefDialog::setCaption(const std::string& caption) { setWindowTitle(fromAnsi(caption)); }

WindowRect PruefDialog::geometry() const {
    const QRect frame = frameGeometry();
    return {frame.x(), frame.y(), frame.width(), frame.height()};
}

void PruefDialog::moveTo(int x, int y) { move(x, y); }

void PruefDialog::bringToTop() {
    raise();
    activateWindow();
}

void PruefDialog::showModal(bool centred) {
    if (centred) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
    }
    exec();
}

void PruefDialog::requestClose() { close(); }

void PruefDialog::closeEvent(QCloseEvent* event) {
    if (logic_.QUERYCLOSE()) {
        logic_.markClosed();
        event->accept();
        QDialog::done(QDialog::Rejected);
    } else {
        event->ignore();
    }
}

void PruefDialog::reject() {
    if (logic_._LALLOWCLOSE) logic_.PSHCANCEL();
}

} // namespace arti::qt
