#include "common/PanelStatusBar.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>

PanelStatusBar::PanelStatusBar(int panels, int stretchPanel, QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    for (int i = 1; i <= panels; ++i) {
        auto* l = new QLabel(this);
        l->setObjectName(QStringLiteral("panel%1").arg(i));
        l->setContentsMargins(6, 0, 6, 0);
        l->installEventFilter(this);
        l->setTextInteractionFlags(Qt::NoTextInteraction);
        addPermanentWidget(l, i == stretchPanel ? 1 : 0);
        panels_ << l;
    }
}

QLabel* PanelStatusBar::panel(int p) const { return p >= 1 && p <= panels_.size() ? panels_[p - 1] : nullptr; }

void PanelStatusBar::setPanelText(int p, const QString& text) {
    if (QLabel* l = panel(p)) l->setText(text);
}

QString PanelStatusBar::panelText(int p) const { return panel(p) ? panel(p)->text() : QString(); }

void PanelStatusBar::setPanelToolTip(int p, const QString& tip) {
    if (QLabel* l = panel(p)) l->setToolTip(tip);
}

void PanelStatusBar::setPanelIcon(int p, const QIcon& icon) {
    if (QLabel* l = panel(p)) l->setPixmap(icon.pixmap(14, 14));
}

void PanelStatusBar::setPanelMinimumWidth(int p, int pixels) {
    if (QLabel* l = panel(p)) l->setMinimumWidth(pixels);
}

bool PanelStatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick)
        for (int i = 0; i < panels_.size(); ++i)
            if (panels_[i] == watched) emit panelDoubleClicked(i + 1);
    return QStatusBar::eventFilter(watched, event);
}
