#include "platform/qt/QtServices.h"

#include "core/AppState.h"
#include "core/Text.h"
#include "platform/ShellErrors.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QSvgRenderer>
#include <QTimer>
#include <QTreeView>

#include <ctime>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ARTI_CLEAR_UPPER_VECTOR_STATE 1
#endif

// The images and help pages are compiled into the static GUI library; its resource
// initialiser must be called by name, at global scope, or the linker drops it.
void initProgramResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(artiscope);
        return true;
    }();
    (void)done;
}

namespace arti::qt {

QString fromAnsi(const std::string& ansi) {
    QString s;
    s.reserve(static_cast<qsizetype>(ansi.size()));
    for (char c : ansi)
        s.append(QChar(static_cast<char16_t>(ansiToUnicode(static_cast<unsigned char>(c)))));
    return s;
}

QString displayText(const std::string& text) {
    QString s = fromAnsi(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

std::string toAnsi(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text)
        out += unicodeToAnsi(c.unicode());
    return out;
}

QString fromEnginePath(const std::string& path) {
    return QString::fromStdString(systemPath(path));
}

std::string toEnginePath(const QString& path) {
    for (const QChar c : path)
        if (unicodeToAnsi(c.unicode()) == '?' && c != QLatin1Char('?')) return path.toStdString();
    return toAnsi(path);
}

QPixmap programImage(const QString& name, QSize size) {
    initProgramResources();
    QSvgRenderer renderer(QStringLiteral(":/images/%1.svg").arg(name));
    if (!renderer.isValid()) return {};
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

long openHelpPage(Owner owner, const std::string& page) {
    const long result = shell().showHelp(owner, page);
    SHELLEXECUTEERRMESSAGE(owner, result, appState().programFolder + page);
    return result;
}

void installHelpKey(QWidget* window, Owner owner, const std::string& page) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window, [owner, page] { openHelpPage(owner, page); });
}

namespace {
QHash<Owner, QPointer<QWidget>>& owners() {
    static QHash<Owner, QPointer<QWidget>> map;
    return map;
}
} // namespace

void registerOwner(Owner owner, QWidget* widget) {
    owners().insert(owner, widget);
}
void unregisterOwner(Owner owner) {
    owners().remove(owner);
}
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
    case BoxKind::Question: {
        QMessageBox question(QMessageBox::Question, c, t, QMessageBox::Ok, parent);
        question.exec();
        return BoxButton::Ok;
    }
    case BoxKind::OkCancel: {
        // A finding during a run: OK ends the run, Cancel lets it go on. The buttons say
        // so; Enter is still OK and Esc (or closing the box) Cancel.
        QMessageBox question(QMessageBox::Question, c, t, QMessageBox::NoButton, parent);
        QPushButton* stop = question.addButton(QStringLiteral("Durchlauf beenden"), QMessageBox::AcceptRole);
        QPushButton* goOn = question.addButton(QStringLiteral("Weiter prüfen"), QMessageBox::RejectRole);
        stop->setObjectName(QStringLiteral("BoxOk"));
        goOn->setObjectName(QStringLiteral("BoxCancel"));
        question.setDefaultButton(stop);
        question.setEscapeButton(goOn);
        question.exec();
        return question.clickedButton() == stop ? BoxButton::Ok : BoxButton::Cancel;
    }
    }
    return BoxButton::Ok;
}

namespace {

#ifdef ARTI_CLEAR_UPPER_VECTOR_STATE
__attribute__((target("avx"), noinline)) void zeroUpperHalves() {
    _mm256_zeroupper();
}
#endif

// The pump is asked once per record and more: the clock it reads must cost less than a
// record. The coarse clock is read from memory (its steps are a few milliseconds, fine
// for a pump every 20 ms); the precise one costs several times as much.
std::int64_t pumpClockMs() {
    timespec now{};
#ifdef CLOCK_MONOTONIC_COARSE
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
#else
    clock_gettime(CLOCK_MONOTONIC, &now);
#endif
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

constexpr std::int64_t kPumpIntervalMs = 20;

} // namespace

// Qt may leave the upper halves of the AVX registers in use: QGuiApplication's start-up
// does, and the state stays until a VZEROUPPER. The engine is built for plain SSE2, and
// while the state is set, every one of its SSE instructions waits on those upper halves:
// the check run behind the window ran at about 60 % of its speed. The pump clears it
// after each pass through the event loop, where Qt code runs during a run.
void leaveVectorStateClean() {
#ifdef ARTI_CLEAR_UPPER_VECTOR_STATE
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) zeroUpperHalves();
#endif
}

