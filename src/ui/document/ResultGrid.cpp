#include "document/ResultGrid.h"

#include "common/Theme.h"
#include "run/ResultModel.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QKeyEvent>

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
}

void ResultGrid::sizeColumns() {
    const int columns = model_->columnCount();
    const int rows = model_->rowCount();
    const QFontMetrics fm = fontMetrics();
    const QFontMetrics headerFm = horizontalHeader()->fontMetrics();
    for (int c = 0; c < columns - 1; ++c) {
        int widest = headerFm.horizontalAdvance(model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
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

QString ResultGrid::selectionText() const {
    if (model_->rowCount() == 0 || model_->columnCount() == 0) return {};
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty()) {
        const QModelIndex cur = currentIndex().isValid() ? currentIndex() : model_->index(0, 0);
        return model_->selectionText(cur.row(), cur.row(), cur.column(), cur.column());
    }
    int r1 = INT_MAX, r2 = -1, c1 = INT_MAX, c2 = -1;
    for (const QModelIndex& i : selected) {
        r1 = std::min(r1, i.row());
        r2 = std::max(r2, i.row());
        c1 = std::min(c1, i.column());
        c2 = std::max(c2, i.column());
    }
    return model_->selectionText(r1, r2, c1, c2);
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
    QTableView::keyPressEvent(e);
}
