// The faces of the start hints window, the about box and the wait box: their templates,
// clicks and keys, the about box's live figures, and a screenshot of each for a person
// to look at.
#include "core/AppState.h"
#include "core/Text.h"
#include "platform/SystemInfo.h"
#include "platform/qt/FontMetrics.h"
#include "platform/qt/QtServices.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/Fakes.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempDir.h"
#include "ui_Helpabout.h"
#include "ui_Start_wnd.h"
#include "ui_Warte_wnd.h"
#include "views/qt/AboutDialog.h"
#include "views/qt/QtSecondaryWindows.h"
#include "views/qt/StartDialog.h"
#include "views/qt/Template.h"
#include "views/qt/WaitDialog.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>

#include <filesystem>

using namespace arti;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string userValue(const char* name) {
    return GETREG_EINZELWERT(nullptr, "HKCU", "", name, false);
}

// The system's figures, counted: every refresh asks for the memory status once.
class CountingSystem final : public IResourceMeter {
public:
    int freePercent() const override { return system_.freePercent(); }
    MemoryStatus memory() const override {
        ++reads;
        return system_.memory();
    }
    AllocatorStatus allocator() const override { return system_.allocator(); }
    std::uint64_t collections() const override { return system_.collections(); }
    VolumeInfo currentVolume() const override { return system_.currentVolume(); }
    std::string runtimeVersion() const override { return system_.runtimeVersion(); }
    std::string systemDescription() const override { return system_.systemDescription(); }
    mutable int reads = 0;

private:
    platform::SystemResources system_;
};

class RecordingMain final : public IMainWindowLink {
public:
    void SETPARAM() override {}
    long CALLEXPLORER(const std::string& target, const std::string& verb, const std::string&) override {
        opened.push_back(verb + " " + target);
        return 42;
    }
    std::vector<std::string> opened;
};

} // namespace

class SmallWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qputenv("ARTISCOPE_REGISTRY_DIR", QByteArray::fromStdString(registry_.path().string()));
        appState().programFolder = program_.folder();
    }

    void init() {
        settings() = Settings{};
        std::filesystem::remove(program_.path() / "info.txt");
    }

    void startHintsShowInfoTxtAndSwitchThemselvesOff() {
        std::filesystem::copy_file(ARTI_SOURCE_DIR "/resources/info.txt", program_.path() / "info.txt");
        test::FakeMessageBox box;
        ServicesScope scope(&box);
        START_WND logic;
        qt::StartDialog dialog(logic);
        QVERIFY(logic.SETUP());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        QCOMPARE(dialog.windowTitle(), u("Wichtige Hinweise für die Programmbedienung"));
        const qt::DialogUnits du(qt::dialogFont());
        QCOMPARE(dialog.size(), du.size(259, 129));
        QCOMPARE(dialog.ui().MLE1->geometry(), du.rect(6, 6, 247, 86));
        QVERIFY(dialog.ui().MLE1->isReadOnly());
        QCOMPARE(dialog.ui().MLE1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        const QString hints = dialog.ui().MLE1->toPlainText();
        QVERIFY(hints.startsWith(u("Willkommen beim ARTISCOPE-Inspector\n")));
        QVERIFY(hints.contains(u("prüft Artikeldateien")));
        QVERIFY(!hints.contains(QLatin1Char('\r')));
        QVERIFY(!dialog.ui().CHK1->isChecked());
        QVERIFY(!dialog.ui().PSHCANCEL->icon().isNull());
        QVERIFY(test::saveScreenshot(dialog, u("start_hints.png")));

        QTest::mouseClick(dialog.ui().CHK1, Qt::LeftButton);
        QCOMPARE(userValue("StartDlg"), std::string("FALSE"));
        QVERIFY(!settings().startDlg);
        QTest::mouseClick(dialog.ui().CHK1, Qt::LeftButton);
        QCOMPARE(userValue("StartDlg"), std::string("TRUE"));
        QVERIFY(settings().startDlg);

        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QVERIFY(logic.ended());
        QVERIFY(box.shown.empty());
    }

    void aboutBoxShowsLiveFiguresUntilItCloses() {
        test::FakeMessageBox box;
        qt::QtWindowServices pump;
        test::FakeShell shell;
        qt::QtScreenMetrics screen;
        CountingSystem source;
        ServicesScope scope(
            {.box = &box, .window = &pump, .shell = &shell, .screen = &screen, .resources = &source});
        settings().adminInstall = true;
        RecordingMain main;
        HELPABOUT logic(&main);
        qt::AboutDialog dialog(logic);
        logic.POSTINIT();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        QCOMPARE(dialog.windowTitle(), u("über dieses Programm"));
        const qt::DialogUnits du(qt::dialogFont());
        QCOMPARE(dialog.size(), du.size(308, 234));
        QCOMPARE(dialog.ui().TEXT1->geometry(), du.rect(6, 6, 220, 61));
        QCOMPARE(dialog.ui().FIXEDBITMAP1->geometry(), du.rect(233, 6, 67, 61));
        QVERIFY(!dialog.ui().FIXEDBITMAP1->pixmap().isNull());
        QVERIFY(!dialog.ui().TXTEMAIL->isVisible());

        const QStringList lines = dialog.ui().TEXT1->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines[0], QString());
        QCOMPARE(lines[1], u("ARTISCOPE-Inspector"));
        QCOMPARE(lines[2], u("Version 23/01/30"));
        QCOMPARE(lines[3], u("Installationsmodus >ADMIN"));
        QVERIFY(lines[5].startsWith(u("Telefon: ")));
        QCOMPARE(lines[6], u("E-Mail: info@merix.invalid"));
        QVERIFY(!dialog.ui().TXT11->text().isEmpty());
        QCOMPARE(dialog.ui().TXT14->text(), QString::fromStdString(program_.folder()));
        QVERIFY(dialog.ui().TXT1->text().contains(QLatin1Char(',')));
        QVERIFY(dialog.ui().TXT1->alignment() & Qt::AlignRight);
        QVERIFY(dialog.ui().TXT25->text().contains(u(" x ")));
        QCOMPARE(dialog.ui().TXT26->text(), QString::number(QGuiApplication::screens().size()));

        // Refreshed every second while open.
        const int first = source.reads;
        QCOMPARE(first, 1);
        QTRY_VERIFY_WITH_TIMEOUT(source.reads >= 3, 3500);
        QVERIFY(test::saveScreenshot(dialog, u("about.png")));

        QTest::mouseClick(dialog.ui().PSHEMAIL, Qt::LeftButton);
        QCOMPARE(main.opened, std::vector<std::string>{"open mailto:info@merix.invalid"});

        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(logic.timer(), TimerId{0});
        const int closed = source.reads;
        QTest::qWait(1300);
        QCOMPARE(source.reads, closed); // stopped with the box
        QVERIFY(box.shown.empty());
    }

    void waitBoxShowsTheCallersTwoLinesCentred() {
        qt::QtSecondaryWindows windows;
        std::unique_ptr<IWaitBox> wait =
            windows.waitBox(nullptr, utf8ToAnsi("Internetverbindung\r\nPrüfung auf Updates"));
        qt::WaitDialog* dialog = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<qt::WaitDialog*>(w); d && d->isVisible()) dialog = d;
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!dialog->isModal());
        const qt::DialogUnits du(qt::dialogFont());
        QCOMPARE(dialog->size(), du.size(141, 38));
        QCOMPARE(dialog->ui().TXT1->text(), u("Internetverbindung\nPrüfung auf Updates"));
        QCOMPARE(dialog->ui().TXT1->alignment(), Qt::AlignCenter);
        QVERIFY(test::saveScreenshot(*dialog, u("wait_box.png")));

        QTest::keyClick(dialog, Qt::Key_Escape); // no input of its own
        QVERIFY(dialog->isVisible());
        wait->ENDDIALOG();
        QVERIFY(!dialog->isVisible());
        wait.reset();

        // Without a text of the caller: the default wording.
        WARTE_WND logic;
        qt::WaitDialog plain(logic);
        logic.INIT();
        logic.POSTINIT();
        plain.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
        QCOMPARE(plain.ui().TXT1->text(), u("bitte warten, Daten werden gesucht und berechnet !"));
        QVERIFY(test::saveScreenshot(plain, u("wait_box_default.png")));
        logic.ENDDIALOG();
    }

    void factoryShowsTheModalWindows() {
        test::FakeMessageBox box;
        qt::QtWindowServices pump;
        qt::QtSecondaryWindows windows;
        ServicesScope scope({.box = &box, .window = &pump, .secondary = &windows});
        QStringList seen;
        const auto closeNextModal = [&] {
            QTimer::singleShot(0, [&] {
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    seen << modal->windowTitle();
                    QTest::keyClick(modal, Qt::Key_Escape);
                }
            });
        };
        closeNextModal();
        secondaryWindows().startHints(nullptr);
        closeNextModal();
        secondaryWindows().aboutBox(nullptr, nullptr);
        QCOMPARE(seen,
                 (QStringList{u("Wichtige Hinweise für die Programmbedienung"), u("über dieses Programm")}));
        QVERIFY(box.shown.empty());
    }

private:
    test::TempDir registry_;
    test::TempDir program_;
};

QTEST_MAIN(SmallWindowsTest)
#include "views_small_windows_test.moc"
