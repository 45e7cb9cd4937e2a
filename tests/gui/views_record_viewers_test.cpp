// The faces of the sequence window and the field window through the program's viewer
// service: a real article of each version, the next sequence, closing back to the
// position, the key filter and a save; the field window complete as it opens; no caption
// or value cut with the longest values or in generated files; and screenshots of each
// window per version for a person to look at.
#include "core/Oem.h"
#include "core/Text.h"
#include "platform/qt/FontMetrics.h"
#include "records/FileAccess.h"
#include "records/XBaseTable.h"
#include "run/CheckRun.h"
#include "settings/Settings.h"
#include "tests/support/Fakes.h"
#include "tests/support/ListedFields.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempDir.h"
#include "tests/support/ViewerRecords.h"
#include "tools/gen/Generator.h"
#include "ui_Feld_wnd.h"
#include "ui_Satz_wnd.h"
#include "views/qt/FeldDialog.h"
#include "views/qt/QtRecordViewers.h"
#include "views/qt/SatzDialog.h"
#include "views/qt/Template.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <fstream>

using namespace arti;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

using test::fixedRecord;

struct Article {
    Version version;
    std::string head, rest;
};

Article article(Version v) {
    if (v == Version::V2000)
        return {v, "I;S;4015081234567;ABB-2CDS251001R0164;GH-471100\r\n",
                utf8ToAnsi("H;Leitungsschutzschalter;S201-B16;B16 1-polig;ABB "
                           "STOTZ-KONTAKT;ABB;1;01;20271231;;;;125;RG12;R4;PG2;"
                           "WG310;06\r\nP;1;1234,50;EUR;20260101;3;35,5\r\nT;1;Leitungsschutzschalter S200 "
                           "zum Schutz von;1\r\n"
                           "T;1; Leitungen gegen Überlast und "
                           "Kurzschluss.;3\r\nT;6;S201B16.jpg;0\r\nU;U;DE;08;85362010;\r\n"
                           "Z;01;;;;1;150;0,125;1\r\nI;S;4015081234574;ABB-2CDS251001R0254;GH-471101\r\n")};
    if (v == Version::V0196)
        return {
            v,
            fixedRecord('A', {{2, "1"},
                              {3, "4015081234567"},
                              {17, "2CDS251001R0164"},
                              {32, "471100"},
                              {47, "Leitungsschutzschalter"},
                              {74, "S201-B16"},
                              {94, "B16 1-polig"},
                              {114, "ABB STOTZ"}}),
            fixedRecord('B',
                        {{19, "U"},   {36, "310"},      {40, "12/3"}, {47, "000001"}, {53, "00125"},
                         {58, "06"},  {60, "01"},       {68, "1"},    {69, "3"},      {70, "00123450"},
                         {78, "EUR"}, {81, "01012026"}, {89, "PG2"},  {92, "R4"},     {96, "3550"},
                         {100, "1"},  {101, "35500"},   {106, "2"},   {107, "12500"}, {119, "LSS B16"}}) +
                fixedRecord('D', {{19, "2"}, {20, "LSS-B16"}, {31, "001"}, {34, "230$6$"}}) +
                fixedRecord('Z', {{19, "01"},
                                  {21, "0000150"},
                                  {28, "00450"},
                                  {33, "1"},
                                  {34, "0125"},
                                  {43, "1"},
                                  {44, "2"}}) +
                fixedRecord(
                    'A', {{2, "1"}, {3, "4015081234574"}, {47, "Leitungsschutzschalter"}, {74, "S201-B20"}})};
    return {v,
            fixedRecord('A', {{2, "0"},
                              {3, "4015081234567"},
                              {17, "2CDS251001R0164"},
                              {32, "471100"},
                              {47, "Leitungsschutzschalter"},
                              {74, "S201-B16"},
                              {94, "B16 1-polig"},
                              {114, "Neu"}}),
            fixedRecord('B', {{19, "ABB STOTZ"},
                              {34, "310"},
                              {37, "12/3"},
                              {41, "1 St"},
                              {46, "00001"},
                              {51, "000125"},
                              {57, "U"},
                              {58, "01"},
                              {60, "1"},
                              {61, "3"},
                              {62, "00123450"},
                              {70, "EUR"},
                              {73, "01012026"},
                              {85, "PG2"},
                              {88, "R4"},
                              {92, "3550"},
                              {96, "2"},
                              {97, "1250"},
                              {112, "LSS B16"}}) +
                fixedRecord(
                    'Z', {{19, "01"}, {21, "0000150"}, {28, "00450"}, {33, "1"}, {34, "0125"}, {44, "2"}})};
}

