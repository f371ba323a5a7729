#include "document/ResultGrid.h"

#include "common/Theme.h"
#include "document/ValueViewer.h"
#include "export/ResultExport.h"
#include "run/ResultModel.h"
#include "settings/Settings.h"
#include "settings/SettingsChanges.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>

#include <algorithm>
#include <climits>

namespace {

// Shows NULL cells greyed and in italics, apart from empty text.
class NullAwareDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(ResultModel::IsNullRole).toBool()) {
            option->font.setItalic(true);
            option->palette.setColor(QPalette::Text, themeColour(Theme::Role::NullText));
        }
    }
};

constexpr int kSampleRows = 400;   // rows measured at each end of the result
constexpr int kMarginPx = 23;      // the margin added to the widest text
constexpr int kMaxColumnPx = 640;  // a very long value does not push the rest away
} // namespace

ResultGrid::ResultGrid(QWidget* parent) : QTableView(parent), model_(new ResultModel(this)) {
    setModel(model_);
    model_->setNullText(settings::current().nullMarker());
    // a NULL marker changed in Options shows in grids already open
    connect(&settings::Changes::instance(), &settings::Changes::changed, this, [this] {
        const QString marker = settings::current().nullMarker();
        if (marker != model_->nullText()) model_->setNullText(marker);
    });
    setItemDelegate(new NullAwareDelegate(this));
    setWordWrap(false);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    // One style sheet for every colour: a widget's style sheet outweighs a palette set on it.
    Theme::instance().onChange(this, [this] {
        using Role = Theme::Role;
        setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; background-color: %2; "
                                     "alternate-background-color: %3; color: %4; }")
                          .arg(themeColour(Role::GridLine).name(), themeColour(Role::ResultPaper).name(),
                               themeColour(Role::ResultAlternatePaper).name(),
                               themeColour(Role::ResultText).name()));
    });
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { emit popupRequested(viewport()->mapToGlobal(p)); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &ResultGrid::cycleSort);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (editTriggers() & QAbstractItemView::DoubleClicked) return; // an editable grid edits the cell instead
        setCurrentIndex(index);
        openCurrentValue();
    });
    connect(model_, &QAbstractItemModel::modelReset, this, &ResultGrid::showSortIndicator);
    connect(model_, &ResultModel::sortingChanged, this, [this](bool sorting) {
        emit statusText(!sorting ? QString()
                        : model_->sortWaitsForRows() ? QStringLiteral("Sorted when all rows are in")
                                                     : QStringLiteral("Sorting…"));
    });
}

void ResultGrid::cycleSort(int column) {
    using grid::SortDirection;
    if (model_->sortColumn() != column) model_->sortBy(column, SortDirection::Ascending);
    else if (model_->sortDirection() == SortDirection::Ascending) model_->sortBy(column, SortDirection::Descending);
    else model_->sortBy(-1, SortDirection::Ascending);
    showSortIndicator();
}

void ResultGrid::showSortIndicator() {
    QHeaderView* header = horizontalHeader();
    const int column = model_->sortColumn();
    header->setSortIndicatorShown(column >= 0);
    if (column >= 0)
        header->setSortIndicator(column, model_->sortDirection() == grid::SortDirection::Ascending ? Qt::AscendingOrder
                                                                                                : Qt::DescendingOrder);
}

bool ResultGrid::findNext(const QString& text, bool forward, bool fromCurrent) {
    const QModelIndex cur = currentIndex();
    const grid::CellPosition from = cur.isValid() ? grid::CellPosition{cur.row(), cur.column()}
                                                  : grid::CellPosition{-1, 0};
    const auto found = model_->find(from, text, forward, fromCurrent);
    if (!found) return false;
    const QModelIndex at = model()->index(int(found->row), found->column); // the view's model: editing lays one over model_
    setCurrentIndex(at);
    scrollTo(at);
    return true;
}

