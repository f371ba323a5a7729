#pragma once
// The object browser's tree view (private to the object browser). A
// right-button press makes the node under the pointer current without
// opening it, or leaves no node current off the nodes: the pop-up's
// commands act on the current node. Releasing a key reports it, so moving
// with the arrow keys opens each node reached; Enter on a node reports it
// for insertion.

#include <QTreeView>

class ObjectTree : public QTreeView {
    Q_OBJECT
public:
    explicit ObjectTree(QWidget* parent = nullptr);

signals:
    void keyReleased();
    void enterPressed(const QModelIndex& index);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
};
