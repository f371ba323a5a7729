#pragma once
// The object browser's tree view (private to the object browser). A
// right-button press does not move the selection (the pop-up menu acts on
// the node selected before); releasing a key reports it, so moving with the
// arrow keys opens each node reached; Enter on a node reports it for
// insertion.

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
