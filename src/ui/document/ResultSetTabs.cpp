#include "document/ResultSetTabs.h"

#include "base/Memory.h"
#include "document/GridFilterBar.h"
#include "document/ResultGrid.h"
#include "run/ResultModel.h"

#include <QTabBar>
#include <QVBoxLayout>

namespace {
constexpr int kWidenIntervalMs = 1000; // how often a streaming grid widens its columns
constexpr int kLastRowsSample = 400;   // rows at the end measured when a run finishes
} // namespace

ResultSetTabs::ResultSetTabs(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("resultSets"));
    setDocumentMode(true);
    setTabPosition(QTabWidget::South);
    setTabBarAutoHide(true);
    addSetTab();
    connect(this, &QTabWidget::currentChanged, this, [this](int set) {
        if (ResultGrid* g = grid(set))
            emit statusText(g->resultModel()->sorting() ? QStringLiteral("Sorting…") : QString());
    });
}

int ResultSetTabs::addSetTab() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* g = new ResultGrid(page);
    auto* bar = new GridFilterBar(g->resultModel(), page);
    g->setObjectName(count() == 0 ? QStringLiteral("resultGrid") : QStringLiteral("resultGrid%1").arg(count() + 1));
    layout->addWidget(bar);
    layout->addWidget(g, 1);
    page->setFocusProxy(g);
    const int set = addTab(page, QString());
    states_.emplace_back();
    connect(g, &ResultGrid::statusText, this, [this, g](const QString& text) {
        if (g == currentGrid()) emit statusText(text);
    });
    connect(g, &ResultGrid::statusText, bar, &GridFilterBar::setActivity); // each set says it beside its count
    connect(g, &ResultGrid::popupRequested, this, &ResultSetTabs::popupRequested);
    connect(bar, &GridFilterBar::rowsTextChanged, this, [this, page] { updateTitle(indexOf(page)); });
    updateTitle(set);
    return set;
}

ResultGrid* ResultSetTabs::grid(int set) const {
    QWidget* page = widget(set);
    return page ? page->findChild<ResultGrid*>() : nullptr;
}

GridFilterBar* ResultSetTabs::filterBar(int set) const {
    QWidget* page = widget(set);
    return page ? page->findChild<GridFilterBar*>() : nullptr;
}

void ResultSetTabs::clear() {
    bool large = false;
    while (count() > 1) {
        QWidget* page = widget(count() - 1);
        large = large || grid(count() - 1)->resultModel()->memoryUse() > (size_t(1) << 20);
        removeTab(count() - 1);
        delete page;
        states_.pop_back();
    }
    ResultModel* first = grid(0)->resultModel();
    large = large || first->memoryUse() > (size_t(1) << 20);
    first->clear();
    filterBar(0)->clear();
    states_[0] = SetState{};
    started_ = 0;
    updateTitle(0);
    setCurrentIndex(0);
    if (large) base::releaseFreed();
}

void ResultSetTabs::startSet(const std::vector<db::Field>& fields) {
    const int set = started_ == 0 ? 0 : addSetTab();
    ++started_;
    filterBar(set)->clear();
    grid(set)->resultModel()->reset(fields);
    states_[size_t(set)] = SetState{};
    updateTitle(set);
}

void ResultSetTabs::appendRows(const std::shared_ptr<db::RowBlock>& rows) {
    const int set = std::max(0, started_ - 1);
    ResultGrid* g = grid(set);
    SetState& state = states_[size_t(set)];
    const int first = g->resultModel()->rowCount();
    g->resultModel()->appendRows(rows);
    // Size the columns from the first rows while the rest arrive; widen
    // them now and then from a sample of what came since.
    if (!state.sized) {
        g->sizeColumns();
        state.sized = true;
        state.sinceWidened.start();
        updateTitle(set);
    } else if (state.sinceWidened.elapsed() > kWidenIntervalMs) {
        g->widenColumns(first, rows->rowCount());
        state.sinceWidened.restart();
        updateTitle(set);
    }
}

void ResultSetTabs::finish() {
    for (int set = 0; set < count(); ++set) {
        ResultGrid* g = grid(set);
        ResultModel* model = g->resultModel();
        model->finishRows();
        if (states_[size_t(set)].sized) // widen for the last rows; never narrow what the user has been looking at
            g->widenColumns(std::max(0, model->rowCount() - kLastRowsSample), kLastRowsSample);
        else
            g->sizeColumns();
        updateTitle(set);
    }
}

void ResultSetTabs::updateTitle(int set) {
    if (set < 0 || set >= count()) return;
    setTabText(set, QStringLiteral("Result %1 (%2)").arg(set + 1).arg(grid(set)->resultModel()->rowsShownText()));
}
