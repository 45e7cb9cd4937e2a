#include "views/qt/MeldDialog.h"

#include "core/Text.h"
#include "platform/qt/QtServices.h"
#include "views/qt/Template.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace arti::qt {

namespace {

QString number(std::uint64_t n) {
    return fromAnsi(groupedNumber(static_cast<long long>(n)));
}

} // namespace

// The groups as the logic lists them; the first column carries the bar.
class GroupModel final : public QAbstractTableModel {
public:
    explicit GroupModel(QObject* parent) : QAbstractTableModel(parent) {}
    void setRows(std::vector<GroupRow> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    const GroupRow* row(int r) const {
        return r >= 0 && r < rowCount() ? &rows_[static_cast<std::size_t>(r)] : nullptr;
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 5; }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        static const char* const kHeads[] = {"Anzahl", "Fehler", "Satzart", "Feld",
                                             "Erste Meldung der Gruppe"};
        if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 4) return {};
        return QString::fromUtf8(kHeads[section]);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const GroupRow* g = row(index.row());
        if (!g) return {};
        if (role == Qt::UserRole) return g->share;
        if (role == Qt::UserRole + 1) return g->errors > 0;
        if (role == Qt::ToolTipRole)
            return index.column() == 4 ? fromAnsi(g->example) : QString::fromLatin1(g->kind.c_str());
        if (role == Qt::TextAlignmentRole && index.column() <= 1)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole) return {};
        switch (index.column()) {
        case 0:
            return number(g->count);
        case 1:
            return number(g->errors);
        case 2:
            return fromAnsi(g->recordType);
        case 3:
            return g->field.empty() ? QStringLiteral("–") : fromAnsi(g->field);
        default:
            return fromAnsi(g->example);
        }
    }

private:
    std::vector<GroupRow> rows_;
};

// The findings: only the rows in view are ever asked for.
class FindingModel final : public QAbstractTableModel {
public:
    FindingModel(const MELD_WND& logic, QObject* parent) : QAbstractTableModel(parent), logic_(logic) {}
    void reset() {
        beginResetModel();
        cachedRow_ = -1;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(std::min<std::size_t>(logic_.findingCount(), INT_MAX));
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 4; }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        static const char* const kHeads[] = {"Satz", "Datei-Offset", "Satz-Offset", "Meldung"};
        if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 3) return {};
        return QString::fromUtf8(kHeads[section]);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::TextAlignmentRole && index.column() <= 2)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
        // The columns of a row are asked one after the other: the row is read once.
        if (cachedRow_ != index.row()) {
            cached_ = logic_.findingRow(static_cast<std::size_t>(index.row()));
            cachedRow_ = index.row();
        }
        if (role == Qt::ToolTipRole) return index.column() == 3 ? fromAnsi(cached_.text) : QVariant();
        switch (index.column()) {
        case 0:
            return fromAnsi(cached_.record);
        case 1:
            return fromAnsi(cached_.offset);
        case 2:
            return fromAnsi(cached_.position);
        default:
            return fromAnsi(cached_.text);
        }
    }

private:
    const MELD_WND& logic_;
    mutable int cachedRow_ = -1;
    mutable FindingRow cached_;
};

namespace {

// The count with a bar behind it, as long as the group's share of the largest group:
// groups with errors in a muted red, groups of notes in grey.
class BarDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const double share = index.data(Qt::UserRole).toDouble();
        const bool errors = index.data(Qt::UserRole + 1).toBool();
        QRect bar = option.rect.adjusted(2, 3, -2, -3);
        bar.setWidth(std::max(2, static_cast<int>(bar.width() * share)));
        painter->save();
        painter->fillRect(bar, errors ? QColor(0xE8, 0xA0, 0x98) : QColor(0xC8, 0xC8, 0xC8));
        painter->restore();
        QStyleOptionViewItem text(option);
        text.backgroundBrush = Qt::NoBrush;
        QStyledItemDelegate::paint(painter, text, index);
    }
};

QTableView* listView(const char* name, QAbstractItemModel* model, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    // Rows of one height: the view never measures the rows of a long list.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setStretchLastSection(true);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return view;
}

