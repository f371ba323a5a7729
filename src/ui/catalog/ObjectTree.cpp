#include "catalog/ObjectTree_p.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

ObjectTree::ObjectTree(QWidget* parent) : QTreeView(parent) {
    setObjectName(QStringLiteral("objectTree"));
    setHeaderHidden(true);
    setUniformRowHeights(true); // constant-time layout of folders with thousands of rows
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setIconSize(QSize(16, 16));
}

void ObjectTree::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        // the pop-up acts on what is under the pointer: mark it, read nothing
        const QModelIndex under = indexAt(e->position().toPoint());
        if (under.isValid()) {
            setCurrentIndex(under);
        } else {
            clearSelection();
            setCurrentIndex(QModelIndex());
        }
        return;
    }
    QTreeView::mousePressEvent(e);
}

void ObjectTree::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) return;
    QTreeView::mouseReleaseEvent(e);
}

void ObjectTree::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit enterPressed(currentIndex());
        e->accept();
        return;
    }
    QTreeView::keyPressEvent(e);
}

void ObjectTree::keyReleaseEvent(QKeyEvent* e) {
    QTreeView::keyReleaseEvent(e);
    if (!e->isAutoRepeat()) emit keyReleased();
}
