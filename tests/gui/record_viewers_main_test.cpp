// The record viewers in the real main window: a generated 01/96 file with text records is
// checked, the check steps to an article, "Sequenz Darstellung" shows it with its long
// text, reads the next sequence and closes back to the check's position; a double click
// on a field of the findings list opens the field window, whose save the check reads
// again.
#include "app/PruefWnd.h"
#include "app/qt/PruefDialog.h"
#include "core/AppState.h"
#include "core/Text.h"
#include "settings/Settings.h"
#include "tests/support/CheckSettings.h"
#include "tests/support/QtMainWindow.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempDir.h"
#include "tools/gen/Generator.h"
#include "ui_Feld_wnd.h"
#include "ui_Satz_wnd.h"
#include "views/qt/FeldDialog.h"
#include "views/qt/QtRecordViewers.h"
#include "views/qt/SatzDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <fstream>

using namespace arti;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

template <typename D> D* shownWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<D*>(w); d && d->isVisible()) return d;
    return nullptr;
}

// The first D record of the file refers to the long text of the first T record.
bool referToFirstText(const std::string& path) {
    std::string bytes = readFile(path);
    const std::size_t t = bytes.find("\r\nT");
    const std::size_t d = bytes.find("\r\nD");
    if (t == std::string::npos || d == std::string::npos) return false;
    const std::string key = bytes.substr(t + 2 + 3, 11);
    bytes.replace(d + 2 + 19, 11, key);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return true;
}

} // namespace

class RecordViewersMainTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qputenv("ARTISCOPE_REGISTRY_DIR", QByteArray::fromStdString(registry_.path().string()));
        appState() = AppState{};
        appState().closeWithoutAsking = true;
        test::useCheckSettings(data_.folder());
        settings().artiQuelle = data_.folder();
    }

    void viewAnArticleAndEditAField() {
        const std::string file = data_.folder() + "ELDANORM.001";
        gen::FileRecipe want;
        want.records = 120;
        want.types = "ABDTZ";
        gen::Report report;
        std::string error;
        QVERIFY2(gen::generateFile(want, file, report, error), error.c_str());
        QVERIFY(referToFirstText(file));

        test::QtMainWindow w;
        QVERIFY(w.exposed());
        test::FakeMessageBox& box = w.box;
        test::FakeFileDialogs& dialogs = w.dialogs;
        PRUEF_WND& logic = w.logic;
        qt::PruefDialog& dialog = w.dialog;
        const auto click = [&](Ctl c) { w.click(c); };
        // The window at each step of its guidance, painted as the event loop leaves it.
        const auto shot = [&](const char* name) {
            dialog.applyPendingChanges();
            return test::saveScreenshot(dialog, QString::fromLatin1(name));
        };
        QVERIFY(shot("guidance_file.png"));

        // Choose the file (the source folder and the header as the first finding in
        // boxes), pop-ups off, a run to the end stores the long texts.
        dialogs.files.push_back(file);
        box.expect(BoxButton::Ok).expect(BoxButton::Ok);
        click(Ctl::OCCPSHDATEI);
        box.shown.clear();
        QVERIFY(shot("guidance_options.png"));
        click(Ctl::ODCCHK3);
        QVERIFY(!logic.run.options.popups);
        QVERIFY(shot("guidance_check.png"));
        click(Ctl::OCCPSHSTART);
        QVERIFY(!logic.run.LTURN_);

        // Step to the article whose D record names the long text.
        click(Ctl::OCCPSHBOF);
        QVERIFY(shot("guidance_none.png"));
        for (int i = 0; i < 200 && logic.run.recordType != "A"; ++i)
            click(Ctl::OCCPSHNEXT);
        QCOMPARE(logic.run.recordType, std::string("A"));
        QVERIFY(dialog.control(Ctl::OCCPSHVIEW)->isEnabled());
        const long long position = FTELL(logic.run.source.handle());

        box.expect(BoxButton::Ok);
        click(Ctl::OCCPSHVIEW);
        QCOMPARE(box.shown.size(), std::size_t{1});
        QVERIFY(logic.LSEQUENZ_);
        qt::SatzDialog* sequence = shownWindow<qt::SatzDialog>();
        QVERIFY(sequence);
        QVERIFY(!sequence->findChild<QLabel*>(QStringLiteral("TXT5"))->text().isEmpty());
        QVERIFY(!sequence->findChild<QLabel*>(QStringLiteral("TXT33"))->text().isEmpty());
        const QString text = sequence->ui().MLE1->toPlainText();
        QVERIFY2(text.contains(QString(40, QLatin1Char('-'))), qPrintable(text));
        QVERIFY(test::saveScreenshot(*sequence, QStringLiteral("satz_wnd_main_0196.png")));
        if (sequence->ui().PSHDIM->isEnabled()) QTest::mouseClick(sequence->ui().PSHDIM, Qt::LeftButton);
        QTest::mouseClick(sequence->ui().PSHNEXT, Qt::LeftButton);
        QVERIFY(FTELL(logic.run.source.handle()) > position);
        QTest::mouseClick(sequence->ui().PSHCANCEL, Qt::LeftButton);
        QCOMPARE(FTELL(logic.run.source.handle()), position);

        // Field checks on, the article read again: its fields fill the findings list.
        click(Ctl::ODCCHK2);
        click(Ctl::OCCPSHBACK);
        click(Ctl::OCCPSHNEXT);
        QCOMPARE(logic.run.recordType, std::string("A"));
        dialog.applyPendingChanges();
        auto* list = qobject_cast<QTreeWidget*>(dialog.control(Ctl::ODCLISTVIEW1));
        int row = -1;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(1) == QStringLiteral("Bezeichnung 1")) row = i;
        QVERIFY(row >= 0);
        const QPoint at = list->visualItemRect(list->topLevelItem(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(logic.LFELD_);
        qt::FeldDialog* field = shownWindow<qt::FeldDialog>();
        QVERIFY(field);
        QCOMPARE(field->ui().TXTNAME->text(), QStringLiteral("Bezeichnung 1"));
        QVERIFY(test::saveScreenshot(*field, QStringLiteral("feld_wnd_opened_0196.png")));
        QLineEdit* edit = field->ui().SLEMASKE;
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("Ge"));
        edit->insert(QString::fromUtf8("ä")); // typed through the input method
        QTest::keyClicks(edit, QStringLiteral("nderte Bezeichnung"));
        QVERIFY(test::saveScreenshot(*field, QStringLiteral("feld_wnd_main_0196.png")));
        const std::size_t length = readFile(file).size();
        box.onUnexpected = nullptr; // the re-read record's findings stay in the log
        QTest::mouseClick(field->ui().PSHSAVE, Qt::LeftButton);
        QCOMPARE(readFile(file).size(), length);
        dialog.applyPendingChanges();
        QVERIFY(list->topLevelItem(row)->text(0).startsWith(QString::fromUtf8("Geänderte Bezeichnung")));
        QTest::mouseClick(field->ui().PSHCANCEL, Qt::LeftButton);
        QVERIFY(!logic.LFELD_);
        logic.engine.closeFiles();
    }

private:
    test::TempDir registry_;
    test::TempDir data_;
};

QTEST_MAIN(RecordViewersMainTest)
#include "record_viewers_main_test.moc"
