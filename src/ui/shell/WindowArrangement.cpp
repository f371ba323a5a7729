#include "shell/WindowArrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>

void arrangeSubWindows(QMdiArea* mdi, WindowCommand how) {
    const QList<QMdiSubWindow*> windows = mdi->subWindowList();
    if (windows.isEmpty()) return;
    if (how == WindowCommand::Cascade) {
        mdi->cascadeSubWindows();
        return;
    }
    if (how == WindowCommand::ArrangeIcons) { // minimised windows in a row along the bottom
        int x = 0;
        for (QMdiSubWindow* w : windows)
            if (w->isMinimized()) {
                w->move(x, mdi->viewport()->height() - w->height());
                x += w->width();
            }
        return;
    }
    QList<QMdiSubWindow*> open;
    for (QMdiSubWindow* w : windows)
        if (!w->isMinimized()) open << w;
    if (open.isEmpty()) return;
    const QRect area = mdi->viewport()->rect();
    const int n = int(open.size());
    for (int i = 0; i < n; ++i) {
        open[i]->showNormal();
        if (how == WindowCommand::TileHorizontal) { // horizontal bands, one above the other
            const int h = area.height() / n;
            open[i]->setGeometry(0, i * h, area.width(), h);
        } else { // vertical columns side by side
            const int w = area.width() / n;
            open[i]->setGeometry(i * w, 0, w, area.height());
        }
    }
}

