#include "app/qt/PruefDialog.h"

#include "core/Text.h"
#include "platform/qt/FontMetrics.h"
#include "platform/qt/QtServices.h"
#include "ui_Pruef_wnd.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <QWheelEvent>

#include <algorithm>
#include <string_view>

namespace arti::qt {

namespace {

std::size_t index(Ctl c) {
    return static_cast<std::size_t>(c);
}

// The rulers and the record lines: fixed pitch, one character per column.
constexpr std::array kRecordLines = {Ctl::ODCTXT200, Ctl::ODCTXT201, Ctl::ODCTXT50, Ctl::ODCTXT51,
                                     Ctl::ODCTXT52};
constexpr std::array kArrows = {Ctl::ODCFI1, Ctl::ODCFI2, Ctl::ODCFI3};

bool isRecordLine(Ctl c) {
    return std::find(kRecordLines.begin(), kRecordLines.end(), c) != kRecordLines.end();
}
bool isArrow(Ctl c) {
    return std::find(kArrows.begin(), kArrows.end(), c) != kArrows.end();
}

// The value displays and the width each needs, in average characters of the dialog font.
struct DisplayWidth {
    Ctl ctl;
    int chars;
};
constexpr std::array kDisplays = {
    DisplayWidth{Ctl::ODCTXT1, 40},  DisplayWidth{Ctl::ODCTXT2, 18},  DisplayWidth{Ctl::ODCTXT3, 7},
    DisplayWidth{Ctl::ODCTXT4, 11},  DisplayWidth{Ctl::ODCTXT17, 11}, DisplayWidth{Ctl::ODCTXT11, 11},
    DisplayWidth{Ctl::ODCTXT12, 18}, DisplayWidth{Ctl::ODCTXT13, 7},  DisplayWidth{Ctl::ODCTXT14, 4},
    DisplayWidth{Ctl::ODCTXT15, 11}, DisplayWidth{Ctl::ODCTXT16, 5},  DisplayWidth{Ctl::ODCTXT8, 4},
    DisplayWidth{Ctl::ODCTXT18, 7},  DisplayWidth{Ctl::ODCTXT6, 11},  DisplayWidth{Ctl::ODCTXT7, 11},
    DisplayWidth{Ctl::ODCTXT9, 6},   DisplayWidth{Ctl::ODCTXT5, 4}};

// Background of the value displays and of the record lines.
const QColor kDisplayBackground(0xFF, 0xFF, 0xE0);
const QColor kRecordBackground(Qt::white);
// "F1-Taste = Hilfe": dark red in a larger sans font.
const QColor kHintColour(0xA0, 0x10, 0x10);
constexpr int kHintPointSize = 12;

// Longest record line: 128 characters (version 2000 records are split at 128).
constexpr int kRecordColumns = 128;

// A record as its line shows it: without a final line end, every control character a
// raised dot, so that each character keeps its column.
QString recordText(const std::string& ansi) {
    std::string_view v(ansi);
    while (!v.empty() && (v.back() == '\n' || v.back() == '\r'))
        v.remove_suffix(1);
    QString s;
    s.reserve(static_cast<qsizetype>(v.size()));
    for (const char ch : v) {
        char32_t u = ansiToUnicode(static_cast<unsigned char>(ch));
        if (u < 0x20 || (u >= 0x7F && u < 0xA0)) u = 0x00B7;
        s.append(QChar(static_cast<char16_t>(u)));
    }
    return s;
}

Qt::Alignment alignmentOf(ListColumn::Align a) {
    switch (a) {
    case ListColumn::Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case ListColumn::Align::Centre:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case ListColumn::Align::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

void keepPlaceWhenHidden(QWidget* w) {
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}

} // namespace

PruefDialog::PruefDialog(PRUEF_WND& logic, QWidget* parent)
    : QDialog(parent), logic_(logic), ui_(std::make_unique<Ui::Pruef_wnd>()) {
    ui_->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
    findControls();
    styleControls();
    connectControls();

    applyTimer_.setSingleShot(true);
    applyTimer_.setInterval(0);
    connect(&applyTimer_, &QTimer::timeout, this, &PruefDialog::applyPendingChanges);

    installHelpKey(this, logic_.owner(), kHelpPage);
    resize(size().expandedTo(minimumSizeHint()));
    registerOwner(logic_.owner(), this);
}

PruefDialog::~PruefDialog() {
    unregisterOwner(logic_.owner());
}

void PruefDialog::findControls() {
    qt::findControls(this, controls_, &controlName);
    for (std::size_t i = 0; i < kControlCount; ++i)
        textWaits_[i] = qobject_cast<QLabel*>(controls_[i]) && !isArrow(static_cast<Ctl>(i));
}

void PruefDialog::styleControls() {
    const DialogUnits du(font());

    for (const Ctl c : kArrows) {
        auto* arrow = static_cast<QLabel*>(control(c));
        arrow->setPixmap(programImage(QStringLiteral("PfeilGR"), QSize(32, 16)));
        arrow->setFixedSize(32, 16);
        keepPlaceWhenHidden(arrow);
    }

    QFont mono(QStringLiteral("Liberation Mono"), 9);
    mono.setStyleHint(QFont::TypeWriter);
    mono.setFixedPitch(true);
    mono.setKerning(false);
    const QFontMetrics monoMetrics(mono);
    for (const Ctl c : kRecordLines) {
        auto* line = static_cast<QLabel*>(control(c));
        line->setFont(mono);
        line->setMinimumWidth(monoMetrics.horizontalAdvance(QString(kRecordColumns + 1, QLatin1Char('0'))));
        line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        line->setFixedHeight(monoMetrics.height() + 2);
        keepPlaceWhenHidden(line);
        if (c != Ctl::ODCTXT200 && c != Ctl::ODCTXT201) {
            QPalette p = line->palette();
            p.setColor(QPalette::Window, kRecordBackground);
            line->setPalette(p);
            line->setAutoFillBackground(true);
        }
    }

    for (const DisplayWidth& d : kDisplays) {
        auto* display = static_cast<QLabel*>(control(d.ctl));
        QPalette p = display->palette();
        p.setColor(QPalette::Window, kDisplayBackground);
        display->setPalette(p);
        display->setAutoFillBackground(true);
        // Long texts (a path, a number) must not widen the window.
        display->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        display->setMinimumWidth(du.chars(d.chars));
        display->setMinimumHeight(du.charHeight() + 6);
    }

    // The spinner's display stands in a row without stretch: its width is its own.
    auto* delay = static_cast<QLabel*>(control(Ctl::ODCTXT5));
    delay->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    delay->setFixedWidth(du.chars(4) + 6);

    auto* instruction = static_cast<QLabel*>(control(Ctl::ODCTXT10));
    instruction->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    instruction->setMinimumHeight(3 * du.charHeight() + 8);

    auto* hint = static_cast<QLabel*>(control(Ctl::ODCTXT500));
    QFont hintFont(font());
    hintFont.setPointSize(kHintPointSize);
    hint->setFont(hintFont);
    QPalette hp = hint->palette();
    hp.setColor(QPalette::WindowText, kHintColour);
    hint->setPalette(hp);

    // The spinner shows only its two arrows; its value stands in the display beside it.
    auto* spinner = static_cast<QScrollBar*>(control(Ctl::ODCVSPIN1));
    const int extent = spinner->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, spinner);
    spinner->setFixedSize(extent, 2 * extent + 2);
    spinner->installEventFilter(this);

    auto* list = ui_->ODCLISTVIEW1;
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    list->setMinimumWidth(du.chars(60));
    list->setMinimumHeight(10 * du.charHeight());
    list->viewport()->installEventFilter(this);
}

void PruefDialog::connectControls() {
    struct Handler {
        Ctl ctl;
        void (PRUEF_WND::*method)();
    };
    static constexpr std::array kButtons = {
        Handler{Ctl::OCCPSHDATEI, &PRUEF_WND::PSHDATEI},   Handler{Ctl::OCCPSHSTART, &PRUEF_WND::PSHSTART},
        Handler{Ctl::OCCPSHSTOP, &PRUEF_WND::PSHSTOP},     Handler{Ctl::OCCPSHNEXT, &PRUEF_WND::PSHNEXT},
        Handler{Ctl::OCCPSHBACK, &PRUEF_WND::PSHBACK},     Handler{Ctl::OCCPSHBOF, &PRUEF_WND::PSHBOF},
        Handler{Ctl::OCCPSHEOF, &PRUEF_WND::PSHEOF},       Handler{Ctl::OCCPSHOK, &PRUEF_WND::PSHOK},
        Handler{Ctl::OCCPSHPROT, &PRUEF_WND::PSHPROT},     Handler{Ctl::OCCPSHCANCEL, &PRUEF_WND::PSHCANCEL},
        Handler{Ctl::OCCPSHSYSTEM, &PRUEF_WND::PSHSYSTEM}, Handler{Ctl::OCCPSHABOUT, &PRUEF_WND::PSHABOUT},
        Handler{Ctl::OCCPSHVIEW, &PRUEF_WND::PSHVIEW},     Handler{Ctl::OCCPSHMELD, &PRUEF_WND::PSHMELD}};
    for (const Handler& h : kButtons) {
        auto* button = static_cast<QAbstractButton*>(control(h.ctl));
        connect(button, &QAbstractButton::clicked, this, [this, m = h.method] { (logic_.*m)(); });
    }

    for (const Ctl c : {Ctl::ODCCHK1, Ctl::ODCCHK2, Ctl::ODCCHK3, Ctl::ODCCHK4, Ctl::ODCCHK5}) {
        auto* box = static_cast<QAbstractButton*>(control(c));
        connect(box, &QAbstractButton::clicked, this, [this, c](bool on) {
            logic_.controls.userChecked(c, on);
            logic_.BUTTONCLICK(c);
        });
    }

    connect(ui_->ODCSLE1, &QLineEdit::textEdited, this, [this](const QString& text) {
        logic_.controls.userText(Ctl::ODCSLE1, toAnsi(text));
        logic_.EDITCHANGE();
    });

    auto* spinner = ui_->ODCVSPIN1;
    // An up-down control counts up with its upper arrow; a vertical scroll bar counts
    // down there. The slider lets its action be corrected before the value changes.
    connect(spinner, &QAbstractSlider::actionTriggered, this, [spinner](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            spinner->setSliderPosition(spinner->value() - spinner->singleStep());
            break;
        case QAbstractSlider::SliderSingleStepSub:
            spinner->setSliderPosition(spinner->value() + spinner->singleStep());
            break;
        case QAbstractSlider::SliderPageStepAdd:
            spinner->setSliderPosition(spinner->value() - spinner->pageStep());
            break;
        case QAbstractSlider::SliderPageStepSub:
            spinner->setSliderPosition(spinner->value() + spinner->pageStep());
            break;
        default:
            break;
        }
    });
    connect(spinner, &QAbstractSlider::valueChanged, this, [this](int value) {
        if (!settingSpinner_) logic_.VERTICALSPIN(value);
    });
}

// --- window ---

void PruefDialog::setCaption(const std::string& caption) {
    setWindowTitle(fromAnsi(caption));
}

WindowRect PruefDialog::geometry() const {
    const QRect frame = frameGeometry();
    return {frame.x(), frame.y(), frame.width(), frame.height()};
}

void PruefDialog::moveTo(int x, int y) {
    move(x, y);
}

void PruefDialog::bringToTop() {
    raise();
    activateWindow();
}

void PruefDialog::showModal(bool centred) {
    if (centred) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
    }
    applyPendingChanges();
    exec();
}