// One raw-material block of a Z record (05/90, 01/96): material, weight, base, amount
// code, amount, step, step code, surcharge code.
std::string block(const char* material, const char* kzBetrag, const char* kzSprung,
                  const char* kzGutschrift) {
    return std::string(material) + "9999999" + "99999" + kzBetrag + "9999" + "99999" + kzSprung +
           kzGutschrift;
}

// An article of each version whose every value is as long as its field or code allows.
Article longArticle(Version v) {
    if (v == Version::V2000)
        return {
            v, "I;L;04015081234567;HAGER-MCS316-415V-3TE-50HZ-ZUSATZ-1;100000000123456\r\n",
            utf8ToAnsi("H;HAGER Leitungsschutzschalter C16A 3;3-polig 415V 6kA 3TE Hilfsschaltern;"
                       "MCS316-415V-3TE-50HZ-ZUSATZEINR-MGL;Hager Vertriebsgesellschaft mbH Co.;HAGER-ELEK;"
                       "99999999;41;20271231;1;999999;43;999999;RGHE;RGGH;PGPG;WG999999;23\r\n"
                       "P;5;9999999,99;EUR;20260101;4;99,99\r\nS;LEITUNGSSCHUTZSCHALTER C16A 3-POLIG\r\n"
                       "T;1;Leitungsschutzschalter für den Schutz von Leitungen;1\r\n"
                       "T;6;Artikelbild_04015081234567_gross.jpg;0\r\nU;000;DEU;13;85362010;99999999\r\n"
                       "Z;93;;;1;1;99999;99999999;99999\r\nI;S;4015081234574;X;Y\r\n")};
    const std::string z = block(v == Version::V0590 ? "05" : "93", "2", "1", "2") +
                          block("02", "1", "2", "1") + block("01", "2", "1", "1") +
                          block("05", "1", "2", "2");
    const std::string zRecord = fixedRecord('Z', {{19, z.c_str()}});
    if (v == Version::V0196)
        return {v,
                fixedRecord('A', {{2, "9"},
                                  {3, "04015081234567"},
                                  {17, "HAGER-MCS316-3P"},
                                  {32, "100000000123456"},
                                  {47, "Leitungsschutzschalter C16A"},
                                  {74, "3-polig 415V 6kA 3TE"},
                                  {94, "MCS316-415V-3TE-50Hz"},
                                  {114, "HAGER VERTRIEBS"}}),
                fixedRecord('B', {{19, "U"},      {36, "9999"},       {40, "999/999"}, {47, "999999"},
                                  {53, "99999"},  {58, "23"},         {60, "41"},      {68, "2"},
                                  {69, "9"},      {70, "99999999"},   {78, "EUR"},     {81, "31122026"},
                                  {89, "PGP"},    {92, "RGRG"},       {96, "9999"},    {100, "3"},
                                  {101, "99999"}, {106, "2"},         {107, "99999"},  {112, "1"},
                                  {113, "99999"}, {119, "LSS C16 3P"}}) +
                    fixedRecord(
                        'D', {{19, "1"}, {20, "TX000012345"}, {31, "001"}, {34, "Leitungsschutzschalter"}}) +
                    fixedRecord('D', {{19, "3"}, {20, "ARTBILD1JPG"}}) + zRecord +
                    fixedRecord('A', {{2, "1"}, {3, "4015081234574"}})};
    return {v,
            fixedRecord('A', {{2, "3"},
                              {3, "04015081234567"},
                              {17, "HAGER-MCS316-3P"},
                              {32, "100000000123456"},
                              {47, "Leitungsschutzschalter C16A"},
                              {74, "3-polig 415V 6kA 3TE"},
                              {94, "MCS316-415V-3TE-50Hz"},
                              {114, "Neuheit!"}}),
            fixedRecord('B', {{19, "HAGER VERTRIEBS"},
                              {34, "999"},
                              {37, "9999"},
                              {41, "10Stk"},
                              {46, "99999"},
                              {51, "999999"},
                              {57, "R"},
                              {58, "05"},
                              {60, "2"},
                              {61, "9"},
                              {62, "99999999"},
                              {70, "EUR"},
                              {73, "31122026"},
                              {85, "PGP"},
                              {88, "RGRG"},
                              {92, "9999"},
                              {96, "3"},
                              {97, "9999"},
                              {101, "2"},
                              {102, "9999"},
                              {106, "1"},
                              {107, "9999"},
                              {112, "LSS C16 3P"}}) +
                zRecord};
}

