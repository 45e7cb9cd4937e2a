// The face of the settings window: the template's controls and texts in dialog units,
// typing, clicking and keys reaching the logic, the logic's changes reaching the
// widgets, the modal window of the factory, and a screenshot for a person to look at.
#include "core/AppState.h"
#include "platform/qt/FontMetrics.h"
#include "platform/qt/QtServices.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/Fakes.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempDir.h"
#include "views/qt/QtSecondaryWindows.h"
#include "views/qt/SysDialog.h"
#include "views/qt/Template.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>

using namespace arti;
using std::chrono::year;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class RecordingMain final : public IMainWindowLink {
public:
    void SETPARAM() override { ++setParams; }
    long CALLEXPLORER(const std::string& target, const std::string& verb, const std::string&) override {
        opened.push_back(verb + " " + target);
        return 42;
    }
    int setParams = 0;
    std::vector<std::string> opened;
};

std::string userValue(const char* name) {
    return GETREG_EINZELWERT(nullptr, "HKCU", "", name, false);
}

// The services, the logic and its face, set up and shown.
struct Window {
    test::FakeMessageBox box;
    qt::QtWindowServices pump;
    test::FixedClock clock{LocalDateTime{year{2026} / 12 / 8, 10, 15, 0}};
    test::FakeFileDialogs dialogs;
    test::FakeShell shell;
    ServicesScope scope{&box, &pump, &clock, &dialogs, &shell};
    RecordingMain main;
    SYS_WND logic{&main};
    qt::SysDialog dialog{logic};