void PruefDialog::requestClose() {
    close();
}

void PruefDialog::closeEvent(QCloseEvent* event) {
    if (logic_.QUERYCLOSE()) {
        logic_.markClosed();
        event->accept();
        QDialog::done(QDialog::Rejected);
    } else {
        event->ignore();
    }
}

void PruefDialog::reject() {
    if (logic_.LALLOWCLOSE_) logic_.PSHCANCEL();
}

void PruefDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        logic_.PSHOK();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PruefDialog::showEvent(QShowEvent* event) {
    applyPendingChanges();
    QDialog::showEvent(event);
}

// Every column gets its starting width; what the view has beyond them goes to the two
// columns whose texts are long ("Inhalt" and "FeldName"), in the ratio of their widths.
void PruefDialog::spreadColumns() {
    auto* list = ui_->ODCLISTVIEW1;
    int total = 0;
    for (const int w : columnWidths_)
        total += w;
    const int spare = qMax(0, list->viewport()->width() - total);
    const int wide = columnWidths_.size() >= 2 ? columnWidths_[0] + columnWidths_[1] : 1;
    for (int i = 0; i < static_cast<int>(columnWidths_.size()); ++i) {
        int width = columnWidths_[static_cast<std::size_t>(i)];
        if (i == 0)
            width += spare * columnWidths_[0] / wide;
        else if (i == 1)
            width += spare - spare * columnWidths_[0] / wide;
        list->setColumnWidth(i, width);
    }
}

