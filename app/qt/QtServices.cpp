#include "app/qt/QtServices.h"

#include "app/runtime/Text.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace arti::qt {

QString fromAnsi(const std::string& ansi) {
    QString s;
    s.reserve(static_cast<qsizetype>(ansi.size()));
    for (char c : ansi) s.append(QChar(static_cast<char16_t>(ansiToUnicode(static_cast<unsigned char>(c)))));
    return s;
}

std::string toAnsi(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) out += unicodeToAnsi(c.unicode());
    return out;
}

namespace {
QHash<Owner, QPointer<QWidget>>& owners() {
    static QHash<Owner, QPointer<QWidget>> map;
    return map;
}
} // namespace

void registerOwner(Owner owner, QWidget* widget) { owners().insert(owner, widget); }
void unregisterOwner(Owner owner) { owners().remove(owner); }
QWidget* widgetOf(Owner owner) {
    const auto it = owners().constFind(owner);
    if (it != owners().constEnd() && *it) return it->data();
    return QApplication::activeWindow();
}

BoxButton QtMessageBox::show(Owner owner, BoxKind kind, const std::string& caption, const std::string& text) {
    QWidget* parent = widgetOf(owner);
    const QString c = fromAnsi(caption);
    QString t = fromAnsi(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    switch (kind) {
    case BoxKind::Info:
        QMessageBox::information(parent, c, t);
        return BoxButton::Ok;
    case BoxKind::Error:
        QMessageBox::critical(parent, c, t);
        return BoxButton::Ok;
    case BoxKind::YesNo:
        return QMessageBox::question(parent, c, t, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
                       QMessageBox::Yes
                   ? BoxButton::Yes
                   : BoxButton::No;
    case BoxKind::OkCancel:
        return QMessageBox::question(parent, c, t, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) ==
                       QMessageBox::Ok
                   ? BoxButton::Ok
                   : BoxButton::Cancel;
    }
    return BoxButton::Ok;
}

QtWindowServices::QtWindowServices() { sincePump_.start(); }
QtWindowServices::~QtWindowServices() = default;

void QtWindowServices::processMessages() {
    if (sincePump_.elapsed() < 20) return;
    QCoreApplication::processEvents();
    sincePump_.restart();
}

TimerId QtWindowServices::startTimer(unsigned ms, bool oneShot, std::function<void()> fire) {
    const TimerId id = ++lastId_;
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(oneShot);
    timer->setInterval(static_cast<int>(ms));
    QObject::connect(timer.get(), &QTimer::timeout, [this, id, oneShot, f = std::move(fire)] {
        if (oneShot) {
            // Drop the timer before the handler runs: the handler may start another.
            auto it = timers_.find(id);
            if (it != timers_.end()) {
                it->second.release()->deleteLater();
                timers_.erase(it);
            }
        }
        f();
    });
    timer->start();
    timers_[id] = std::move(timer);
    return id;
}

void QtWindowServices::killTimer(TimerId id) { timers_.erase(id); }

void QtWindowServices::beep(unsigned, unsigned) { QApplication::beep(); }

ScreenMetrics QtScreenMetrics::metrics() const {
    ScreenMetrics m;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return m;
    const QRect virt = primary->virtualGeometry();
    m.virtualWidth = virt.width();
    m.virtualHeight = virt.height();
    m.primaryWidth = primary->geometry().width();
    m.primaryHeight = primary->geometry().height();
    return m;
}

} // namespace arti::qt
