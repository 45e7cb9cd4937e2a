// The faces of the sequence window and the field window through the program's viewer
// service: a real article of each version, the next sequence, closing back to the
// position, the key filter and a save; and a screenshot of each window per version for
// a person to look at.
#include "core/Text.h"
#include "records/FileAccess.h"
#include "records/XBaseTable.h"
#include "run/CheckRun.h"
#include "settings/Settings.h"
#include "tests/support/Fakes.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempDir.h"
#include "tests/support/ViewerRecords.h"
#include "ui_Feld_wnd.h"
#include "ui_Satz_wnd.h"
#include "views/qt/FeldDialog.h"
#include "views/qt/QtRecordViewers.h"
#include "views/qt/SatzDialog.h"
#include "views/qt/Template.h"
#include "platform/qt/FontMetrics.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <fstream>

using namespace arti;

namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

using test::fixedRecord;

struct Article {
    Version version;
    std::string head, rest;
};

Article article(Version v) {
    if (v == Version::V2000)
        return {v, "I;S;4015081234567;ABB-2CDS251001R0164;GH-471100\r\n",
                utf8ToAnsi("H;Leitungsschutzschalter;S201-B16;B16 1-polig;ABB STOTZ-KONTAKT;ABB;1;01;20271231;;;;125;RG12;R4;PG2;"
                "WG310;06\r\nP;1;1234,50;EUR;20260101;3;35,5\r\nT;1;Leitungsschutzschalter S200 zum Schutz von;1\r\n"
                "T;1; Leitungen gegen Überlast und Kurzschluss.;3\r\nT;6;S201B16.jpg;0\r\nU;U;DE;08;85362010;\r\n"
                "Z;01;;;;1;150;0,125;1\r\nI;S;4015081234574;ABB-2CDS251001R0254;GH-471101\r\n")};
    if (v == Version::V0196)
        return {v, fixedRecord('A', {{2, "1"}, {3, "4015081234567"}, {17, "2CDS251001R0164"}, {32, "471100"},
                                     {47, "Leitungsschutzschalter"}, {74, "S201-B16"}, {94, "B16 1-polig"},
                                     {114, "ABB STOTZ"}}),
                fixedRecord('B', {{19, "U"}, {36, "310"}, {40, "12/3"}, {47, "000001"}, {53, "00125"}, {58, "06"},
                                  {60, "01"}, {68, "1"}, {69, "3"}, {70, "00123450"}, {78, "EUR"}, {81, "01012026"},
                                  {89, "PG2"}, {92, "R4"}, {96, "3550"}, {100, "1"}, {101, "35500"}, {106, "2"},
                                  {107, "12500"}, {119, "LSS B16"}}) +
                    fixedRecord('D', {{19, "2"}, {20, "LSS-B16"}, {31, "001"}, {34, "230$6$"}}) +
                    fixedRecord('Z', {{19, "01"}, {21, "0000150"}, {28, "00450"}, {33, "1"}, {34, "0125"}, {43, "1"}, {44, "2"}}) +
                    fixedRecord('A', {{2, "1"}, {3, "4015081234574"}, {47, "Leitungsschutzschalter"}, {74, "S201-B20"}})};
    return {v, fixedRecord('A', {{2, "0"}, {3, "4015081234567"}, {17, "2CDS251001R0164"}, {32, "471100"},
                                 {47, "Leitungsschutzschalter"}, {74, "S201-B16"}, {94, "B16 1-polig"}, {114, "Neu"}}),
            fixedRecord('B', {{19, "ABB STOTZ"}, {34, "310"}, {37, "12/3"}, {41, "1 St"}, {46, "00001"}, {51, "000125"},
                              {57, "U"}, {58, "01"}, {60, "1"}, {61, "3"}, {62, "00123450"}, {70, "EUR"},
                              {73, "01012026"}, {85, "PG2"}, {88, "R4"}, {92, "3550"}, {96, "2"}, {97, "1250"},
                              {112, "LSS B16"}}) +
                fixedRecord('Z', {{19, "01"}, {21, "0000150"}, {28, "00450"}, {33, "1"}, {34, "0125"}, {44, "2"}})};
}

template <typename D>
D* topLevel() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<D*>(w); d && d->isVisible()) return d;
    return nullptr;
}

} // namespace

class RecordViewersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        settings() = Settings{};
        settings().installPath = dir_.folder();
        settings().waehrung = "EUR";
    }

    void sequenceWindowShowsAnArticleOfEachVersion() {
        QVERIFY(XBaseTable::create(XBasePaths::longTextStore(dir_.folder())));
        {
            auto store = XBaseTable::open(XBasePaths::longTextStore(dir_.folder()), XBaseMode::ReadWrite);
            QVERIFY(store);
            store->setMemo(*store->append("LSS-B16"), utf8ToAnsi("Nennspannung $   V, Breite $ mm\r\nmit Schnellbefestigung"));
        }
        for (const Version v : {Version::V0590, Version::V0196, Version::V2000}) {
            const Article a = article(v);
            CheckRun run;
            openRun(run, a);
            test::FakeMessageBox box;
            box.expect(BoxButton::Ok);
            ServicesScope scope(&box);
            qt::QtRecordViewers viewers;
            test::FakeViewerOwner main;
            const long long start = FTELL(run.dataFile);
            IChildWindow* window = viewers.openSequenceViewer(nullptr, main, run);
            QVERIFY(window);
            QCOMPARE(box.shown.size(), std::size_t{1});
            qt::SatzDialog* dialog = topLevel<qt::SatzDialog>();
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), u("Sequenz (zusammengeführte Anzeige)"));
            QCOMPARE(dialog->size(), qt::DialogUnits(qt::dialogFont()).size(560, 294));
            QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("TXT5"))->text(), u("Leitungsschutzschalter"));
            const QString name = u("satz_wnd_%1.png").arg(QString::fromLatin1(versionText(v).data()));
            if (v == Version::V0196) {
                QVERIFY(dialog->ui().MLE1->toPlainText().contains(u("Nennspannung $   V")));
                QVERIFY(dialog->ui().PSHDIM->isEnabled());
                QTest::mouseClick(dialog->ui().PSHDIM, Qt::LeftButton);
                QVERIFY(dialog->ui().MLE1->toPlainText().contains(u("Nennspannung 230 V, Breite 6 mm")));
            }
            QVERIFY(test::saveScreenshot(*dialog, name));
            // The next sequence, then back to where the viewer found the file.
            if (dialog->ui().PSHNEXT->isEnabled()) {
                QTest::mouseClick(dialog->ui().PSHNEXT, Qt::LeftButton);
                QCOMPARE(main.offsets, 1);
                QVERIFY(FTELL(run.dataFile) > start);
            }
            QTest::mouseClick(dialog->ui().PSHCANCEL, Qt::LeftButton);
            QCOMPARE(FTELL(run.dataFile), start);
            QVERIFY(!dialog->isVisible());
            window->end(); // ended again by the main window: nothing happens
            FCLOSE(run.dataFile);
        }
    }

    void fieldWindowFiltersKeysAndSaves() {
        for (const Version v : {Version::V0590, Version::V0196, Version::V2000}) {
            const Article a = article(v);
            CheckRun run;
            openRun(run, a);
            run._NZEIGER = 0;
            test::FakeMessageBox box;
            ServicesScope scope(&box);
            qt::QtRecordViewers viewers;
            test::FakeViewerOwner main;
            const bool v2000 = v == Version::V2000;
            const ListRow row = v2000 ? ListRow{"4015081234567", "GTIN", "14", "N", "K", "5", "3"}
                                      : ListRow{"4015081234567", "EAN", "13", "N", "K", "3", "3"};
            IChildWindow* window = viewers.openFieldEditor(nullptr, main, run, row, "A", "?");
            QVERIFY(window);
            qt::FeldDialog* dialog = topLevel<qt::FeldDialog>();
            QVERIFY(dialog);
            QCOMPARE(dialog->size(), qt::DialogUnits(qt::dialogFont()).size(314, 128));
            QCOMPARE(dialog->ui().TXTNAME->text(), QString::fromStdString(row[1]));
            QVERIFY(test::saveScreenshot(*dialog, u("feld_wnd_%1.png").arg(QString::fromLatin1(versionText(v).data()))));
            // A numeric field takes digits only; the "CHR" label shows every key's code.
            QLineEdit* edit = dialog->ui().SLEMASKE;
            edit->setFocus();
            edit->end(false);
            QTest::keyClick(edit, Qt::Key_Backspace);
            QTest::keyClicks(edit, QStringLiteral("a"));
            QCOMPARE(dialog->ui().TXTCHR->text(), QStringLiteral("97"));
            QTest::keyClicks(edit, QStringLiteral("9"));
            QCOMPARE(dialog->ui().TXTCHR->text(), QStringLiteral("57"));
            QCOMPARE(edit->text(), QStringLiteral("4015081234569"));
            QVERIFY(dialog->ui().PSHSAVE->isEnabled());
            QTest::mouseClick(dialog->ui().PSHSAVE, Qt::LeftButton);
            QVERIFY(box.shown.empty());
            QCOMPARE(main.reads, 1);
            QVERIFY(fileBytes().find("4015081234569") != std::string::npos);
            QTest::mouseClick(dialog->ui().PSHCANCEL, Qt::LeftButton);
            QVERIFY(!main.child);
            FCLOSE(run.dataFile);
        }
    }

private:
    void openRun(CheckRun& run, const Article& a) {
        path_ = dir_.folder() + "artikel.dat";
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << a.head + a.rest;
        run.dataFile = FOPEN(path_, FO_READWRITE);
        run.version = a.version;
        run.versionLabel = std::string(versionText(a.version));
        run.separator = ";";
        run._LASCII = false;
        run._CPUFFER = a.head.substr(0, a.head.size() - 2);
        FSEEK(run.dataFile, static_cast<long long>(a.head.size()));
    }
    std::string fileBytes() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    test::TempDir dir_;
    std::string path_;
};

QTEST_MAIN(RecordViewersTest)
#include "views_record_viewers_test.moc"
