// The Qt face of the main window: caption, start timer, Esc and close handling, the
// German standard buttons, and a screenshot for a person to look at.
#include "app/PruefWnd.h"
#include "app/qt/PruefDialog.h"
#include "app/qt/QtAppShell.h"
#include "core/AppState.h"
#include "platform/qt/QtServices.h"
#include "settings/Registry.h"
#include "tests/support/FakeViewers.h"
#include "tests/support/Fakes.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

using namespace arti;

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qputenv("ARTISCOPE_REGISTRY_DIR", QByteArray::fromStdString(registry_.path().string()));
        appState().programFolder = "/opt/artiscope/";
    }

    void captionAndStartTimer() {
        test::FakeMessageBox box;
        qt::QtWindowServices window;
        ServicesScope scope(&box, &window);
        test::FakeUpdateService update;
        ServicesScope installed(Services{.update = &update});
        PRUEF_WND logic;
        qt::PruefDialog dialog(logic);
        logic.attachView(&dialog);
        QVERIFY(logic.SETUP());
        QCOMPARE(dialog.windowTitle(),
                 QStringLiteral("ARTISCOPE-Inspector * Version 23/01/30 * aktueller Pfad = /opt/artiscope/"));
        QCOMPARE(update.calls.size(), std::size_t{0});
        QTRY_COMPARE_WITH_TIMEOUT(update.calls.size(), std::size_t{1}, 2000);
        QTest::qWait(600);
        QCOMPARE(update.calls.size(), std::size_t{1}); // one-shot
    }

    void escapeAndCloseQuestion() {
        test::FakeMessageBox box;
        qt::QtWindowServices window;
        ServicesScope scope(&box, &window);
        appState().closeWithoutAsking = false;
        PRUEF_WND logic;
        logic.INIT();
        qt::PruefDialog dialog(logic);
        logic.attachView(&dialog);
        logic.SETUP();
        logic.markShown();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        // Outside a run Esc is left alone: no question, the window stays.
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QVERIFY(box.shown.empty());

        box.expect(BoxButton::No);
        dialog.close();
        QVERIFY(dialog.isVisible());
        QCOMPARE(box.shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(box.shown[0].text),
                 QStringLiteral("Möchten Sie die Anwendung wirklich beenden ?"));

        QVERIFY(test::saveScreenshot(dialog, QStringLiteral("main_window_empty.png")));

        box.expect(BoxButton::Yes);
        dialog.close();
        QVERIFY(!dialog.isVisible());
        QVERIFY(logic.ended());
        QCOMPARE(QString::fromStdString(GETREG_EINZELWERT(nullptr, "HKCU", "", "OriginX", false)),
                 QString::number(dialog.frameGeometry().x()));
    }

    void germanModuleTranslatesStandardButtons() {
        qt::QtAppShell shell;
        const QString qm = qEnvironmentVariable("ARTI_GERMAN_QM");
        QVERIFY(QFile::exists(qm));
        QVERIFY(QFile::copy(qm, QString::fromStdString(program_.folder()) + QStringLiteral("German.qm")));
        QVERIFY(!shell.loadLanguageModule(registry_.folder()));
        QVERIFY(shell.loadLanguageModule(program_.folder()));
        QMessageBox question;
        question.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question.button(QMessageBox::Yes)->text(), QStringLiteral("&Ja"));
        QCOMPARE(question.button(QMessageBox::No)->text(), QStringLiteral("&Nein"));
    }

private:
    test::TempDir registry_;
    test::TempDir program_;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
