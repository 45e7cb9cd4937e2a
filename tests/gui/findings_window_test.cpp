// "Meldungen im Überblick" in the real main window: a generated file of each version with
// one wrong check digit, checked with a date window that leaves out the files' date, gives
// one large group of date findings beside the rare check-digit finding. Choosing the
// group lists its findings alone, "Alle Meldungen" all of them again, a double click
// goes to the record; and a screenshot of each version for a person to look at.
#include "core/AppState.h"
#include "settings/Settings.h"
#include "tests/support/CheckSettings.h"
#include "tests/support/QtMainWindow.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempDir.h"
#include "tools/gen/Generator.h"
#include "views/qt/MeldDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace arti;

namespace {

qt::MeldDialog* shownFindingsWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<qt::MeldDialog*>(w); d && d->isVisible()) return d;
    return nullptr;
}

// The row of the groups view whose tooltip (the kind's name) is `kind`; -1: none.
int groupRow(QTableView* groups, const char* kind) {
    for (int r = 0; r < groups->model()->rowCount(); ++r)
        if (groups->model()->index(r, 0).data(Qt::ToolTipRole).toString() == QLatin1String(kind)) return r;
    return -1;
}

} // namespace

class FindingsWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qputenv("ARTISCOPE_REGISTRY_DIR", QByteArray::fromStdString(registry_.path().string()));
        appState() = AppState{};
        appState().closeWithoutAsking = true;
    }

    void groupsFilterAndJump_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("shot");
        QTest::newRow("05/90") << static_cast<int>(gen::Version::V0590)
                               << QStringLiteral("meld_wnd_0590.png");
        QTest::newRow("01/96") << static_cast<int>(gen::Version::V0196)
                               << QStringLiteral("meld_wnd_0196.png");
        QTest::newRow("2000") << static_cast<int>(gen::Version::V2000) << QStringLiteral("meld_wnd_2000.png");
    }

    void groupsFilterAndJump() {
        QFETCH(int, version);
        QFETCH(QString, shot);
        const std::string file = data_.folder() + "ARTIKEL.DAT";
        gen::FileRecipe want;
        want.version = static_cast<gen::Version>(version);
        want.records = 2000;
        want.fault = gen::Fault::BadCheckDigit;
        gen::Report report;
        std::string error;
        QVERIFY2(gen::generateFile(want, file, report, error), error.c_str());
        test::useCheckSettings(data_.folder());
        settings().artiQuelle = data_.folder();
        // The files' date, 15.01.2024, lies before the date window.
        settings().uDatum = Date{std::chrono::year{2026}, std::chrono::month{12}, std::chrono::day{1}};

        test::QtMainWindow w;
        w.box.onUnexpected = nullptr; // the date question is answered "Nein", the rest "OK"
        QVERIFY(w.exposed());
        PRUEF_WND& logic = w.logic;
        const auto click = [&](Ctl c) { w.click(c); };

        w.dialogs.files.push_back(file);
        click(Ctl::OCCPSHDATEI);
        click(Ctl::ODCCHK3); // no box per finding
        click(Ctl::OCCPSHSTART);
        QVERIFY(!logic.run.LTURN_);
        QVERIFY(w.dialog.control(Ctl::OCCPSHMELD)->isEnabled());
        click(Ctl::OCCPSHMELD);
        qt::MeldDialog* meld = shownFindingsWindow();
        QVERIFY(meld);

        auto* groups = meld->findChild<QTableView*>(QStringLiteral("GROUPS"));
        auto* findings = meld->findChild<QTableView*>(QStringLiteral("FINDINGS"));
        const FileFindings& all = logic.run.findings;
        QCOMPARE(static_cast<std::uint64_t>(findings->model()->rowCount()), all.count());
        // The date of every article is one group, the largest; the check digit one of its own.
        QCOMPARE(groups->model()->index(0, 0).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("date_outside_window"));
        QVERIFY(groups->model()->index(0, 0).data().toString().toInt() > 100);
        const int digit = groupRow(groups, "check_digit_wrong");
        QVERIFY(digit > 0);
        QVERIFY(groupRow(groups, "file_length") > 0);
        QVERIFY(groupRow(groups, "run_ended") > 0);
        QVERIFY(test::saveScreenshot(*meld, shot));

        groups->selectRow(digit);
        QCOMPARE(findings->model()->rowCount(), 1);
        const QString text = findings->model()->index(0, 3).data().toString();
        QVERIFY2(text.contains(QStringLiteral("Prüfziffer")), qPrintable(text));
        QVERIFY(
            meld->findChild<QLabel*>(QStringLiteral("LISTCAPTION"))->text().contains(QStringLiteral(": 1")));
        QTest::mouseClick(meld->findChild<QPushButton*>(QStringLiteral("PSHALLE")), Qt::LeftButton);
        QCOMPARE(static_cast<std::uint64_t>(findings->model()->rowCount()), all.count());

        // A double click on the group shows the record of its (only) finding; the step to
        // it is logged, but the findings stay those of the run.
        const std::uint64_t counted = all.count();
        const QRect cell = groups->visualRect(groups->model()->index(digit, 2));
        QTest::mouseClick(groups->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(groups->viewport(), Qt::LeftButton, {}, cell.center());
        const FileFindings::Entry* wrong = nullptr;
        for (const FileFindings::Entry& e : all.entries())
            if (all.groups().at(e.group).kind == MessageKind::CheckDigitWrong) wrong = &e;
        QVERIFY(wrong);
        QCOMPARE(logic.run.NZEIGER_, wrong->offset);
        QCOMPARE(all.count(), counted);
        QCOMPARE(findings->model()->rowCount(), 1);
        meld->hide();
        logic.engine.closeFiles();
    }

private:
    test::TempDir registry_;
    test::TempDir data_;
};

QTEST_MAIN(FindingsWindowTest)
#include "findings_window_test.moc"
