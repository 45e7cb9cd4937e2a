#include "platform/qt/HelpWindow.h"

#include "platform/ShellErrors.h"
#include "platform/qt/QtServices.h"

#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace arti::qt {

namespace {

const QString kHelpFolder = QStringLiteral(":/help/");

// A link within the help: to a page (relative, or qrc:), or to a place on the page.
bool isHelpLink(const QUrl& link) {
    const QString scheme = link.scheme();
    return scheme.isEmpty() || scheme == QLatin1String("qrc");
}

} // namespace

HelpWindow::HelpWindow(IShell& desktop, Owner owner, QWidget* parent)
    : QDialog(parent, Qt::Window), desktop_(desktop), owner_(owner), browser_(new QTextBrowser(this)) {
    initProgramResources();
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    browser_->setObjectName(QStringLiteral("HELPBROWSER"));
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    const QFontMetrics fm(font());
    resize(fm.averageCharWidth() * 90, fm.height() * 40);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::follow);
    connect(browser_, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(QStringLiteral("Hilfe - %1").arg(browser_->documentTitle())); });
}

bool HelpWindow::showPage(const QString& page) {
    if (!QFile::exists(kHelpFolder + page)) return false;
    browser_->setSource(QUrl(QStringLiteral("qrc") + kHelpFolder + page));
    return true;
}

void HelpWindow::follow(const QUrl& link) {
    if (!isHelpLink(link)) {
        const std::string target = link.toString().toStdString();
        SHELLEXECUTEERRMESSAGE(owner_, desktop_.open(owner_, target, "open", ""), target);
        return;
    }
    const QUrl target = browser_->source().resolved(link);
    if (target.path() == browser_->source().path()) {
        if (target.hasFragment()) browser_->scrollToAnchor(target.fragment());
        return;
    }
    if (QFile::exists(QLatin1Char(':') + target.path())) browser_->setSource(target);
}

HelpWindow* HelpWindow::of(IShell& desktop, Owner owner, QWidget* parent) {
    static QPointer<HelpWindow> current;
    if (current && current->parentWidget() != parent) {
        current->close(); // deleted later
        current = nullptr;
    }
    if (!current) current = new HelpWindow(desktop, owner, parent);
    return current;
}

long QtShell::showHelp(Owner owner, const std::string& page) {
    initProgramResources();
    const QString name = QString::fromStdString(page);
    if (!QFile::exists(kHelpFolder + name)) return 2;
    HelpWindow* window = HelpWindow::of(desktop_, owner, widgetOf(owner));
    window->showPage(name);
    window->show();
    window->raise();
    window->activateWindow();
    return 42;
}

} // namespace arti::qt