QtWindowServices::QtWindowServices() : lastPump_(pumpClockMs()) {
    leaveVectorStateClean();
}
QtWindowServices::~QtWindowServices() = default;

void QtWindowServices::processMessages() {
    const std::int64_t now = pumpClockMs();
    if (now - lastPump_ < kPumpIntervalMs) return;
    QCoreApplication::processEvents();
    leaveVectorStateClean();
    // The next pass counts from the end of this one, however long it took.
    lastPump_ = pumpClockMs();
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

void QtWindowServices::killTimer(TimerId id) {
    timers_.erase(id);
}

void QtWindowServices::beep(unsigned, unsigned) {
    QApplication::beep();
}

namespace {

// The dialog of Qt's own (where the desktop has none) opens wide enough for long names
// and gives each column of its file list the width of its longest entry, so that names,
// sizes, kinds and dates are never cut.
void showWhole(QFileDialog& dialog) {
    // Its widgets exist, and its size is its own, once it is shown.
    QTimer::singleShot(0, &dialog, [&dialog] {
        auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        if (!list) return;
        const QFontMetrics fm(dialog.font());
        const QSize wide(fm.averageCharWidth() * 150, fm.height() * 28);
        const QRect screen = dialog.screen() ? dialog.screen()->availableGeometry() : QRect(QPoint(), wide);
        const QPoint centre = dialog.geometry().center();
        dialog.resize(dialog.size().expandedTo(wide).boundedTo(screen.size()));
        dialog.move(dialog.pos() + centre - dialog.geometry().center());
        // The places beside the list ("Computer", the home folder) show their names whole.
        auto* places = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
        auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
        if (places && splitter && splitter->count() == 2) {
            const int side = places->sizeHintForColumn(0) + 2 * places->frameWidth() + 8;
            QList<int> sizes = splitter->sizes();
            if (sizes[0] < side) {
                sizes[1] -= side - sizes[0];
                sizes[0] = side;
                splitter->setSizes(sizes);
            }
        }
        list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        // A column that does not fit is scrolled to, never cut.
        list->header()->setStretchLastSection(false);
    });
}

} // namespace

std::string QtFileDialogs::openFile(Owner owner, const std::string& title, const std::string& initialFolder,
                                    const std::string& initialName) {
    QFileDialog dialog(widgetOf(owner), fromAnsi(title), fromEnginePath(initialFolder));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QString name = fromAnsi(initialName);
    const QString all = QStringLiteral("Alle Dateien (*)");
    if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')))
        dialog.setNameFilters({QStringLiteral("%1 (%1)").arg(name), all});
    else {
        dialog.setNameFilter(all);
        if (!name.isEmpty()) dialog.selectFile(name);
    }
    showWhole(dialog);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? std::string() : toEnginePath(QDir::toNativeSeparators(chosen.first()));
}

std::string QtFileDialogs::chooseFolder(Owner owner, const std::string& title,
                                        const std::string& initialFolder) {
    const QString folder =
        QFileDialog::getExistingDirectory(widgetOf(owner), fromAnsi(title), fromEnginePath(initialFolder));
    return folder.isEmpty() ? std::string() : toEnginePath(QDir::toNativeSeparators(folder));
}

ScreenMetrics QtScreenMetrics::metrics() const {
    ScreenMetrics m;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return m;
    const QRect virt = primary->virtualGeometry();
    m.virtualWidth = virt.width();
    m.virtualHeight = virt.height();
    m.primaryWidth = primary->geometry().width();
    m.primaryHeight = primary->geometry().height();
    m.monitors = static_cast<int>(QGuiApplication::screens().size());
    return m;
}

} // namespace arti::qt