bool PruefDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* list = ui_->ODCLISTVIEW1;
    if (watched == list->viewport()) {
        if (event->type() == QEvent::Resize) spreadColumns();
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            // A click beside the rows leaves no row selected, as in a list view.
            if (!list->indexAt(mouse->position().toPoint()).isValid()) list->clearSelection();
            if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton)
                logic_.LISTVIEWMOUSEBUTTONDOUBLECLICK();
        }
    } else if (watched == ui_->ODCVSPIN1 && event->type() == QEvent::Wheel) {
        // The wheel turns the spinner as its arrows do: away from the user counts up.
        auto* spinner = ui_->ODCVSPIN1;
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta != 0) spinner->setValue(spinner->value() + (delta > 0 ? 1 : -1) * spinner->singleStep());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// --- controls ---

void PruefDialog::scheduleApply() {
    if (!applyTimer_.isActive()) applyTimer_.start();
}

void PruefDialog::controlText(Ctl c, const std::string& text) {
    const std::size_t i = index(c);
    if (!textWaits_[i]) {
        // The arrows show their image; buttons, boxes and the entry take a text at once.
        if (control(c) && !isArrow(c)) applyText(c, text);
        return;
    }
    // Labels show the mirror's text when the changes are applied.
    textPending_[i] = true;
    markDirty(c);
}

