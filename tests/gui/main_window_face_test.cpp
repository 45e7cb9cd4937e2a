// The face of the main check window: the template's controls, captions, tooltips and
// fonts; the logic's changes reaching the widgets (display texts only when the event
// loop runs); clicks and keys reaching the logic; the record lines standing under their
// column numbers; the shared Qt services. A screenshot of the window after a run on a
// generated file is written for a person to look at.
#include "app/PruefWnd.h"
#include "app/qt/PruefDialog.h"
#include "core/AppState.h"
#include "core/Text.h"
#include "platform/qt/FontMetrics.h"
#include "platform/qt/QtServices.h"
#include "records/FileHandles.h"
#include "rules/FieldTable.h"
#include "settings/Settings.h"
#include "tests/support/CheckSettings.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/FakeViewers.h"
#include "tests/support/Fakes.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempDir.h"
#include "tools/gen/Generator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <array>
#include <fstream>
#include <sstream>

using namespace arti;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The services a window needs, the logic and its face, built as the start routine
// builds them: template captions (INIT), the face attached, the set-up.
struct Window {
    test::FakeMessageBox box;
    qt::QtWindowServices pump;
    test::FakeFileDialogs dialogs;
    test::FakeShell shell;
    ServicesScope scope{&box, &pump, nullptr, &dialogs, &shell};
    PRUEF_WND logic;
    qt::PruefDialog dialog{logic};

    Window() {
        box.onUnexpected = [](const test::ShownBox& b) {
            QTest::qFail(("unexpected box: " + b.caption + " / " + b.text).c_str(), __FILE__, __LINE__);
        };
        logic.INIT();
        logic.attachView(&dialog);
        logic.SETUP();
    }
    ~Window() { logic.engine.closeFiles(); }

    template <class T = QWidget> T* w(Ctl c) const { return qobject_cast<T*>(dialog.control(c)); }
    QLabel* label(Ctl c) const { return w<QLabel>(c); }
    QString shown(Ctl c) const { return label(c)->text(); }
    // A click where the user clicks: on a check box's box, on a button's middle.
    void click(Ctl c) const {
        QWidget* target = w(c);
        const QPoint at =
            qobject_cast<QCheckBox*>(target) ? QPoint(6, target->height() / 2) : target->rect().center();
        QTest::mouseClick(target, Qt::LeftButton, {}, at);
    }
    void show() {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    }
};

// Columns of a label that hold ink (a pixel at least half covered by a dark glyph over
// the label's own background), in the coordinates of `top`.
QList<int> inkColumns(QWidget* label, QWidget* top) {
    const QImage image = label->grab().toImage();
    const int background = qGray(image.pixel(0, 0));
    const int x0 = label->mapTo(top, QPoint(0, 0)).x();
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) * 2 < background) {
                columns << x0 + x;
                break;
            }
    return columns;
}

// Where a label paints the character at `index` of its text, in the coordinates of `top`.
qreal charX(QLabel* label, QWidget* top, int index) {
    const QFontMetricsF fm(label->font());
    const QPoint origin = label->mapTo(top, label->contentsRect().topLeft());
    return origin.x() + label->margin() + label->indent() + fm.horizontalAdvance(label->text().left(index));
}

struct Editor final : IChildWindow {
    void end() override { ++ended; }
    int ended = 0;
};

} // namespace

class MainWindowFaceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qputenv("ARTISCOPE_REGISTRY_DIR", QByteArray::fromStdString(registry_.path().string()));
        appState() = AppState{};
        appState().programFolder = "/opt/artiscope/";
        test::useCheckSettings(data_.folder());
        settings().artiQuelle = data_.folder();
    }

    void init() { appState().closeWithoutAsking = true; }

    // --- the template ---

    void everyControlByItsName() {
        PRUEF_WND logic;
        qt::PruefDialog dialog(logic);
        for (std::size_t i = 0; i < kControlCount; ++i) {
            const auto c = static_cast<Ctl>(i);
            const QString name = QString::fromLatin1(controlName(c));
            QWidget* found = dialog.findChild<QWidget*>(name);
            QVERIFY2(found, qPrintable(name));
            QCOMPARE(dialog.control(c), found);
            const char* kind = name.startsWith(QLatin1String("OCCPSH"))   ? "QPushButton"
                               : name.startsWith(QLatin1String("ODCCHK")) ? "QCheckBox"
                               : name.startsWith(QLatin1String("ODCTXT")) ? "QLabel"
                               : name.startsWith(QLatin1String("ODCFI"))  ? "QLabel"
                               : name == QLatin1String("ODCSLE1")         ? "QLineEdit"
                               : name == QLatin1String("ODCLISTVIEW1")    ? "QTreeWidget"
                                                                          : "QAbstractSlider";
            QVERIFY2(found->inherits(kind),
                     qPrintable(name + QLatin1String(" is no ") + QLatin1String(kind)));
        }
        auto* spinner = dialog.findChild<QAbstractSlider*>(QStringLiteral("ODCVSPIN1"));
        QCOMPARE(spinner->minimum(), 0);
        QCOMPARE(spinner->maximum(), 50);
        for (const char* arrow : {"ODCFI1", "ODCFI2", "ODCFI3"}) {
            auto* icon = dialog.findChild<QLabel*>(QLatin1String(arrow));
            QVERIFY2(!icon->pixmap().isNull(), arrow);
            QCOMPARE(icon->size(), QSize(32, 16));
        }
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ARTISCOPE-Inspector"));
    }

    void captionsAndTooltips_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tooltip");
        const auto row = [](const char* name, const char* caption, const char* tip) {
            QTest::newRow(name) << QString::fromLatin1(name) << u(caption) << u(tip);
        };
        row("OCCPSHDATEI", "Datei", "anderes Quell-Verzeichnis auswählen");
        row("OCCPSHABOUT", "Programminfo", "Informationen zur Programmumgebung");
        row("OCCPSHCANCEL", "Beenden", "Fenster schließen - Beenden");
        row("ODCTXT500", "F1-Taste = Hilfe", "");
        row("ODCCHK2", "Feld-Prüfung ein", "schaltet die Prüfung der einzelnen Feldinhalte ein / aus");
        row("ODCCHK3", "Fehler PopUp  ein", "schaltet das aufpoppen des Info/Fehlerfensters ein / aus");
        row("ODCCHK1", "ASCII = markiert / ANSI", "");
        row("OCCPSHBOF", "BOF", "an den Datei-Anfang");
        row("OCCPSHBACK", "<1", "1 Satz zurück");
        row("OCCPSHNEXT", ">1", "1 Satz vor");
        row("OCCPSHEOF", "EOF", "an das Datei-Ende");
        row("OCCPSHSTART", "Durchlauf Start", "Durchlauf starten");
        row("OCCPSHSTOP", "Stop", "Durchlauf beenden");
        row("OCCPSHPROT", "&Protokoll zeigen", "Zeigt das erstellte Protokoll der Prüfung");
        row("OCCPSHOK", "ausführen",
            "setzt den Dateizeiger auf den nächsten Datensatz hinter der eingegebenen Byte-Position");
        row("ODCCHK4", "List-Anzeige ein", "schaltet die Anzeige im Listview ein / aus");
        row("OCCPSHSYSTEM", "Systemeinstellung", "");
        row("OCCPSHVIEW", "Sequenz Darstellung", "");
        row("ODCCHK5", "ASCII-Zeichenprüfung aus",
            "schaltet die Prüfung für nicht erlaubte ASCII-Zeichen > Dez(127)  aus");
        row("ODCTXT501", "Doppelklick auf eine Zeile öffnet ein Detailfenster", "");
        row("ODCFIXEDTEXT1", "Verzögerung in 1/10 Sek.", "");
    }

    void captionsAndTooltips() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tooltip);
        PRUEF_WND logic;
        qt::PruefDialog dialog(logic);
        QWidget* w = dialog.findChild<QWidget*>(name);
        QVERIFY(w);
        const QString text = w->property("text").toString();
        QCOMPARE(text, caption);
        QCOMPARE(w->toolTip(), tooltip);

        // The logic's template captions are the same, so attaching changes nothing.
        test::FakeMessageBox box;
        test::FakeWindowServices pump;
        ServicesScope scope(&box, &pump);
        logic.INIT();
        logic.attachView(&dialog);
        dialog.applyPendingChanges();
        if (name.startsWith(QLatin1String("OCC")) || name.startsWith(QLatin1String("ODCCHK")) ||
            name == QLatin1String("ODCTXT500"))
            QCOMPARE(w->property("text").toString(), caption);
    }

    void labelsAndFrames() {
        PRUEF_WND logic;
        qt::PruefDialog dialog(logic);
        QStringList labels;
        for (const QLabel* l : dialog.findChildren<QLabel*>())
            labels << l->text();
        for (const char* text : {"Pfad der zu prüfenden Datei", "Info", "Datei-Länge", "Version",
                                 "Datum im Vorlaufsatz", "gelesener Satz", "aktuelle Byte-Position ",
                                 "Satzlänge", "Satzart", "Feld-Trennzeichen", "Satzfolge", "übergebeneFelder",
                                 "Datum-Bereich der Prüfung", "Währung", "Satzzahl (nicht 2000)",
                                 "erkannte Fehler", "auf den Satz hinter der eingegebenen Byte-Position"})
            QVERIFY2(labels.contains(u(text)), text);

        const auto frame = [&](const char* title) -> QGroupBox* {
            for (QGroupBox* g : dialog.findChildren<QGroupBox*>())
                if (g->title() == u(title)) return g;
            return nullptr;
        };
        QGroupBox* daten = frame("Daten-Information");
        QGroupBox* navigation = frame("Navigation");
        QVERIFY(daten && navigation);
        for (const Ctl c : {Ctl::ODCTXT200, Ctl::ODCTXT201, Ctl::ODCTXT50, Ctl::ODCTXT51, Ctl::ODCTXT52})
            QVERIFY2(daten->isAncestorOf(dialog.control(c)), controlName(c));
        for (const Ctl c :
             {Ctl::OCCPSHBOF, Ctl::OCCPSHBACK, Ctl::OCCPSHNEXT, Ctl::OCCPSHEOF, Ctl::ODCSLE1, Ctl::OCCPSHOK})
            QVERIFY2(navigation->isAncestorOf(dialog.control(c)), controlName(c));
    }

    void fonts() {
        PRUEF_WND logic;
        qt::PruefDialog dialog(logic);
        QCOMPARE(QFontInfo(dialog.font()).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(dialog.font().pointSize(), 8);
        for (const Ctl c : {Ctl::ODCTXT200, Ctl::ODCTXT201, Ctl::ODCTXT50, Ctl::ODCTXT51, Ctl::ODCTXT52}) {
            const QFontInfo info(dialog.control(c)->font());
            QCOMPARE(info.family(), QStringLiteral("Liberation Mono"));
            QCOMPARE(info.pointSize(), 9);
            QVERIFY(info.fixedPitch());
        }
    }

    // --- from the logic to the widgets ---

    void mirrorStatesReachTheWidgets() {
        Window win;
        ControlMirror& m = win.logic.controls;
        // INIT: no file yet, so the navigation is off and "Datei" on.
        QVERIFY(!win.w(Ctl::OCCPSHNEXT)->isEnabled());
        QVERIFY(win.w(Ctl::OCCPSHDATEI)->isEnabled());

        m.enable(Ctl::OCCPSHSTART);
        QVERIFY(win.w(Ctl::OCCPSHSTART)->isEnabled());
        m.disable(Ctl::OCCPSHSTART);
        QVERIFY(!win.w(Ctl::OCCPSHSTART)->isEnabled());

        // Arrows and record lines keep their place when hidden: nothing moves.
        QVERIFY(!win.w(Ctl::ODCFI1)->isHidden());
        QVERIFY(win.w(Ctl::ODCFI2)->isHidden());
        m.hide(Ctl::ODCFI1);
        m.show(Ctl::ODCFI3);
        QVERIFY(win.w(Ctl::ODCFI1)->isHidden());
        QVERIFY(!win.w(Ctl::ODCFI3)->isHidden());
        for (const Ctl c : {Ctl::ODCFI1, Ctl::ODCTXT51, Ctl::ODCTXT52})
            QVERIFY(win.w(c)->sizePolicy().retainSizeWhenHidden());

        m.check(Ctl::ODCCHK2);
        QVERIFY(win.w<QCheckBox>(Ctl::ODCCHK2)->isChecked());
        m.check(Ctl::ODCCHK2, false);
        QVERIFY(!win.w<QCheckBox>(Ctl::ODCCHK2)->isChecked());

        // Captions of buttons and check boxes and the entry's text change at once.
        m.setText(Ctl::ODCCHK3, "Fehler PopUp aus");
        QCOMPARE(win.w<QCheckBox>(Ctl::ODCCHK3)->text(), QStringLiteral("Fehler PopUp aus"));
        m.setText(Ctl::ODCSLE1, "4711");
        QCOMPARE(win.w<QLineEdit>(Ctl::ODCSLE1)->text(), QStringLiteral("4711"));

        win.show();
        m.enable(Ctl::ODCSLE1);
        m.focus(Ctl::ODCSLE1);
        QCOMPARE(win.dialog.focusWidget(), win.w(Ctl::ODCSLE1));
    }

    void displayTextsWaitForTheEventLoop() {
        Window win;
        ControlMirror& m = win.logic.controls;
        QCoreApplication::processEvents();
        // A run refreshes the counter per record: only the last text is painted.
        for (int i = 1; i <= 500; ++i)
            m.setText(Ctl::ODCTXT11, std::to_string(i));
        QVERIFY(win.shown(Ctl::ODCTXT11).isEmpty());
        QVERIFY(win.dialog.hasPendingChanges());
        QTRY_COMPARE(win.shown(Ctl::ODCTXT11), QStringLiteral("500"));
        QVERIFY(!win.dialog.hasPendingChanges());
        // Numbers are written when the display is painted, as the last one set.
        for (long long p = 1; p <= 500; ++p)
            m.setNumber(Ctl::ODCTXT12, p * 130, NumberShape::Picture);
        QVERIFY(win.dialog.hasPendingChanges());
        QTRY_COMPARE(win.shown(Ctl::ODCTXT12), QStringLiteral("           65.000"));

        // Engine text is Windows-1252 with CR LF line ends.
        m.setText(Ctl::ODCTXT1, utf8ToAnsi("/daten/Prüfdateien/ELDANORM.001"));
        m.setText(Ctl::ODCTXT10, utf8ToAnsi("Wählen Sie die Prüfart.\r\nAdressieren Sie ggf. direkt."));
        // A record line: control characters keep their column, the line end is not shown.
        m.setText(Ctl::ODCTXT50, std::string("A\x01") + "Kabelschuh f" + "\xFC" + "r 6 mm" + "\x9D" + "\r\n");
        win.dialog.applyPendingChanges();
        QCOMPARE(win.shown(Ctl::ODCTXT1), u("/daten/Prüfdateien/ELDANORM.001"));
        QCOMPARE(win.shown(Ctl::ODCTXT10), u("Wählen Sie die Prüfart.\nAdressieren Sie ggf. direkt."));
        QCOMPARE(win.shown(Ctl::ODCTXT50), u("A·Kabelschuh für 6 mm·"));

        // The second and third record lines come and go with the record's length: they too
        // wait for the event loop.
        m.hide(Ctl::ODCTXT52);
        QVERIFY(!win.w(Ctl::ODCTXT52)->isHidden());
        QTRY_VERIFY(win.w(Ctl::ODCTXT52)->isHidden());
        m.show(Ctl::ODCTXT52);
        m.hide(Ctl::ODCTXT52);
        m.show(Ctl::ODCTXT52);
        win.dialog.applyPendingChanges();
        QVERIFY(!win.w(Ctl::ODCTXT52)->isHidden());

        // Showing the window applies what is pending.
        m.setText(Ctl::ODCTXT12, "            1.300");
        win.show();
        QCOMPARE(win.shown(Ctl::ODCTXT12), QStringLiteral("            1.300"));
        // A long path does not widen the window.
        const int width = win.dialog.width();
        m.setText(Ctl::ODCTXT1, std::string(400, 'x'));
        win.dialog.applyPendingChanges();
        QCoreApplication::processEvents();
        QCOMPARE(win.dialog.width(), width);
    }

    void findingsList() {
        Window win;
        auto* list = win.w<QTreeWidget>(Ctl::ODCLISTVIEW1);
        // SETUP has created the seven columns of the findings list.
        QCOMPARE(list->columnCount(), 7);
        QStringList captions;
        for (int i = 0; i < 7; ++i)
            captions << list->headerItem()->text(i);
        QCOMPARE(captions, (QStringList{u("Inhalt"), u("FeldName"), u("Länge"), u("Typ"), u("M/K"),
                                        u("ab Pos"), u("Lfd.Nr")}));
        const qt::DialogUnits du(list->font());
        QVERIFY(list->columnWidth(0) >= du.chars(20));
        QVERIFY(list->columnWidth(1) >= du.chars(15));
        QVERIFY(list->columnWidth(0) < du.chars(26)); // about 20 characters, not "fit to contents"
        const QFontMetrics fm(list->header()->font());
        for (int i = 0; i < 7; ++i)
            QVERIFY(list->columnWidth(i) > fm.horizontalAdvance(captions[i]));
        // A wider window gives its spare width to "Inhalt" and "FeldName", not to the last column.
        std::array<int, 7> start{};
        for (int i = 0; i < 7; ++i)
            start[static_cast<std::size_t>(i)] = list->columnWidth(i);
        win.show();
        win.dialog.resize(win.dialog.width() + 400, win.dialog.height());
        QTRY_VERIFY(list->columnWidth(0) > start[0] + 100);
        QVERIFY(list->columnWidth(1) > start[1] + 100);
        for (int i = 2; i < 7; ++i)
            QCOMPARE(list->columnWidth(i), start[static_cast<std::size_t>(i)]);
        int total = 0;
        for (int i = 0; i < 7; ++i)
            total += list->columnWidth(i);
        QCOMPARE(total, list->viewport()->width());

        const ListRow first{"4011234567895", "EAN", "13", "N", "K", "12", "3", "extra", "more"};
        const ListRow second{
            utf8ToAnsi("Rohrschelle für Kupferrohr"), "Kurztext1", "40", "A", "M", "25", "4"};
        win.logic.FILLLISTVIEW({first, second});
        QCOMPARE(list->topLevelItemCount(), 0); // waits for the event loop like the displays
        QTRY_COMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(1)->text(0), u("Rohrschelle für Kupferrohr"));
        QCOMPARE(list->topLevelItem(0)->text(6), QStringLiteral("3"));
        QCOMPARE(list->topLevelItem(0)->textAlignment(2) & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
        QCOMPARE(list->topLevelItem(0)->textAlignment(3) & Qt::AlignHorizontal_Mask, int(Qt::AlignHCenter));
        QCOMPARE(list->topLevelItem(0)->textAlignment(0) & Qt::AlignHorizontal_Mask, int(Qt::AlignLeft));

        QVERIFY(!win.dialog.selectedListIndex());
        list->topLevelItem(0)->setSelected(true);
        // The row's place: what it stands for the logic knows.
        QCOMPARE(win.dialog.selectedListIndex(), std::optional<std::size_t>(0));

        // Emptying is seen at once.
        win.logic.controls.clearList();
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(!win.dialog.selectedListIndex());

        // A record's field table: its rows are made when the event loop paints them, from
        // the last table shown.
        static constexpr std::array<FieldDef, 2> kDefs{{
            {"Satzartkennzeichen", "1", "A", "M", "B", "F"},
            {"Mengeneinheit", "2", "N", "K", "01/11/12", "F"},
        }};
        FieldTable table;
        table.fillFixed(kDefs, "B11");
        win.logic.controls.showTable(table);
        table.fillFixed(kDefs, "B12");
        win.logic.controls.showTable(table);
        QTRY_COMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("12"));
        QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("Mengeneinheit"));
        QCOMPARE(list->topLevelItem(1)->text(5), QStringLiteral("2"));
        QCOMPARE(list->topLevelItem(1)->text(6), QStringLiteral("2"));
    }

    // --- fixed pitch: each record character under its column number ---

    void recordColumnsStandUnderTheirNumbers() {
        Window win;
        win.show();
        std::string record = "A";
        for (int i = 2; i <= 128; ++i)
            record += static_cast<char>('A' + (i * 7) % 26);
        win.logic.controls.setText(Ctl::ODCTXT50, record);
        win.dialog.applyPendingChanges();
        QLabel* columns = win.label(Ctl::ODCTXT200);
        QLabel* digits = win.label(Ctl::ODCTXT201);
        QLabel* line = win.label(Ctl::ODCTXT50);
        for (QLabel* l : {columns, digits, line}) {
            QCOMPARE(l->margin(), 0);
            QCOMPARE(l->indent(), 0);
            QVERIFY(l->alignment() & Qt::AlignLeft);
        }
        QCOMPARE(digits->text().size(), 100);
        const qreal cell = QFontMetricsF(line->font()).horizontalAdvance(QLatin1Char('0'));
        for (int col = 10; col <= 100; col += 10) {
            // Character `col` of the record stands over the digit ruler's "0".
            QCOMPARE(digits->text().at(col - 1), QLatin1Char('0'));
            QCOMPARE(charX(line, &win.dialog, col - 1), charX(digits, &win.dialog, col - 1));
        }
        for (int col = 10; col <= 120; col += 10) {
            // The "|" of each mark stands right behind its column.
            QCOMPARE(columns->text().at(col), QLatin1Char('|'));
            QCOMPARE(columns->text().mid(col + 1, QString::number(col).size()), QString::number(col));
            QCOMPARE(charX(columns, &win.dialog, col), charX(line, &win.dialog, col - 1) + cell);
        }
        QCOMPARE(line->text().size(), 128);
        QVERIFY(line->width() >= QFontMetricsF(line->font()).horizontalAdvance(line->text()));
    }

    void sameTextPaintsTheSameColumns() {
        Window win;
        win.show();
        // The record lines and the rulers put the same glyph on the same pixel columns.
        win.logic.controls.setText(Ctl::ODCTXT50, win.logic.controls.text(Ctl::ODCTXT201));
        win.logic.controls.setText(Ctl::ODCTXT51, win.logic.controls.text(Ctl::ODCTXT200));
        win.dialog.applyPendingChanges();
        const QList<int> digits = inkColumns(win.label(Ctl::ODCTXT201), &win.dialog);
        const QList<int> marks = inkColumns(win.label(Ctl::ODCTXT200), &win.dialog);
        QVERIFY(digits.size() > 300);
        QCOMPARE(inkColumns(win.label(Ctl::ODCTXT50), &win.dialog), digits);
        QCOMPARE(inkColumns(win.label(Ctl::ODCTXT51), &win.dialog), marks);
    }

    // --- from the user to the logic ---

    void checkBoxesEntryAndSpinner() {
        Window win;
        ControlMirror& m = win.logic.controls;
        win.show();
        for (const Ctl c : {Ctl::ODCCHK2, Ctl::ODCCHK3, Ctl::ODCCHK4}) {
            m.enable(c);
            m.check(c);
        }
        win.logic.fileReady(); // the guidance points at the option boxes
        win.click(Ctl::ODCCHK2);
        QVERIFY(!m.checked(Ctl::ODCCHK2));
        QCOMPARE(win.w<QCheckBox>(Ctl::ODCCHK2)->text(), u("Feld-Prüfung aus"));
        QVERIFY(win.w(Ctl::ODCFI2)->isHidden());
        QVERIFY(!win.w(Ctl::ODCFI3)->isHidden());
        win.click(Ctl::ODCCHK3);
        QCOMPARE(win.w<QCheckBox>(Ctl::ODCCHK3)->text(), u("Fehler PopUp aus"));
        win.click(Ctl::ODCCHK3);
        QVERIFY(m.checked(Ctl::ODCCHK3));
        QCOMPARE(win.w<QCheckBox>(Ctl::ODCCHK3)->text(), u("Fehler PopUp ein"));

        // Unticking the list display empties the list at once.
        win.logic.FILLLISTVIEW({{"a", "b", "1", "A", "M", "1", "1"}});
        win.dialog.applyPendingChanges();
        auto* list = win.w<QTreeWidget>(Ctl::ODCLISTVIEW1);
        QCOMPARE(list->topLevelItemCount(), 1);
        win.click(Ctl::ODCCHK4);
        QCOMPARE(list->topLevelItemCount(), 0);
        QCOMPARE(win.w<QCheckBox>(Ctl::ODCCHK4)->text(), u("List-Anzeige aus"));

        // Typing a byte position enables "ausführen"; emptying the entry disables it.
        m.enable(Ctl::ODCSLE1);
        auto* entry = win.w<QLineEdit>(Ctl::ODCSLE1);
        QTest::keyClicks(entry, QStringLiteral("390"));
        QCOMPARE(m.text(Ctl::ODCSLE1), std::string("390"));
        QVERIFY(win.w(Ctl::OCCPSHOK)->isEnabled());
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(entry, Qt::Key_Backspace);
        QCOMPARE(m.text(Ctl::ODCSLE1), std::string());
        QVERIFY(!win.w(Ctl::OCCPSHOK)->isEnabled());

        // The spinner counts up with its upper arrow, as an up-down control does, and its
        // value shows in the display beside it.
        auto* spinner = win.w<QScrollBar>(Ctl::ODCVSPIN1);
        QTest::mouseClick(spinner, Qt::LeftButton, {}, QPoint(spinner->width() / 2, 2));
        QTest::mouseClick(spinner, Qt::LeftButton, {}, QPoint(spinner->width() / 2, 2));
        QCOMPARE(spinner->value(), 2);
        QCOMPARE(m.text(Ctl::ODCTXT5), std::string("2"));
        QTest::mouseClick(spinner, Qt::LeftButton, {}, QPoint(spinner->width() / 2, spinner->height() - 3));
        QCOMPARE(m.text(Ctl::ODCTXT5), std::string("1"));
        spinner->setFocus();
        QTest::keyClick(spinner, Qt::Key_Up);
        QCOMPARE(m.text(Ctl::ODCTXT5), std::string("2"));
        QTRY_COMPARE(win.shown(Ctl::ODCTXT5), QStringLiteral("2"));
        // The logic setting the spinner is not reported back as a user change.
        m.setText(Ctl::ODCTXT5, "0");
        win.dialog.controlText(Ctl::ODCVSPIN1, "7");
        QCOMPARE(spinner->value(), 7);
        QCOMPARE(m.text(Ctl::ODCTXT5), std::string("0"));
    }

    void enterEscapeAndF1() {
        Window win;
        ControlMirror& m = win.logic.controls;
        win.show();
        win.dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&win.dialog));

        // Enter is "ausführen" even on a focused button: "Datei" (which would ask for a
        // file in a box) is not pressed. Without a file it has nothing to jump to.
        QVERIFY(!m.text(Ctl::ODCTXT10).empty());
        { std::ofstream(data_.folder() + "open.001") << "V"; }
        win.logic.run.source.attach(FOPEN(data_.folder() + "open.001"));
        m.enable(Ctl::ODCSLE1);
        win.w(Ctl::OCCPSHDATEI)->setFocus();
        QTest::keyClick(win.w(Ctl::OCCPSHDATEI), Qt::Key_Return);
        QVERIFY(win.box.shown.empty());
        QVERIFY(m.text(Ctl::ODCTXT10).empty());
        QCOMPARE(win.dialog.focusWidget(), win.w(Ctl::ODCSLE1));

        // F1 opens the main window's help page from the program folder.
        QTest::keyClick(win.w(Ctl::ODCSLE1), Qt::Key_F1);
        QCOMPARE(win.shell.opened, std::vector<std::string>{"open /opt/artiscope/ARTI_Inhalt.html"});
        win.shell.result = 2;
        win.box.expect(BoxButton::Ok);
        QTest::keyClick(&win.dialog, Qt::Key_F1);
        QCOMPARE(win.box.shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(win.box.shown[0].caption), u("Fehler bei Ausführung einer Datei"));

        // Esc during a run acts as "Beenden": the run is asked to stop.
        win.logic.run.LTURN_ = true;
        win.logic.LALLOWCLOSE_ = true;
        QTest::keyClick(&win.dialog, Qt::Key_Escape);
        QVERIFY(win.logic.run.stopRequest);
        QVERIFY(!win.logic.run.LTURN_);
        QVERIFY(win.dialog.isVisible());

        // "Beenden" outside a run asks before the window closes.
        appState().closeWithoutAsking = false;
        win.logic.LALLOWCLOSE_ = false;
        win.box.expect(BoxButton::No);
        win.click(Ctl::OCCPSHCANCEL);
        QCOMPARE(win.box.shown.back().text, std::string("Möchten Sie die Anwendung wirklich beenden ?"));
        QVERIFY(win.dialog.isVisible());
    }

    void doubleClickOnTheList() {
        Window win;
        win.show();
        Editor editor;
        test::FakeRecordViewers viewers;
        viewers.editor = &editor;
        ServicesScope installed(Services{.viewers = &viewers});
        const ListRow a{"V", "Satzart", "1", "A", "M", "1", "1"};
        const ListRow b{"0196", "Version", "4", "N", "M", "125", "15", "further"};
        win.logic.FILLLISTVIEW({a, b});
        win.dialog.applyPendingChanges();
        auto* list = win.w<QTreeWidget>(Ctl::ODCLISTVIEW1);
        const QPoint onB = list->visualItemRect(list->topLevelItem(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onB);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, onB);
        QCOMPARE(viewers.calls,
                 std::vector<std::string>{"open Version " + win.logic.run.recordType + " \xB7"});
        QVERIFY(win.logic.LFELD_);

        // Beside the rows nothing is selected: the logic asks why.
        const QPoint below(10, list->visualItemRect(list->topLevelItem(1)).bottom() + 30);
        win.box.expect(BoxButton::Ok);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(win.box.shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(win.box.shown[0].text), u("Warum klicken Sie in ein leeres Feld ?"));
        win.logic.FELDWNDCLOSE();
        QCOMPARE(editor.ended, 1);
    }

    // Every button of the check reaches its handler: a generated 01/96 file is chosen,
    // stepped, jumped in, run, stopped and its log shown.
    void buttonsDriveACheck() {
        test::TempDir folder;
        const std::string file = folder.folder() + "ELDANORM.001";
        gen::FileRecipe want;
        want.version = gen::Version::V0196;
        want.records = 400;
        want.types = "ABZ"; // no long texts: their table is not this test's business
        gen::Report report;
        std::string error;
        QVERIFY2(gen::generateFile(want, file, report, error), error.c_str());

        Window win;
        ControlMirror& m = win.logic.controls;
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
        win.show();
        win.dialogs.files.push_back(file);
        // The source folder in the "Info" box, then the header record as the first finding:
        // pop-ups are on after a file choice.
        win.box.expect(BoxButton::Ok).expect(BoxButton::Ok);
        win.click(Ctl::OCCPSHDATEI);
        QCOMPARE(win.dialogs.asked.size(), std::size_t{1});
        QCOMPARE(win.box.shown.size(), std::size_t{2});
        QCOMPARE(win.box.shown[0].caption, std::string("Info"));
        QCOMPARE(m.text(Ctl::ODCTXT3), std::string("0196"));
        QTRY_COMPARE(win.shown(Ctl::ODCTXT3), QStringLiteral("0196"));
        QVERIFY(win.w(Ctl::OCCPSHNEXT)->isEnabled());
        QVERIFY(!win.w(Ctl::ODCFI2)->isHidden());

        win.click(Ctl::ODCCHK3); // no pop-ups
        QVERIFY(!m.checked(Ctl::ODCCHK3));

        win.click(Ctl::OCCPSHNEXT);
        QCOMPARE(m.text(Ctl::ODCTXT11), std::string("2"));
        QCOMPARE(m.text(Ctl::ODCTXT14), std::string("K"));
        win.click(Ctl::OCCPSHNEXT);
        QCOMPARE(m.text(Ctl::ODCTXT11), std::string("3"));
        win.click(Ctl::OCCPSHBACK);
        QCOMPARE(m.text(Ctl::ODCTXT11), std::string("2"));
        win.click(Ctl::OCCPSHEOF);
        QVERIFY(!win.w(Ctl::OCCPSHNEXT)->isEnabled());
        win.click(Ctl::OCCPSHBOF);
        QCOMPARE(m.text(Ctl::ODCTXT14), std::string("V"));
        QTRY_COMPARE(win.shown(Ctl::ODCTXT11), QStringLiteral("1"));
        QCOMPARE(win.shown(Ctl::ODCTXT50).left(1), QStringLiteral("V"));

        // A jump: type the position, press Enter in the entry.
        QTest::keyClicks(win.w(Ctl::ODCSLE1), QStringLiteral("1300"));
        QTest::keyClick(win.w(Ctl::ODCSLE1), Qt::Key_Enter);
        QCOMPARE(m.text(Ctl::ODCTXT11), std::string("11")); // the record starting at 1300
        QCOMPARE(win.w<QLineEdit>(Ctl::ODCSLE1)->text(), QString());

        // "Stop" and Esc reach the logic while a run lets the event loop through; a
        // delay of one step keeps the run going long enough.
        auto* spinner = win.w<QScrollBar>(Ctl::ODCVSPIN1);
        QTest::mouseClick(spinner, Qt::LeftButton, {}, QPoint(spinner->width() / 2, 2));
        QCOMPARE(m.text(Ctl::ODCTXT5), std::string("1"));
        bool stopEnabledDuringRun = false;
        QTimer::singleShot(150, this, [&] {
            stopEnabledDuringRun = win.w(Ctl::OCCPSHSTOP)->isEnabled();
            win.click(Ctl::OCCPSHSTOP);
        });
        win.click(Ctl::OCCPSHSTART);
        QVERIFY(stopEnabledDuringRun);
        QVERIFY(win.logic.run.stopRequest);
        QVERIFY(!win.logic.run.LTURN_);
        QVERIFY(win.w(Ctl::OCCPSHSTART)->isEnabled());
        QVERIFY(std::stoul(m.text(Ctl::ODCTXT11)) < 100);

        QTimer::singleShot(150, this, [&] { QTest::keyClick(&win.dialog, Qt::Key_Escape); });
        win.click(Ctl::OCCPSHSTART);
        QVERIFY(!win.logic.run.LTURN_);
        QVERIFY(win.dialog.isVisible());
        QVERIFY(readFile(data_.folder() + "Error.log").find("Stop-Button geklickt") != std::string::npos);

        // A whole run without delay: afterwards every display is current.
        QTest::mouseClick(spinner, Qt::LeftButton, {}, QPoint(spinner->width() / 2, spinner->height() - 3));
        QCOMPARE(m.text(Ctl::ODCTXT5), std::string("0"));
        win.click(Ctl::OCCPSHBOF);
        win.click(Ctl::OCCPSHSTART);
        QVERIFY(!win.logic.run.LTURN_);
        QCoreApplication::processEvents();
        for (const Ctl c :
             {Ctl::ODCTXT11, Ctl::ODCTXT12, Ctl::ODCTXT13, Ctl::ODCTXT14, Ctl::ODCTXT10, Ctl::ODCTXT18})
            QCOMPARE(win.shown(c), fromAnsiForTest(m.text(c)));
        QVERIFY(
            win.shown(Ctl::ODCTXT10).startsWith(u("Durchlauf beendet: das Datei-Ende wurde erreicht.\n")));
        const auto* list = win.w<QTreeWidget>(Ctl::ODCLISTVIEW1);
        QCOMPARE(static_cast<std::size_t>(list->topLevelItemCount()), m.listRows().size());
        // The field table of the header, as the field checks list it, for the picture.
        if (m.listRows().empty())
            win.logic.FILLLISTVIEW(
                {{"V", "Satzart", "1", "A", "M", "1", "1"},
                 {"15012024", "Datum", "8", "N", "M", "2", "2"},
                 {utf8ToAnsi("Artikelstammdaten Großhandel"), "Text1", "40", "A", "K", "10", "3"},
                 {utf8ToAnsi("Preise in EUR ohne MwSt."), "Text2", "40", "A", "K", "50", "4"},
                 {"11000001", "Satzfolge", "8", "A", "M", "100", "5"},
                 {"0196", "Version", "4", "A", "M", "125", "6"}});
        win.dialog.applyPendingChanges();
        QVERIFY(test::saveScreenshot(win.dialog, QStringLiteral("main_window_face_windows.png")));
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QCoreApplication::processEvents();
        QVERIFY(test::saveScreenshot(win.dialog, QStringLiteral("main_window_face_fusion.png")));

        win.click(Ctl::OCCPSHPROT);
        QCOMPARE(win.shell.opened, std::vector<std::string>{"open " + data_.folder() + "Error.log"});
        QVERIFY(!win.w(Ctl::OCCPSHPROT)->isEnabled());
    }

    // --- shared services ---

    void paths() {
        // Paths: Windows-1252 where it has every character, UTF-8 otherwise.
        QCOMPARE(qt::toEnginePath(u("/daten/Prüfung €")), utf8ToAnsi("/daten/Prüfung €"));
        QCOMPARE(qt::toEnginePath(u("/daten/Проверка")), std::string("/daten/Проверка"));
        QCOMPARE(qt::fromEnginePath(utf8ToAnsi("/daten/Prüfung")), u("/daten/Prüfung"));
        QCOMPARE(qt::fromEnginePath("/daten/Проверка"), u("/daten/Проверка"));

        for (const char* image : {"PfeilGR", "SAFE", "RAUS", "VIRuduzov"})
            QVERIFY2(!qt::programImage(QLatin1String(image), QSize(32, 32)).isNull(), image);
        QVERIFY(qt::programImage(QStringLiteral("unbekannt"), QSize(32, 32)).isNull());
    }

    void dialogUnits() {
        const QFont font(QStringLiteral("Liberation Sans"), 8);
        const qt::DialogUnits du(font);
        const QFontMetrics fm(font);
        // Base units: the average letter width and the character height.
        QVERIFY(du.averageCharWidth() >= fm.averageCharWidth() - 1 &&
                du.averageCharWidth() <= fm.averageCharWidth() + 1);
        QCOMPARE(du.charHeight(), fm.height());
        QCOMPARE(du.x(4), du.averageCharWidth());
        QCOMPARE(du.y(8), du.charHeight());
        QCOMPARE(du.x(400), 100 * du.averageCharWidth());
        QCOMPARE(du.rect(4, 8, 8, 16), QRect(du.averageCharWidth(), du.charHeight(),
                                             2 * du.averageCharWidth(), 2 * du.charHeight()));
        QCOMPARE(du.chars(20), 20 * du.averageCharWidth());
        // Rounded to the nearest pixel, as MulDiv does.
        const qt::DialogUnits big(QFont(QStringLiteral("Liberation Sans"), 20));
        for (int d : {1, 3, 7, 13, 333})
            QCOMPARE(big.x(d), qRound(d * big.averageCharWidth() / 4.0));
    }

private:
    static QString fromAnsiForTest(const std::string& ansi) {
        QString s = qt::fromAnsi(ansi);
        s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return s;
    }

    test::TempDir registry_;
    test::TempDir data_;
};

QTEST_MAIN(MainWindowFaceTest)
#include "main_window_face_test.moc"