QPushButton* button(const char* name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

MeldDialog::MeldDialog(MELD_WND& logic, QWidget* parent)
    : QDialog(parent), logic_(logic), groupModel_(new GroupModel(this)),
      findingModel_(new FindingModel(logic, this)) {
    setWindowTitle(QStringLiteral("Meldungen im Überblick"));
    setFont(dialogFont());
    setModal(false);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("SUMMARY"));
    groups_ = listView("GROUPS", groupModel_, this);
    groups_->setItemDelegateForColumn(0, new BarDelegate(groups_));
    const int digit = groups_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (const auto& [column, digits] :
         {std::pair{0, 18}, std::pair{1, 10}, std::pair{2, 8}, std::pair{3, 6}})
        groups_->setColumnWidth(column, digit * digits);
    listCaption_ = new QLabel(this);
    listCaption_->setObjectName(QStringLiteral("LISTCAPTION"));
    findings_ = listView("FINDINGS", findingModel_, this);
    for (const auto& [column, digits] : {std::pair{0, 10}, std::pair{1, 14}, std::pair{2, 12}})
        findings_->setColumnWidth(column, digit * digits);

    all_ = button("PSHALLE", QStringLiteral("&Alle Meldungen"), this);
    auto* toRecord = button("PSHSATZ", QStringLiteral("&Zum Satz"), this);
    toRecord->setToolTip(QStringLiteral("Zeigt im Prüffenster den Satz der gewählten Meldung oder der ersten "
                                        "Meldung der gewählten Gruppe (auch durch Doppelklick)"));
    auto* close = button("PSHCANCEL", QStringLiteral("Schließen"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(all_);
    buttons->addWidget(toRecord);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(groups_, 2);
    layout->addWidget(listCaption_);
    layout->addWidget(findings_, 3);
    layout->addLayout(buttons);
    resize(digit * 150, groups_->fontMetrics().height() * 40);

    connect(groups_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { groupChosen(); });
    connect(groups_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { logic_.groupActivated(static_cast<std::size_t>(i.row())); });
    connect(findings_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { logic_.findingActivated(static_cast<std::size_t>(i.row())); });
    connect(all_, &QPushButton::clicked, this, [this] { logic_.chooseGroup(std::nullopt); });
    connect(toRecord, &QPushButton::clicked, this, [this] { goToRecord(); });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    installHelpKey(this, logic_.owner(), "ARTI_Inhalt.html");
    registerOwner(logic_.owner(), this);
    logic_.attachView(this);
}

MeldDialog::~MeldDialog() {
    logic_.attachView(nullptr);
    unregisterOwner(logic_.owner());
}

void MeldDialog::showSummary(const std::string& text) {
    summary_->setText(fromAnsi(text));
}

void MeldDialog::showGroups(const std::vector<GroupRow>& rows) {
    marking_ = true;
    groupModel_->setRows(rows);
    marking_ = false;
}

void MeldDialog::markGroup(std::optional<std::size_t> row) {
    marking_ = true;
    if (row) {
        groups_->selectRow(static_cast<int>(*row));
    } else {
        groups_->setCurrentIndex({});
        groups_->clearSelection();
    }
    marking_ = false;
}

void MeldDialog::showFindings(std::size_t, const std::string& caption) {
    listCaption_->setText(fromAnsi(caption));
    findingModel_->reset();
}

void MeldDialog::enableAll(bool on) {
    all_->setEnabled(on);
}

void MeldDialog::groupChosen() {
    if (marking_) return;
    const QModelIndex current = groups_->currentIndex();
    if (current.isValid()) logic_.chooseGroup(static_cast<std::size_t>(current.row()));
}

void MeldDialog::goToRecord() {
    const QModelIndex finding = findings_->currentIndex();
    if (finding.isValid()) {
        logic_.findingActivated(static_cast<std::size_t>(finding.row()));
    } else if (const QModelIndex group = groups_->currentIndex(); group.isValid()) {
        logic_.groupActivated(static_cast<std::size_t>(group.row()));
    }
}

} // namespace arti::qt