void PruefDialog::controlTextDue(Ctl c, const ControlMirror& mirror) {
    if (!textWaits_[index(c)]) return controlText(c, mirror.text(c));
    textPending_[index(c)] = true;
    markDirty(c);
}

void PruefDialog::markDirty(Ctl c) {
    const std::size_t i = index(c);
    if (dirty_[i]) return; // the apply timer runs since the control became dirty
    dirty_[i] = true;
    dirtyControls_.push_back(c);
    scheduleApply();
}

void PruefDialog::applyText(Ctl c, const std::string& text) {
    QWidget* w = control(c);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(isRecordLine(c) ? recordText(text) : displayText(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(displayText(text));
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        const QString t = fromAnsi(text);
        if (edit->text() != t) edit->setText(t);
    } else if (auto* spinner = qobject_cast<QScrollBar*>(w)) {
        if (const auto value = parseInteger(trim(text))) {
            settingSpinner_ = true;
            spinner->setValue(static_cast<int>(*value));
            settingSpinner_ = false;
        }
    }
}

void PruefDialog::applyPendingChanges() {
    applyTimer_.stop();
    for (const Ctl c : dirtyControls_) {
        const std::size_t i = index(c);
        dirty_[i] = false;
        if (textPending_[i]) {
            textPending_[i] = false;
            applyText(c, logic_.controls.text(c));
        }
        if (pendingShow_[i] != Show::Unchanged) {
            control(c)->setVisible(pendingShow_[i] == Show::Show);
            pendingShow_[i] = Show::Unchanged;
        }
    }
    dirtyControls_.clear();
    if (rowsDirty_) {
        rowsDirty_ = false;
        fillList(rowsFromMirror_ ? logic_.controls.listRows() : pendingRows_);
    }
}

void PruefDialog::controlEnabled(Ctl c, bool on) {
    if (QWidget* w = control(c)) w->setEnabled(on);
}

void PruefDialog::controlVisible(Ctl c, bool on) {
    QWidget* w = control(c);
    if (!w) return;
    if (isRecordLine(c)) {
        pendingShow_[index(c)] = on ? Show::Show : Show::Hide;
        markDirty(c);
        return;
    }
    w->setVisible(on);
}

void PruefDialog::controlChecked(Ctl c, bool on) {
    if (auto* button = qobject_cast<QAbstractButton*>(control(c))) button->setChecked(on);
}

void PruefDialog::controlFocus(Ctl c) {
    if (QWidget* w = control(c)) w->setFocus(Qt::OtherFocusReason);
}

// --- findings list ---

void PruefDialog::listColumns(const std::vector<ListColumn>& columns) {
    auto* list = ui_->ODCLISTVIEW1;
    list->setColumnCount(static_cast<int>(columns.size()));
    QStringList captions;
    for (const ListColumn& col : columns)
        captions << fromAnsi(col.caption);
    list->setHeaderLabels(captions);

    const DialogUnits du(list->font());
    const QFontMetrics headerMetrics(list->header()->font());
    const int padding = 2 * list->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, list) + 4;
    columnAlignments_.clear();
    columnWidths_.clear();
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        const ListColumn& col = columns[static_cast<std::size_t>(i)];
        // The width the logic asks for, but never narrower than the caption above it.
        columnWidths_.push_back(qMax(du.chars(col.widthChars), headerMetrics.horizontalAdvance(captions[i])) +
                                padding);
        columnAlignments_.push_back(alignmentOf(col.align));
        list->headerItem()->setTextAlignment(i, columnAlignments_.back());
    }
    spreadColumns();
    // Rows already shown take the new alignment.
    if (!shownRows_.empty()) fillList(std::vector<ListRow>(shownRows_));
}