// The room a label has for its text: inside its frame and margin, and its indent, which
// a framed label keeps at half an "x" on the side it aligns to.
QRect textRoom(const QLabel& label) {
    const int margin = label.margin();
    QRect room = label.contentsRect().adjusted(margin, margin, -margin, -margin);
    int indent = label.indent();
    if (indent < 0 && label.frameWidth() > 0)
        indent = label.fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin;
    if (indent > 0) room.setLeft(room.left() + indent);
    return room;
}

// The labels of a window that show less than their whole text (a label that wraps its
// lines may take more than one): "WINDOW NAME (needed of shown px wide, ... high): text".
QStringList cutLabels(const QWidget& window) {
    QStringList cut;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;
        const QRect room = textRoom(*label);
        const int flags = label->wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine;
        const QSize need =
            label->fontMetrics().boundingRect(QRect(0, 0, room.width(), 10000), flags, label->text()).size();
        if (need.width() > room.width() || need.height() > room.height())
            cut << QStringLiteral("%1 %2 (%3 of %4 px wide, %5 of %6 high): %7")
                       .arg(window.objectName(), label->objectName())
                       .arg(need.width())
                       .arg(room.width())
                       .arg(need.height())
                       .arg(room.height())
                       .arg(label->text());
    }
    return cut;
}

// True when no label was cut; else each cut label is named in the test's output.
bool noneCut(QStringList cut) {
    cut.removeDuplicates();
    for (const QString& c : cut)
        qWarning("%s", qPrintable(c));
    return cut.isEmpty();
}