    Window() {
        box.onUnexpected = [](const test::ShownBox& b) {
            QFAIL(qPrintable(u("unexpected box [") + QString::fromStdString(b.caption) + u("] ") +
                             QString::fromStdString(b.text)));
        };
        logic.SETUP();
        dialog.show();
        dialog.activateWindow();
        if (!QTest::qWaitForWindowActive(&dialog)) qWarning("the settings window did not become active");
    }
    template <class W> W* get(const char* name) { return dialog.findChild<W*>(QLatin1String(name)); }
    QLineEdit* edit(const char* name) { return get<QLineEdit>(name); }
    QPushButton* button(const char* name) { return get<QPushButton>(name); }
    QCheckBox* check(const char* name) { return get<QCheckBox>(name); }
    QDateEdit* picker(const char* name) { return get<QDateEdit>(name); }
    QString label(const char* name) { return get<QLabel>(name)->text(); }
};

} // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qputenv("ARTISCOPE_REGISTRY_DIR", QByteArray::fromStdString(registry_.path().string()));
        appState().programFolder = program_.folder();
    }

    void init() {
        Settings& s = settings();
        s = Settings{};
        s.installPath = data_.folder();
        s.waehrung = "EUR";
        s.lCode = "DE";
        s.nks = 2;
        s.uDatum = year{2026} / 11 / 8;
        s.oDatum = year{2027} / 1 / 7;
        s.startDlg = true;
        s.visual = false;
        std::filesystem::remove(registry_.path() / "HKCU.ini");
    }

    void templateInDialogUnits() {
        Window w;
        QCOMPARE(w.dialog.windowTitle(), u("System-Einstellungen"));
        const qt::DialogUnits du(qt::dialogFont());
        QCOMPARE(w.dialog.font().family(), u("Liberation Sans"));
        QCOMPARE(w.dialog.font().pointSize(), 8);
        QCOMPARE(w.dialog.size(), du.size(333, 178));
        QCOMPARE(w.button("PSHSAVE")->geometry(), du.rect(260, 147, 26, 25));
        // The wrapped hint keeps its place and width and grows to its three lines.
        const QRect hint = w.get<QLabel>("LABEL108")->geometry();
        QCOMPARE(hint.topLeft(), du.point(186, 104));
        QCOMPARE(hint.width(), du.x(127));
        QVERIFY(hint.height() >= du.y(25) && hint.height() <= du.y(25) + 2);

        // The data folder is the one in the settings; the captions are the template's.
        QCOMPARE(w.label("TXT109"), QString::fromStdString(data_.folder()));
        QVERIFY(!w.button("PSHSAVE")->icon().isNull());
        QVERIFY(!w.button("PSHCANCEL")->icon().isNull());

        // The values of the settings, Save and the update settings disabled.
        QCOMPARE(w.edit("SLE1")->text(), u("EUR"));
        QCOMPARE(w.edit("SLE2")->text(), u("2"));
        QCOMPARE(w.edit("SLE3")->text(), u("DE"));
        QCOMPARE(w.picker("DTP1")->date(), QDate(2026, 11, 8));
        QCOMPARE(w.picker("DTP2")->date(), QDate(2027, 1, 7));
        QCOMPARE(w.picker("DTP1")->displayFormat(), u("dd.MM.yyyy"));
        QCOMPARE(w.picker("DTP1")->maximumDate(), QDate(2026, 12, 8));
        QCOMPARE(w.picker("DTP2")->maximumDate(), QDate(2027, 12, 7));
        QCOMPARE(w.picker("DTP2")->minimumDate(), QDate(1990, 1, 1));
        QVERIFY(w.check("CHK1")->isChecked());
        QVERIFY(!w.check("CHK2")->isChecked());
        QVERIFY(!w.button("PSHSAVE")->isEnabled());
        QVERIFY(!w.button("PSHINTERNET")->isEnabled());
    }

    void typingFollowsTheValidityRule() {
        Window w;
        QLineEdit* currency = w.edit("SLE1");
        currency->setFocus();
        currency->end(false);
        QTest::keyClicks(currency, u("O"));
        QCOMPARE(currency->text(), u("EURO"));
        QVERIFY(!w.button("PSHSAVE")->isEnabled());
        QTest::keyClick(currency, Qt::Key_Backspace);
        QVERIFY(w.button("PSHSAVE")->isEnabled());

        // Digits only, at most two, in the decimal places.
        QLineEdit* decimals = w.edit("SLE2");
        decimals->setFocus();
        decimals->selectAll();
        QTest::keyClick(decimals, Qt::Key_Delete);
        QVERIFY(!w.button("PSHSAVE")->isEnabled());
        QTest::keyClicks(decimals, u("a3x45"));
        QCOMPARE(decimals->text(), u("34"));
        QVERIFY(w.button("PSHSAVE")->isEnabled());

        QLineEdit* country = w.edit("SLE3");
        country->setFocus();
        country->selectAll();
        QTest::keyClicks(country, u("A"));
        QVERIFY(!w.button("PSHSAVE")->isEnabled());
        QTest::keyClicks(country, u("T"));
        QVERIFY(w.button("PSHSAVE")->isEnabled());
        // Enter presses no button (no folder dialog, no saving).
        QTest::keyClick(country, Qt::Key_Return);
        QVERIFY(w.dialogs.asked.empty());
        QVERIFY(w.dialog.isVisible());
        QCOMPARE(w.main.setParams, 0);

        // Alt+S saves.
        QTest::keyClick(&w.dialog, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(w.main.setParams, 1); // a shortcut presses its button visibly first
        QCOMPARE(settings().lCode, std::string("AT"));
        QCOMPARE(settings().nks, 34);
        QCOMPARE(userValue("LCode"), std::string("AT"));
        QVERIFY(!w.button("PSHSAVE")->isEnabled());
    }

    void checkBoxesWriteAtOnceWhileValid() {
        Window w;
        QTest::mouseClick(w.check("CHK1"), Qt::LeftButton);
        QCOMPARE(userValue("StartDlg"), std::string("FALSE"));
        QVERIFY(!settings().startDlg);

        w.box.expect(BoxButton::Ok);
        QTest::mouseClick(w.check("CHK2"), Qt::LeftButton);
        QCOMPARE(w.box.shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(w.box.shown[0].caption), u("Hinweis"));
        QCOMPARE(
            QString::fromStdString(w.box.shown[0].text),
            u("Die Änderungen an einigen Controls sind erst nach einem Neustart des Programmes sichtbar."));
        QCOMPARE(QApplication::style()->name().toLower(), u("fusion"));
        QCOMPARE(userValue("Visual"), std::string("TRUE"));
        w.box.expect(BoxButton::Ok);
        QTest::mouseClick(w.check("CHK2"), Qt::LeftButton);
        QCOMPARE(QApplication::style()->name().toLower(), u("windows"));
        QCOMPARE(userValue("Visual"), std::string("FALSE"));
        appState().visualStyles = false;
    }

    void thePickersFollowEachOther() {
        Window w;
        QDateEdit* lower = w.picker("DTP1");
        QDateEdit* upper = w.picker("DTP2");
        // Keys on the year of the upper bound: back to 2026, then before the lower bound.
        upper->setFocus();
        upper->setCurrentSection(QDateTimeEdit::YearSection);
        QTest::keyClick(upper, Qt::Key_Down);
        QCOMPARE(upper->date(), QDate(2026, 1, 7));
        QCOMPARE(lower->date(), QDate(2026, 1, 7)); // followed
        QVERIFY(w.button("PSHSAVE")->isEnabled());

        // The lower bound past the upper: the upper follows.
        lower->setFocus();
        lower->setCurrentSection(QDateTimeEdit::MonthSection);
        QTest::keyClick(lower, Qt::Key_Up);
        QCOMPARE(lower->date(), QDate(2026, 2, 7));
        QCOMPARE(upper->date(), QDate(2026, 2, 7));
        QCOMPARE(w.logic.upperDate(), Date(year{2026} / 2 / 7));

        // "Datum aus Prüffenster" takes the main window's window again.
        QTest::mouseClick(w.button("PSHDATE"), Qt::LeftButton);
        QCOMPARE(lower->date(), QDate(2026, 11, 8));
        QCOMPARE(upper->date(), QDate(2027, 1, 7));
    }

    void folderMoveThroughTheButtons() {
        Window w;
        std::ofstream(data_.path() / "Error.log") << "log";
        test::TempDir target;
        w.dialogs.folders.push_back(target.path().string());
        QTest::mouseClick(w.button("PSHWAHL"), Qt::LeftButton);
        QCOMPARE(w.dialogs.asked, std::vector<std::string>{"Pfad auswählen"});
        QCOMPARE(w.label("TXT109"), QString::fromStdString(target.folder()));
        QVERIFY(w.button("PSHSAVE")->isEnabled());

        w.box.expect(BoxButton::Ok);
        QTest::mouseClick(w.button("PSHSAVE"), Qt::LeftButton);
        QCOMPARE(w.box.shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(w.box.shown[0].caption), u("Kopieren"));
        QCOMPARE(QString::fromStdString(w.box.shown[0].text),
                 u("Der neue Pfad wurde angelegt und die Dateien wurden kopiert."));
        QVERIFY(std::filesystem::exists(target.path() / "Error.log"));
        QCOMPARE(userValue("InstallPath"), target.folder());
        QCOMPARE(w.main.setParams, 1);

        QTest::mouseClick(w.button("PSHEXPLORER"), Qt::LeftButton);
        QCOMPARE(w.main.opened, std::vector<std::string>{"open " + target.folder()});
    }

    void helpEscapeAndScreenshot() {
        Window w;
        std::ofstream(program_.path() / "ARTI_System.html") << "<html></html>";
        QTest::keyClick(&w.dialog, Qt::Key_F1);
        QCOMPARE(w.shell.opened, std::vector<std::string>{"open " + program_.folder() + "ARTI_System.html"});

        QVERIFY(test::saveScreenshot(w.dialog, u("settings.png")));
        QTest::keyClick(&w.dialog, Qt::Key_Escape);
        QVERIFY(!w.dialog.isVisible());
        QVERIFY(w.logic.ended());
        QCOMPARE(w.main.setParams, 0);
    }

    void factoryShowsTheWindowModally() {
        test::FakeMessageBox box;
        qt::QtWindowServices pump;
        RecordingMain main;
        qt::QtSecondaryWindows windows;
        ServicesScope scope({.box = &box, .window = &pump, .secondary = &windows});
        QString seen;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            seen = modal->windowTitle();
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        QTimer::singleShot(5000, [] { // a safety net: never hang the test
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        });
        secondaryWindows().settingsWindow(nullptr, &main);
        QCOMPARE(seen, u("System-Einstellungen"));
        QVERIFY(box.shown.empty());
    }

private:
    test::TempDir registry_;
    test::TempDir program_;
    test::TempDir data_;
};

QTEST_MAIN(SettingsWindowTest)
#include "views_settings_test.moc"