void ResultGrid::openCurrentValue() {
    const QModelIndex cur = currentIndex();
    if (!cur.isValid()) return;
    const QVariant value = cur.data(ResultModel::FullTextRole);
    const QString column = model_->headerData(cur.column(), Qt::Horizontal, Qt::DisplayRole).toString();
    ValueViewer::show(this, column, value.isNull() ? std::nullopt : std::optional<QString>(value.toString()));
}

void ResultGrid::sizeColumns() {
    const int columns = model_->columnCount();
    const int rows = model_->rowCount();
    const QFontMetrics fm = fontMetrics();
    const QFontMetrics headerFm = horizontalHeader()->fontMetrics();
    for (int c = 0; c < columns - 1; ++c) {
        // room for the sort arrow beside the name
        int widest = headerFm.horizontalAdvance(model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) + 12;
        auto measure = [&](int r) {
            widest = std::max(widest, fm.horizontalAdvance(model_->data(model_->index(r, c), Qt::DisplayRole).toString()));
        };
        for (int r = 0; r < std::min(rows, kSampleRows); ++r) measure(r);
        for (int r = std::max(kSampleRows, rows - kSampleRows); r < rows; ++r) measure(r);
        setColumnWidth(c, std::min(widest + kMarginPx, kMaxColumnPx));
    }
}

void ResultGrid::widenColumns(int first, int count) {
    const int columns = model_->columnCount();
    const int last = std::min(model_->rowCount(), first + std::min(count, kSampleRows)) - 1;
    const QFontMetrics fm = fontMetrics();
    for (int c = 0; c < columns - 1; ++c) {
        int widest = 0;
        for (int r = std::max(0, first); r <= last; ++r)
            widest = std::max(widest, fm.horizontalAdvance(model_->data(model_->index(r, c), Qt::DisplayRole).toString()));
        const int wanted = std::min(widest + kMarginPx, kMaxColumnPx);
        if (wanted > columnWidth(c)) setColumnWidth(c, wanted);
    }
}

void ResultGrid::selectedRange(int& r1, int& r2, int& c1, int& c2) const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty()) {
        const QModelIndex cur = currentIndex().isValid() ? currentIndex() : model()->index(0, 0);
        r1 = r2 = cur.row();
        c1 = c2 = cur.column();
        return;
    }
    r1 = c1 = INT_MAX;
    r2 = c2 = -1;
    for (const QModelIndex& i : selected) {
        r1 = std::min(r1, i.row());
        r2 = std::max(r2, i.row());
        c1 = std::min(c1, i.column());
        c2 = std::max(c2, i.column());
    }
}

QString ResultGrid::selectionText() const {
    if (model_->rowCount() == 0 || model_->columnCount() == 0) return {};
    int r1, r2, c1, c2;
    selectedRange(r1, r2, c1, c2);
    return model_->selectionText(r1, r2, c1, c2);
}

QString ResultGrid::selectionText(exports::Format format, bool headers, const QString& table) const {
    if (model_->rowCount() == 0 || model_->columnCount() == 0) return {};
    int r1, r2, c1, c2;
    selectedRange(r1, r2, c1, c2);
    exports::ExportOptions options;
    options.header = headers;
    options.tableName = table;
    options.nullText = settings::current().text(settings::Key::ExportNullText);
    return exports::selectionText(*model_, exports::CellSelection::rectangle(r1, r2, c1, c2), format, options);
}

void ResultGrid::copySelection() {
    QApplication::clipboard()->clear();
    QApplication::clipboard()->setText(selectionText());
}

QString ResultGrid::currentCellText() const {
    const QModelIndex cur = currentIndex();
    return cur.isValid() ? model_->cellText(cur.row(), cur.column()) : QString();
}

void ResultGrid::keyPressEvent(QKeyEvent* e) {
    if (e->matches(QKeySequence::Copy)) {
        copySelection();
        return;
    }
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && e->modifiers() == Qt::ShiftModifier) {
        openCurrentValue();
        return;
    }
    QTableView::keyPressEvent(e);
}
