#pragma once
// The object browser's tree as a lazy item model: nodes live in one flat
// array (a child list per node, a key index for the whole tree), and the
// children of a folder, table or column are inserted in one step when they
// arrive from the catalogue. A 10,000-table folder is one insertion and no
// widget items; the view asks only for the rows it shows.
//
// Keys follow the browser's grammar (SchemaReader.h) and are unique: a node
// whose key is already in the tree is refused. Tables of one name in several
// schemas show as "schema.name"; text() stays the name.

#include "catalog/SchemaReader.h"
#include "catalog/StatementGenerator.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <vector>

enum class NodeKind {
    NoConnection,  // "[NO CONNECTION]"
    Root,          // "R": the provider
    CommonObjects, // "R2"
    SnippetGroup,  // "O" + group
    Snippet,       // "OO" + snippet key
    Catalog,       // "C" + catalogue
    Folder,        // "CCU|", "CCS|", "CCV|", "CCP|" + catalogue
    Table,         // "XXXXX|" + folder key + "|" + name (tables, system tables, views)
    Procedure,     // "ZZZZZ|" + folder key + "|" + name
    Column,        // "YYYYYY|" + table key + "|" + column
    FlatTable,     // "C" + table (single-database layout)
    FlatColumn,    // "ZZZZZZ|" + table key + "|" + column
    ColumnDetail,  // "QQQQQQQQQQS|" / "QQQQQQQQQQT|" + column key
};

class ObjectTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum class LoadState { Unread, Reading, Read };
    static constexpr int kTop = 0; // the invisible parent of the top-level nodes

    explicit ObjectTreeModel(QObject* parent = nullptr);

    void clear();
    // Adds one node; returns its id, or -1 when its key is already in the tree.
    int add(int parent, NodeKind kind, const QString& key, const QString& text, NodeImage image,
            NodeImage selectedImage = NodeImage::None, const QString& schema = QString());
    // Adds a filler's nodes under parent in one insertion; returns the keys
    // refused because they were already in the tree.
    QStringList addChildren(int parent, NodeKind kind, const std::vector<TreeNode>& nodes);

    int count() const { return int(nodes_.size()) - 1; }
    int findKey(const QString& key) const { return byKey_.value(key, -1); }
    QModelIndex indexOf(int id) const;
    int idOf(const QModelIndex& index) const { return index.isValid() ? int(index.internalId()) : kTop; }
    int parentOf(int id) const { return nodes_[size_t(id)].parent; }
    const std::vector<int>& childrenOf(int id) const { return nodes_[size_t(id)].children; }
    NodeKind kind(int id) const { return nodes_[size_t(id)].kind; }
    QString key(int id) const { return nodes_[size_t(id)].key; }
    QString text(int id) const { return nodes_[size_t(id)].text; }
    // The schema a table was listed with (a column's: its table's); empty
    // when the backend has none.
    QString schema(int id) const { return nodes_[size_t(id)].schema; }

    // Nodes whose children are read from the catalogue when first opened.
    bool opensFromCatalog(int id) const;
    LoadState loadState(int id) const { return nodes_[size_t(id)].state; }
    void setLoadState(int id, LoadState state);
    // What the node stands for, for statements.
    ObjectRef refOf(int id) const;
    void setToolTip(int id, const QString& tip);

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

signals:
    // The view wants the children of a node that has not been read yet
    // (it was expanded): the browser reads them.
    void readRequested(int id);

private:
    struct Node {
        QString key;
        QString text;
        QString schema;
        QString toolTip;
        NodeKind kind = NodeKind::Root;
        NodeImage image = NodeImage::None;
        NodeImage selectedImage = NodeImage::None;
        LoadState state = LoadState::Read;
        bool showSchema = false; // a sibling has the same name in another schema
        int parent = kTop;
        int row = 0;
        std::vector<int> children;
    };
    int append(int parent, NodeKind kind, const QString& key, const QString& text, NodeImage image,
               NodeImage selectedImage, const QString& schema);
    QIcon iconFor(const Node& n) const;

    std::vector<Node> nodes_;
    QHash<QString, int> byKey_;
    mutable QHash<int, QIcon> icons_; // by image pair
};
