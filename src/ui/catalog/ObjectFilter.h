#pragma once
// The filter box above the object tree: what is typed narrows the tables,
// views and procedures shown to those whose name holds it (any case), at
// once as the text changes. The nodes the user expanded stay expanded
// through any change of the filter (those the filter hides open again when
// they show again); a rebuilt tree starts with nothing expanded.

#include <QSet>
#include <QWidget>

class ObjectTreeModel;
class QLineEdit;
class QTreeView;

class ObjectFilter : public QWidget {
    Q_OBJECT
public:
    ObjectFilter(QTreeView* tree, ObjectTreeModel* model, QWidget* parent = nullptr);

    QLineEdit* edit() const { return edit_; }
    // Applies text as if typed.
    void setText(const QString& text);

private:
    void apply(const QString& text);

    QTreeView* tree_;
    ObjectTreeModel* model_;
    QLineEdit* edit_;
    QSet<int> expanded_; // node ids
    bool applying_ = false;
};
