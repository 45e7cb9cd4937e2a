#include "app/qt/QtAppShell.h"

#include "platform/Paths.h"
#include "platform/qt/QtServices.h"
#include "views/Windows.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QStyleFactory>
#include <QTimer>

namespace arti::qt {

std::string QtAppShell::programFolder() const {
    return platform::executableFolder();
}

void QtAppShell::enableVisualStyles() {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
}

bool QtAppShell::loadLanguageModule(const std::string& folder) {
    const QString path = QString::fromStdString(folder) + QString::fromLatin1(kLanguageModule);
    if (!QFileInfo::exists(path)) return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(path) || translator->isEmpty()) return false;
    QCoreApplication::installTranslator(translator.get());
    translator_ = std::move(translator);
    return true;
}

IPruefView& QtAppShell::createMainWindow(PRUEF_WND& window) {
    main_ = std::make_unique<PruefDialog>(window);
    return *main_;
}

void QtAppShell::wait(unsigned ms) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms), &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace arti::qt
