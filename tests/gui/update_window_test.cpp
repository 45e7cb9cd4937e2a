// The update settings window in the program's windows: opened from the settings window's
// "Internet-Setup-Parameter", its values, the immediate writes, the links through the
// shell; and the wait window during a download from the loopback site, which shows the
// bytes received and is let through to repaint; the box that refuses an older installer.
// Screenshots of them for a person to look at.
#include "core/AppState.h"
#include "platform/qt/QtServices.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/Fakes.h"
#include "tests/support/Screenshots.h"
#include "tests/update/UpdateSite.h"
#include "ui_Warte_wnd.h"
#include "update/InternetUpdate.h"
#include "update/Signature.h"
#include "update/qt/IntUpDialog.h"
#include "update/qt/QtUpdateService.h"
#include "views/qt/QtSecondaryWindows.h"
#include "views/qt/SysDialog.h"
#include "views/qt/WaitDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace arti;

namespace {

std::string userValue(const char* name) {
    return GETREG_EINZELWERT(nullptr, "HKCU", "", name, false);
}
void user(const char* name, const std::string& text) {
    SAVEREG_EINZELWERT(nullptr, "HKCU", "", name, text);
}

// The Qt pump, with a look at the wait window at every pass.
class WatchingPump final : public IWindowServices {
public:
    void processMessages() override {
        ++pumps;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* wait = qobject_cast<qt::WaitDialog*>(w);
            if (!wait || !wait->isVisible()) continue;
            const QString text = wait->ui().TXT1->text();
            if (text.contains(QStringLiteral(" von ")) && shown.isEmpty()) {
                shown = text;
                screenshot = test::saveScreenshot(*wait, QStringLiteral("update_wait.png"));
            }
        }
        pump.processMessages();
    }
    TimerId startTimer(unsigned ms, bool oneShot, std::function<void()> fire) override {
        return pump.startTimer(ms, oneShot, std::move(fire));
    }
    void killTimer(TimerId id) override { pump.killTimer(id); }
    void beep(unsigned, unsigned) override {}

    qt::QtWindowServices pump;
    int pumps = 0;
    QString shown;
    bool screenshot = false;
};

} // namespace

class UpdateWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        settings() = Settings{};
        settings().waehrung = "EUR";
        settings().lCode = "DE";
        settings().nks = 2;
        appState().tempFolder = temp_.folder();
        appState().programFolder = program_.folder();
        appState().closeWithoutAsking = false;
        user("URLMerix", "https://www.example.test/upd/");
        user("DateiVersion", "version.txt");
        user("DateiEXE", "ASSetup.exe");
        user("Intervall", "");
        user("PRGUpdate", "TRUE");
        user("UpdateDatum", "01.12.2026");
    }

    void openedFromTheSettingsWindow() {
        test::FakeMessageBox box;
        test::FakeShell shell;
        qt::QtWindowServices pump;
        qt::QtUpdateService update(
            [&shell](const std::string& target) { return shell.open(nullptr, target, "open", ""); });
        ServicesScope scope({.box = &box, .window = &pump, .shell = &shell, .update = &update});
        SYS_WND sys;
        qt::SysDialog sysFace(sys);
        QVERIFY(sys.SETUP());
        sysFace.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sysFace));
        auto* button = sysFace.findChild<QPushButton*>(QStringLiteral("PSHINTERNET"));
        QVERIFY(button->isEnabled());

        bool checked = false;
        QTimer poll;
        poll.start(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* face = qobject_cast<qt::IntUpDialog*>(QApplication::activeModalWidget());
            if (!face) return;
            poll.stop();
            // Whatever fails below, the window closes, so that the click returns.
            struct Close {
                qt::IntUpDialog* f;
                ~Close() { static_cast<QDialog*>(f)->reject(); }
            } close{face};
            QVERIFY(QTest::qWaitForWindowExposed(face));
            QCOMPARE(face->windowTitle(), QStringLiteral("Internet-Update-Parameter"));
            const auto edit = [face](IntUpCtl c) { return qobject_cast<QLineEdit*>(face->control(c)); };
            QCOMPARE(edit(IntUpCtl::SLE1)->text(), QStringLiteral("https://www.example.test/upd/"));
            QCOMPARE(edit(IntUpCtl::SLE7)->text(), QStringLiteral("0"));
            QVERIFY(!face->control(IntUpCtl::PSHSAVE)->isEnabled());
            QVERIFY(!qobject_cast<QPushButton*>(face->control(IntUpCtl::PSHCANCEL))->icon().isNull());
            QVERIFY(test::saveScreenshot(*face, QStringLiteral("update_settings.png")));

            edit(IntUpCtl::SLE7)->selectAll();
            QTest::keyClicks(edit(IntUpCtl::SLE7), QStringLiteral("7x"));
            QCOMPARE(userValue("Intervall"), std::string("7"));
            QTest::mouseClick(face->control(IntUpCtl::CHK2), Qt::LeftButton);
            QCOMPARE(userValue("PRGUpdate"), std::string("FALSE"));
            QCOMPARE(userValue("UpdateDatum"), std::string());
            QTest::mouseClick(face->control(IntUpCtl::PSHHISTORIE), Qt::LeftButton);
            QCOMPARE(shell.opened.back(), std::string("open https://www.example.test/upd/historie.htm"));

            QTest::keyClicks(edit(IntUpCtl::SLE5), QStringLiteral("2"));
            QVERIFY(face->control(IntUpCtl::PSHSAVE)->isEnabled());
            box.expect(BoxButton::Yes);
            QTest::mouseClick(face->control(IntUpCtl::PSHSAVE), Qt::LeftButton);
            QCOMPARE(userValue("DateiVersion"), std::string("version.txt2"));
            QTest::keyClick(face, Qt::Key_Escape);
            checked = true;
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(checked);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(box.shown.size(), std::size_t(1));
        QCOMPARE(box.shown[0].caption, std::string("Hinweis"));
    }

    void waitWindowShowsTheDownload() {
        const auto& site = test::updateSite();
        std::string installer(24 << 20, '\0');
        for (std::size_t i = 0; i < installer.size(); i += 4096)
            installer[i] = static_cast<char>(i >> 12);
        site.put("big/assetup.exe", installer);
        site.sign("big/assetup.exe", "file:ASSetup.exe date:20270115");
        std::filesystem::copy_file(site.publicKey(), updateKeyFile());
        user("CAFile", site.authority().string());

        test::FakeMessageBox box;
        WatchingPump pump;
        qt::QtSecondaryWindows windows;
        ServicesScope scope({.box = &box, .window = &pump, .secondary = &windows});
        const AnnouncedRelease announced{20270115};
        QVERIFY(DOWNLOAD_DATEI(nullptr, site.host("good"), "/big/assetup.exe", temp_.folder(), "ASSetup.exe",
                               &announced));
        QVERIFY(box.shown.empty());
        QVERIFY2(pump.shown.endsWith(QStringLiteral(" von 24.576 KB")), qPrintable(pump.shown));
        QVERIFY(pump.screenshot);
        QVERIFY(pump.pumps > 2);
        QCOMPARE(test::readBytes(temp_.folder() + "ASSetup.exe").size(), installer.size());
    }

    // An older installer, validly signed, announced as new: the program's own box refuses
    // it and starts nothing. A screenshot of the box for a person to look at.
    void olderInstallerRefusedInItsBox() {
        const auto& site = test::updateSite();
        site.put("older/version.txt", "[VERSION]\r\nSETUP=27/01/15\r\nUPDATE=\r\n");
        site.put("older/assetup.exe", "installer of 2022");
        site.sign("older/assetup.exe", "file:ASSetup.exe date:20220101");
        std::filesystem::copy_file(site.publicKey(), updateKeyFile(),
                                   std::filesystem::copy_options::overwrite_existing);
        user("CAFile", site.authority().string());
        user("URLMerix", "https://" + site.host("good") + "/older");

        qt::QtMessageBox box;
        test::FakeShell shell;
        qt::QtWindowServices pump;
        qt::QtSecondaryWindows windows;
        ServicesScope scope({.box = &box, .window = &pump, .shell = &shell, .secondary = &windows});
        QString refusal;
        bool screenshot = false;
        QTimer poll; // answers the question with Yes, the refusal with OK
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!shown || !shown->isVisible()) return;
            if (shown->button(QMessageBox::Yes)) return shown->button(QMessageBox::Yes)->click();
            refusal = shown->windowTitle() + u'|' + shown->text();
            screenshot = test::saveScreenshot(*shown, QStringLiteral("update_older_installer_refused.png"));
            shown->accept();
        });
        poll.start(20);
        const OpenDocument open = [&shell](const std::string& file) {
            return shell.open(nullptr, file, "open", "");
        };
        QVERIFY(!INTERNETUPDATE(nullptr, "ARTISCOPE", true, open));
        QVERIFY2(refusal.startsWith(QStringLiteral("Signaturprüfung|")), qPrintable(refusal));
        QVERIFY2(refusal.contains(QStringLiteral("01.01.2022")), qPrintable(refusal));
        QVERIFY(screenshot);
        QVERIFY(shell.opened.empty());
    }

private:
    test::RegistrySandbox registry_;
    test::TempDir temp_;
    test::TempDir program_;
};

QTEST_MAIN(UpdateWindowTest)
#include "update_window_test.moc"