template <typename D> D* topLevel() {
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
            store->setMemo(*store->append("LSS-B16"),
                           utf8ToAnsi("Nennspannung $   V, Breite $ mm\r\nmit Schnellbefestigung"));
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
            const long long start = FTELL(run.source.handle());
            IChildWindow* window = viewers.openSequenceViewer(nullptr, main, run);
            QVERIFY(window);
            QCOMPARE(box.shown.size(), std::size_t{1});
            qt::SatzDialog* dialog = topLevel<qt::SatzDialog>();
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), u("Sequenz (zusammengeführte Anzeige)"));
            QCOMPARE(dialog->size(), qt::DialogUnits(qt::dialogFont()).size(676, 314));
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
                QVERIFY(FTELL(run.source.handle()) > start);
            }
            QTest::mouseClick(dialog->ui().PSHCANCEL, Qt::LeftButton);
            QCOMPARE(FTELL(run.source.handle()), start);
            QVERIFY(!dialog->isVisible());
            window->end(); // ended again by the main window: nothing happens
            FCLOSE(run.source.handle());
        }
    }

    void fieldWindowFiltersKeysAndSaves() {
        for (const Version v : {Version::V0590, Version::V0196, Version::V2000}) {
            const Article a = article(v);
            CheckRun run;
            openRun(run, a);
            run.NZEIGER_ = 0;
            test::FakeMessageBox box;
            ServicesScope scope(&box);
            qt::QtRecordViewers viewers;
            test::FakeViewerOwner main;
            const bool v2000 = v == Version::V2000;
            const ListedField row = v2000 ? test::listedField("4015081234567", "GTIN", "14", "N", "K", 5, 3)
                                          : test::listedField("4015081234567", "EAN", "13", "N", "K", 3, 3);
            IChildWindow* window = viewers.openFieldEditor(nullptr, main, run, row, "A", "?");
            QVERIFY(window);
            qt::FeldDialog* dialog = topLevel<qt::FeldDialog>();
            QVERIFY(dialog);
            QCOMPARE(dialog->size(), qt::DialogUnits(qt::dialogFont()).size(314, 128));
            QCOMPARE(dialog->ui().TXTNAME->text(), QString::fromStdString(row.name));
            QVERIFY(test::saveScreenshot(
                *dialog, u("feld_wnd_%1.png").arg(QString::fromLatin1(versionText(v).data()))));
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
            FCLOSE(run.source.handle());
        }
    }

    // The field window shows the decoded value, the fill characters and the total as soon
    // as it opens; leaving the untouched box enables no save, and the box keeps its font.
    void fieldWindowOpensComplete() {
        struct Case {
            Version v;
            ListedField row;
            const char* info;
        };
        const Case cases[] = {
            {Version::V0196, test::listedField("00159605", "Preis, kl", "8", "N", "K", 70, 9), "1596,05"},
            {Version::V0590, test::listedField("01", "Mengeneinheit", "2", "N", "K", 58, 12), "= Stück"},
            {Version::V2000, test::listedField("01", "Mengeneinheit 1", "2", "N", "M", 8, 8), "= Stück"},
        };
        for (const Case& c : cases) {
            CheckRun run;
            openRun(run, article(c.v));
            run.NZEIGER_ = 0;
            test::FakeMessageBox box;
            ServicesScope scope(&box);
            qt::QtRecordViewers viewers;
            test::FakeViewerOwner main;
            QVERIFY(viewers.openFieldEditor(nullptr, main, run, c.row, "B", "?"));
            qt::FeldDialog* dialog = topLevel<qt::FeldDialog>();
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            QLineEdit* edit = dialog->ui().SLEMASKE;
            QCOMPARE(dialog->ui().TXTINFO->text(), u(c.info));
            QCOMPARE(dialog->ui().TXTFILL->text(), QStringLiteral("0"));
            QCOMPARE(dialog->ui().TXTTOTAL->text(), QString::number(c.row.content.size()));
            const QFont font = edit->font();
            const QFontInfo shown(font);
            QVERIFY(!shown.fixedPitch());
            const QColor background = edit->palette().color(QPalette::Base);
            // Tab round to the box: entering it highlights it.
            dialog->ui().PSHCANCEL->setFocus(Qt::TabFocusReason);
            edit->setFocus(Qt::TabFocusReason);
            QVERIFY(edit->hasFocus());
            QVERIFY(edit->palette().color(QPalette::Base) != background);
            QCOMPARE(edit->font(), font);
            dialog->ui().PSHCANCEL->setFocus(Qt::TabFocusReason);
            QVERIFY(!edit->hasFocus());
            QCOMPARE(edit->palette().color(QPalette::Base), background);
            QCOMPARE(edit->font(), font);
            QCOMPARE(QFontInfo(edit->font()).family(), shown.family());
            QCOMPARE(QFontInfo(edit->font()).fixedPitch(), false);
            QCOMPARE(dialog->ui().TXTINFO->text(), u(c.info));
            QVERIFY(!dialog->ui().PSHSAVE->isEnabled());
            QTest::mouseClick(dialog->ui().PSHCANCEL, Qt::LeftButton);
            FCLOSE(run.source.handle());
        }
    }

    // Every caption and value of both windows shows whole with the longest values of each
    // version; a screenshot of each for a person to look at.
    void noCaptionOrValueIsCut() {
        QStringList cut;
        for (const Version v : {Version::V0590, Version::V0196, Version::V2000}) {
            const QString version = QString::fromLatin1(versionText(v).data());
            CheckRun run;
            openRun(run, longArticle(v));
            test::FakeMessageBox box;
            box.onUnexpected = nullptr;
            ServicesScope scope(&box);
            qt::QtRecordViewers viewers;
            test::FakeViewerOwner main;
            QVERIFY(viewers.openSequenceViewer(nullptr, main, run));
            qt::SatzDialog* sequence = topLevel<qt::SatzDialog>();
            QVERIFY(sequence);
            QVERIFY(test::saveScreenshot(*sequence, u("satz_wnd_long_%1.png").arg(version)));
            cut << cutLabels(*sequence);
            QTest::mouseClick(sequence->ui().PSHCANCEL, Qt::LeftButton);

            // The longest decoded value and the longest name with the largest numbers.
            run.NZEIGER_ = 1234567890;
            const std::pair<ListedField, const char*> rows[] = {
                {v == Version::V2000   ? test::listedField("3", "Schalter Text", "1", "N", "M", 3, 2)
                 : v == Version::V0196 ? test::listedField("2", "Schalter Text", "1", "N", "M", 19, 3)
                                       : test::listedField("0", "Schalter Art.Nr.", "1", "N", "M", 2, 2),
                 "decoded"},
                {test::listedField(std::string(245, 'W'), utf8ToAnsi("Materialbasis Währ./100kg"), "245", "A",
                                   "M", 300, 18),
                 "name"},
            };
            for (const auto& [row, what] : rows) {
                QVERIFY(viewers.openFieldEditor(nullptr, main, run, row, "T", "?"));
                qt::FeldDialog* field = topLevel<qt::FeldDialog>();
                QVERIFY(field);
                QVERIFY(test::saveScreenshot(*field, u("feld_wnd_long_%1_%2.png").arg(version, u(what))));
                cut << cutLabels(*field);
                QTest::mouseClick(field->ui().PSHCANCEL, Qt::LeftButton);
            }
            FCLOSE(run.source.handle());
        }
        QVERIFY(noneCut(cut));
    }

    // Generated files of each version, sequence by sequence.
    void noValueOfAGeneratedFileIsCut() {
        QStringList cut;
        for (const auto& [v, g] : {std::pair{Version::V0590, gen::Version::V0590},
                                   {Version::V0196, gen::Version::V0196},
                                   {Version::V2000, gen::Version::V2000}}) {
            gen::FileRecipe want;
            want.version = g;
            want.records = 200;
            gen::Report report;
            std::string error;
            path_ = dir_.folder() + "generated.dat";
            QVERIFY2(gen::generateFile(want, path_, report, error), error.c_str());
            const std::string bytes = fileBytes();
            const std::size_t head = bytes.find(v == Version::V2000 ? "\r\nI" : "\r\nA") + 2;
            const std::size_t next = bytes.find("\r\n", head) + 2;
            CheckRun run;
            run.source.attach(FOPEN(path_, FO_READWRITE));
            run.version = v;
            run.LASCII_ = v != Version::V2000;
            const std::string record = bytes.substr(head, next - 2 - head);
            run.CPUFFER_ = run.LASCII_ ? oemToAnsiCopy(record) : record;
            FSEEK(run.source.handle(), static_cast<long long>(next));
            test::FakeMessageBox box;
            box.onUnexpected = nullptr;
            ServicesScope scope(&box);
            qt::QtRecordViewers viewers;
            test::FakeViewerOwner main;
            QVERIFY(viewers.openSequenceViewer(nullptr, main, run));
            qt::SatzDialog* sequence = topLevel<qt::SatzDialog>();
            QVERIFY(sequence);
            QVERIFY(test::saveScreenshot(*sequence,
                                         u("satz_wnd_generated_%1.png").arg(QLatin1String(versionText(v)))));
            for (int i = 0; i < 30 && sequence->ui().PSHNEXT->isEnabled(); ++i) {
                cut << cutLabels(*sequence);
                QTest::mouseClick(sequence->ui().PSHNEXT, Qt::LeftButton);
            }
            QTest::mouseClick(sequence->ui().PSHCANCEL, Qt::LeftButton);
            FCLOSE(run.source.handle());
        }
        QVERIFY(noneCut(cut));
    }

private:
    void openRun(CheckRun& run, const Article& a) {
        path_ = dir_.folder() + "artikel.dat";
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << a.head + a.rest;
        run.source.attach(FOPEN(path_, FO_READWRITE));
        run.version = a.version;
        run.versionLabel = std::string(versionText(a.version));
        run.separator = ";";
        run.LASCII_ = false;
        run.CPUFFER_ = a.head.substr(0, a.head.size() - 2);
        FSEEK(run.source.handle(), static_cast<long long>(a.head.size()));
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
