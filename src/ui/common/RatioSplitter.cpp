#include "common/RatioSplitter.h"

#include <QResizeEvent>

#include <algorithm>
#include <cmath>

RatioSplitter::RatioSplitter(Qt::Orientation orientation, QWidget* parent) : QSplitter(orientation, parent) {
    setChildrenCollapsible(true);
    setHandleWidth(5);
    connect(this, &QSplitter::splitterMoved, this, [this] {
        if (applying_) return;
        const QList<int> s = sizes();
        const int total = s.size() == 2 ? s[0] + s[1] : 0;
        if (total > 0) ratio_ = double(s[0]) / total;
    });
}

void RatioSplitter::setRatioFromTop(double ratio) {
    ratio_ = std::clamp(ratio, 0.0, 1.0);
    apply();
}

void RatioSplitter::apply() {
    if (count() != 2) return;
    const int total = std::max(1, (orientation() == Qt::Vertical ? height() : width()) - handleWidth());
    const int first = int(std::lround(total * ratio_));
    applying_ = true;
    setSizes({first, total - first});
    applying_ = false;
}

void RatioSplitter::resizeEvent(QResizeEvent* e) {
    QSplitter::resizeEvent(e);
    apply();
}

void RatioSplitter::showEvent(QShowEvent* e) {
    QSplitter::showEvent(e);
    apply();
}