void PruefDialog::listRows(const std::vector<ListRow>& rows) {
    if (rows.empty()) {
        // Emptying the list is cheap and must be seen at once.
        rowsDirty_ = false;
        pendingRows_.clear();
        fillList(rows);
        return;
    }
    // The rows of the logic's mirror stay as they are until the mirror gives new ones
    // through this call: they are read there when the event loop applies them, instead
    // of being copied for every record of a run that fills the list.
    rowsFromMirror_ = &rows == &logic_.controls.listRows();
    if (rowsFromMirror_)
        pendingRows_.clear();
    else
        pendingRows_ = rows;
    rowsDirty_ = true;
    scheduleApply();
}

void PruefDialog::listTableShown(const ControlMirror&) {
    // The rows are made from the mirror's table when the event loop applies them.
    rowsFromMirror_ = true;
    pendingRows_.clear();
    rowsDirty_ = true;
    scheduleApply();
}

void PruefDialog::fillList(const std::vector<ListRow>& rows) {
    auto* list = ui_->ODCLISTVIEW1;
    const int columns = qMin(list->columnCount(), static_cast<int>(columnAlignments_.size()));
    list->setUpdatesEnabled(false);
    list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const ListRow& row : rows) {
        auto* item = new QTreeWidgetItem;
        const int n = qMin(columns, static_cast<int>(row.size()));
        for (int i = 0; i < n; ++i) {
            item->setText(i, fromAnsi(row[static_cast<std::size_t>(i)]));
            item->setTextAlignment(i, columnAlignments_[static_cast<std::size_t>(i)]);
        }
        items << item;
    }
    list->addTopLevelItems(items);
    list->setUpdatesEnabled(true);
    shownRows_ = rows;
}

std::optional<std::size_t> PruefDialog::selectedListIndex() const {
    const auto* list = ui_->ODCLISTVIEW1;
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    const int row = list->indexOfTopLevelItem(selected.first());
    if (row < 0 || static_cast<std::size_t>(row) >= shownRows_.size()) return std::nullopt;
    return static_cast<std::size_t>(row);
}

} // namespace arti::qt
