// What a newcomer meets first: the guidance of the first main window, the file dialog,
// the finding box of a run, the help window, and every window's labels and values, whole
// and without words of another system. Screenshots of each window are written for a
// person to look at.
#include "app/PruefWnd.h"
#include "app/qt/PruefDialog.h"
#include "core/AppState.h"
#include "core/Text.h"
#include "platform/qt/HelpWindow.h"
#include "platform/qt/QtServices.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "tests/support/Fakes.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempDir.h"
#include "update/IntUpWnd.h"
#include "update/qt/IntUpDialog.h"
#include "views/HelpAbout.h"
#include "views/StartWnd.h"
#include "views/SysWnd.h"
#include "views/WarteWnd.h"
#include "views/qt/AboutDialog.h"
#include "views/qt/StartDialog.h"
#include "views/qt/SysDialog.h"
#include "views/qt/WaitDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QSysInfo>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeView>

#include <fstream>
#include <functional>

using namespace arti;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Runs `act` on the next modal window once the caller has opened it.
void onNextModal(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        act(modal);
    });
    poll->start();
}

// The texts of a window that its controls do not show whole: "name: text".
QStringList cutTexts(QWidget* window) {
    QStringList cut;
    const auto note = [&cut](QWidget* w, const QString& text) {
        cut << w->objectName() + QStringLiteral(": ") + text;
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        const QFontMetrics fm(w->font());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            const QString text = label->text();
            if (text.isEmpty() || label->textFormat() == Qt::RichText) continue;
            const int m = label->margin();
            const QRect room = label->contentsRect().adjusted(m, m, -m, -m);
            const int flags = label->wordWrap() ? Qt::TextWordWrap : 0;
            const QRect needed = fm.boundingRect(QRect(0, 0, room.width(), 100000), flags, text);
            if (needed.width() > room.width() || needed.height() > room.height()) note(w, text);
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            QStyleOptionButton option;
            option.initFrom(box);
            option.text = box->text();
            const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
            if (fm.horizontalAdvance(QString(box->text()).remove(QLatin1Char('&'))) > room.width())
                note(w, box->text());
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            const QString text = QString(button->text()).remove(QLatin1Char('&'));
            if (!text.isEmpty() && fm.horizontalAdvance(text) + 6 > button->width()) note(w, text);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            if (fm.horizontalAdvance(group->title()) + 12 > group->width()) note(w, group->title());
        }
    }
    return cut;
}

// Words of another system's parts.
const QStringList kForeignWords = {u("Windows"), u("Win7"), u("ComCtrl"), u("Explorer")};

// Every text a window shows in a label, a button or a frame title.
QStringList shownTexts(QWidget* window) {
    QStringList texts;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            texts << button->text();
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            texts << group->title();
    }
    return texts;
}

// The main check window as the start routine builds it, with its widest values shown.
struct MainWindow {
    test::FakeMessageBox box;
    qt::QtWindowServices pump;
    ServicesScope scope{&box, &pump};
    PRUEF_WND logic;
    qt::PruefDialog dialog{logic};

    MainWindow() {
        logic.INIT();
        logic.attachView(&dialog);
        logic.SETUP();
    }
    ~MainWindow() { logic.engine.closeFiles(); }
    void show() {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.applyPendingChanges();
    }
    void showWidestValues() {
        logic.showFileLength(9876543210LL);
        logic.showPosition(9876543210LL);
        logic.showCounter(9999999);
        logic.showRecordCount(9999999);
        logic.showErrors(9999999);
        logic.showRecordLength(99999);
        logic.showHeaderDate("31.12.2026");
        logic.showVersion("2000A");
        logic.showAnnouncement("ABCDNTZ");
        logic.showFieldCount(99);
        logic.fileReady();
        dialog.applyPendingChanges();
    }
};

} // namespace

class FirstUseTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qputenv("ARTISCOPE_REGISTRY_DIR", QByteArray::fromStdString(registry_.path().string()));
        appState() = AppState{};
        appState().programFolder = program_.folder();
        settings().installPath = data_.folder();
        settings().artiQuelle = data_.folder();
        settings().waehrung = "EUR";
        settings().lCode = "DE";
        settings().nks = 2;
    }

    // Enter held down since a box of the start answered it reaches the main window when
    // it comes up, and must leave the first guidance there, as any Enter without a file.
    void heldEnterKeepsTheFirstGuidance_data() {
        QTest::addColumn<bool>("repeat");
        QTest::newRow("repeat of a held Enter") << true;
        QTest::newRow("Enter pressed in the window") << false;
    }
    void heldEnterKeepsTheFirstGuidance() {
        QFETCH(bool, repeat);
        MainWindow win;
        win.show();
        for (int i = 0; i < 3; ++i) {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), repeat);
            QApplication::sendEvent(&win.dialog, &enter);
        }
        win.dialog.applyPendingChanges();
        QVERIFY(win.dialog.control(Ctl::ODCFI1)->isVisible());
        QVERIFY(!qobject_cast<QLabel*>(win.dialog.control(Ctl::ODCTXT10))->text().isEmpty());
        if (repeat) QVERIFY(test::saveScreenshot(win.dialog, u("first_main_window.png")));
    }

    // The finding box of a run: the button that says it ends the run ends it, the one
    // that says the check goes on lets it go on; Enter ends, Esc goes on.
    void findingBoxButtonsSayWhatTheyDo_data() {
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("answer");
        QTest::newRow("Durchlauf beenden") << u("Durchlauf beenden") << int(BoxButton::Ok);
        QTest::newRow("Weiter prüfen") << u("Weiter prüfen") << int(BoxButton::Cancel);
        QTest::newRow("Enter") << u("Enter") << int(BoxButton::Ok);
        QTest::newRow("Esc") << u("Esc") << int(BoxButton::Cancel);
    }
    void findingBoxButtonsSayWhatTheyDo() {
        QFETCH(QString, press);
        QFETCH(int, answer);
        qt::QtMessageBox box;
        QStringList captions;
        onNextModal([&](QWidget* modal) {
            auto* shown = qobject_cast<QMessageBox*>(modal);
            QVERIFY(shown);
            for (QAbstractButton* b : shown->buttons())
                captions << b->text();
            if (press == u("Durchlauf beenden")) QVERIFY(test::saveScreenshot(*shown, u("finding_box.png")));
            if (press == u("Enter"))
                QTest::keyClick(shown, Qt::Key_Return);
            else if (press == u("Esc"))
                QTest::keyClick(shown, Qt::Key_Escape);
            else
                for (QAbstractButton* b : shown->buttons())
                    if (b->text() == press) b->click();
        });
        const BoxButton got = box.show(nullptr, BoxKind::OkCancel, "Z 3 Datei-Offset 256, Satz-Offset 12",
                                       utf8ToAnsi("Fehler im Feld Artikelnummer"));
        QCOMPARE(int(got), answer);
        captions.sort();
        QCOMPARE(captions, (QStringList{u("Durchlauf beenden"), u("Weiter prüfen")}));
    }

    // The file dialog lists a supplier's "ARTIKEL.001" under "Alle Dateien" and shows the
    // names, sizes and kinds of the files whole.
    void fileDialogShowsEveryFileWhole() {
        test::TempDir source;
        for (const char* name : {"ELDANORM.001", "ARTIKEL.001", "Lieferant_Artikelstamm_2026_Dezember.dat"})
            std::ofstream(source.path() / name) << std::string(659000, 'A');
        qt::QtFileDialogs dialogs;
        QStringList filters;
        QStringList cut;
        bool listed = false;
        onNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            filters = dialog->nameFilters();
            dialog->selectNameFilter(filters.value(1));
            auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
            QVERIFY(view);
            QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 3);
            QTest::qWait(100);
            listed = true;
            for (int row = 0; row < 3; ++row)
                for (int column = 0; column < view->header()->count(); ++column) {
                    const QModelIndex index = view->model()->index(row, column, view->rootIndex());
                    const QString text = index.data().toString();
                    const int icon = column == 0 ? view->iconSize().width() + 4 : 0;
                    const int needed = view->fontMetrics().horizontalAdvance(text) + icon + 4;
                    if (needed > view->columnWidth(column)) cut << text;
                }
            QVERIFY(test::saveScreenshot(*dialog, u("file_dialog.png")));
            dialog->reject();
        });
        dialogs.openFile(nullptr, "ELDANORM-Datei", source.folder(), "ELDANORM*");
        QVERIFY(listed);
        QCOMPARE(filters, (QStringList{u("ELDANORM* (ELDANORM*)"), u("Alle Dateien (*)")}));
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u(" | "))));
    }

    // F1 shows the help in a window of the program; a link to another help page stays
    // there, a web or mail address goes to the desktop.
    void helpPagesInAWindowOfTheirOwn() {
        test::FakeMessageBox box;
        test::FakeShell desktop;
        qt::QtShell shell(desktop);
        ServicesScope scope({.box = &box, .shell = &shell});
        MainWindow win;
        win.show();
        QTest::keyClick(&win.dialog, Qt::Key_F1);
        auto* help = win.dialog.findChild<qt::HelpWindow*>(QStringLiteral("HelpWindow"));
        QVERIFY(help);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        auto* browser = help->findChild<QTextBrowser*>(QStringLiteral("HELPBROWSER"));
        QCOMPARE(browser->source().fileName(), u("ARTI_Inhalt.html"));
        QVERIFY(help->windowTitle().contains(u("Prüffenster")));
        QVERIFY(test::saveScreenshot(*help, u("help_window.png")));

        const auto clickLink = [browser](const QString& href) {
            QTextCursor at(browser->document());
            for (QTextBlock b = browser->document()->begin(); b.isValid(); b = b.next())
                for (auto it = b.begin(); !it.atEnd(); ++it)
                    if (it.fragment().charFormat().anchorHref() == href) {
                        at.setPosition(it.fragment().position() + 1);
                        const QPoint p = browser->cursorRect(at).center();
                        browser->ensureCursorVisible();
                        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, p);
                        return true;
                    }
            return false;
        };
        const struct {
            const char* href;
            const char* page;       // shown afterwards
            const char* desktopGot; // what the desktop was asked to open
        } links[] = {
            {"QZ1_Ueber.html", "QZ1_Ueber.html", ""},
            {"mailto:info@merix.invalid", "QZ1_Ueber.html", "open mailto:info@merix.invalid"},
            {"ARTI_System.html", "ARTI_System.html", ""},
        };
        for (const auto& link : links) {
            desktop.opened.clear();
            QVERIFY2(clickLink(u(link.href)), link.href);
            QTRY_COMPARE(browser->source().fileName(), u(link.page));
            const std::vector<std::string> none;
            QCOMPARE(desktop.opened, *link.desktopGot ? std::vector<std::string>{link.desktopGot} : none);
        }
        QVERIFY(box.shown.empty());
        help->close();
    }

    // Every window's labels and values are shown whole at the dialog font, name no part of
    // another system, and each image button has a tooltip and a name for screen readers.
    void windowsShowTheirTextsWhole() {
        test::FakeMessageBox box;
        test::FakeShell shell;
        qt::QtWindowServices pump;
        ServicesScope scope({.box = &box, .window = &pump, .shell = &shell});
        const char* site = "https://www.artiscope-update.invalid/ARTISCOPE/";
        SAVEREG_EINZELWERT(nullptr, "HKCU", "", "URLMerix", site);

        MainWindow main;
        main.show();
        main.showWidestValues();
        SYS_WND sys;
        qt::SysDialog sysFace(sys);
        QVERIFY(sys.SETUP());
        HELPABOUT about;
        qt::AboutDialog aboutFace(about);
        about.POSTINIT();
        START_WND start;
        qt::StartDialog startFace(start);
        QVERIFY(start.SETUP());
        WARTE_WND wait;
        qt::WaitDialog waitFace(wait);
        wait.INIT();
        wait.POSTINIT();
        INTUP_WND intup([](const std::string&) { return 42L; });
        qt::IntUpDialog intupFace(intup);
        QVERIFY(intup.SETUP());

        const struct {
            QWidget* window;
            const char* screenshot;
        } windows[] = {{&main.dialog, "check_window.png"}, {&sysFace, "settings_window.png"},
                       {&aboutFace, "about_box.png"},      {&startFace, "start_hints.png"},
                       {&waitFace, "wait_box.png"},        {&intupFace, "update_settings.png"}};
        for (const auto& w : windows) {
            w.window->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.window));
            QVERIFY(test::saveScreenshot(*w.window, u(w.screenshot)));
            const QStringList cut = cutTexts(w.window);
            QVERIFY2(cut.isEmpty(), qPrintable(u(w.screenshot) + u(": ") + cut.join(u(" | "))));
            for (const QString& text : shownTexts(w.window))
                for (const QString& word : kForeignWords)
                    QVERIFY2(!text.contains(word), qPrintable(text));
            for (QPushButton* b : w.window->findChildren<QPushButton*>()) {
                if (!b->text().isEmpty()) continue;
                QVERIFY2(!b->toolTip().isEmpty(), qPrintable(b->objectName()));
                QVERIFY2(!b->accessibleName().isEmpty() && !b->accessibleName().contains(QLatin1Char('&')),
                         qPrintable(b->objectName()));
            }
            w.window->hide();
        }
        // The memory figures name the word size of this program.
        const QString bits = QString::number(QSysInfo::WordSize) + u("bit");
        int named = 0;
        for (const QString& text : shownTexts(&aboutFace)) {
            if (!text.contains(u("bit"))) continue;
            QVERIFY2(text.endsWith(bits), qPrintable(text));
            ++named;
        }
        QCOMPARE(named, 6);
    }

private:
    test::TempDir registry_;
    test::TempDir program_;
    test::TempDir data_;
};

QTEST_MAIN(FirstUseTest)
#include "first_use_test.moc"
