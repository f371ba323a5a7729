#include "catalog/ObjectTreeModel.h"

#include "common/ResourceIcon.h"

#include <QSet>

namespace {

const char* iconFile(NodeImage image) {
    switch (image) {
    case NodeImage::Catalog:
        return ":/icons/database.svg";
    case NodeImage::Root:
        return ":/icons/obj-server.svg";
    case NodeImage::Folder:
        return ":/icons/obj-folder.svg";
    case NodeImage::FolderOpen:
        return ":/icons/obj-folder-open.svg";
    case NodeImage::Snippet:
        return ":/icons/obj-snippet.svg";
    case NodeImage::ColumnSize:
        return ":/icons/obj-size.svg";
    case NodeImage::ColumnType:
        return ":/icons/obj-type.svg";
    case NodeImage::Column:
        return ":/icons/obj-column.svg";
    case NodeImage::Table:
        return ":/icons/obj-table.svg";
    case NodeImage::OtherTable:
        return ":/icons/obj-table-other.svg";
    case NodeImage::None:
        break;
    }
    return nullptr;
}

} // namespace

ObjectTreeModel::ObjectTreeModel(QObject* parent) : QAbstractItemModel(parent) {
    nodes_.emplace_back();
}

void ObjectTreeModel::clear() {
    beginResetModel();
    nodes_.clear();
    nodes_.emplace_back();
    byKey_.clear(); // the filter stays: a rebuilt tree is filtered as it fills
    endResetModel();
}

int ObjectTreeModel::append(int parent, NodeKind kind, const QString& key, const QString& text,
                            NodeImage image, NodeImage selectedImage, const QString& schema) {
    Node n;
    n.key = key;
    n.text = text;
    n.schema = schema;
    n.kind = kind;
    n.image = image;
    n.selectedImage = selectedImage == NodeImage::None ? image : selectedImage;
    n.parent = parent;
    n.row = int(nodes_[size_t(parent)].children.size());
    n.state = LoadState::Read;
    n.passes = passesFilter(n);
    const int id = int(nodes_.size());
    if (filtering() && n.passes) {
        n.shownRow = int(nodes_[size_t(parent)].shown.size());
        nodes_[size_t(parent)].shown.push_back(id);
    }
    nodes_.push_back(std::move(n));
    nodes_[size_t(parent)].children.push_back(id);
    if (opensFromCatalog(id)) nodes_.back().state = LoadState::Unread;
    if (!key.isEmpty()) byKey_.insert(key, id);
    return id;
}

int ObjectTreeModel::add(int parent, NodeKind kind, const QString& key, const QString& text, NodeImage image,
                         NodeImage selectedImage, const QString& schema) {
    if (!key.isEmpty() && byKey_.contains(key)) return -1;
    Node probe;
    probe.kind = kind;
    probe.text = text;
    // rows under a hidden parent, or hidden rows, are not the view's business
    const bool visible = isShown(parent) && passesFilter(probe);
    const int row = int(rowsOf(nodes_[size_t(parent)]).size());
    if (visible) beginInsertRows(indexOf(parent), row, row);
    const int id = append(parent, kind, key, text, image, selectedImage, schema);
    if (visible) endInsertRows();
    return id;
}

QStringList ObjectTreeModel::addChildren(int parent, NodeKind kind, const std::vector<TreeNode>& nodes) {
    QStringList refused;
    std::vector<const TreeNode*> fresh;
    fresh.reserve(nodes.size());
    QSet<QString> seen;
    for (const TreeNode& n : nodes) {
        if (byKey_.contains(n.key) || seen.contains(n.key)) {
            refused << n.key;
            continue;
        }
        seen.insert(n.key);
        fresh.push_back(&n);
    }
    if (fresh.empty()) return refused;
    int visible = 0;
    if (isShown(parent)) {
        Node probe;
        probe.kind = kind;
        for (const TreeNode* n : fresh) {
            probe.text = n->text;
            visible += passesFilter(probe) ? 1 : 0;
        }
    }
    const int first = int(rowsOf(nodes_[size_t(parent)]).size());
    if (visible) beginInsertRows(indexOf(parent), first, first + visible - 1);
    nodes_.reserve(nodes_.size() + fresh.size());
    nodes_[size_t(parent)].children.reserve(size_t(first) + fresh.size());
    byKey_.reserve(byKey_.size() + qsizetype(fresh.size()));
    for (const TreeNode* n : fresh)
        append(parent, kind, n->key, n->text, n->image, NodeImage::None, n->schema);
    // names that appear in more than one schema are told apart by their schema
    QHash<QString, int> named;
    for (int child : nodes_[size_t(parent)].children) ++named[nodes_[size_t(child)].text];
    for (int child : nodes_[size_t(parent)].children) {
        Node& c = nodes_[size_t(child)];
        c.showSchema = !c.schema.isEmpty() && named.value(c.text) > 1;
    }
    if (visible) endInsertRows();
    return refused;
}

bool ObjectTreeModel::passesFilter(const Node& n) const {
    if (!filtering()) return true;
    switch (n.kind) {
    case NodeKind::Table:
    case NodeKind::Procedure:
    case NodeKind::FlatTable:
        return n.text.contains(filter_, Qt::CaseInsensitive);
    default:
        return true;
    }
}

void ObjectTreeModel::setFilter(const QString& text) {
    if (text == filter_) return;
    beginResetModel();
    filter_ = text;
    // parents come before their children in the array, so one pass in id
    // order fills every shown list in its children's order
    for (Node& n : nodes_) n.shown.clear();
    for (size_t id = 1; id < nodes_.size(); ++id) {
        Node& n = nodes_[id];
        n.passes = passesFilter(n);
        if (!filtering() || !n.passes) continue;
        Node& p = nodes_[size_t(n.parent)];
        n.shownRow = int(p.shown.size());
        p.shown.push_back(int(id));
    }
    endResetModel();
}

bool ObjectTreeModel::isShown(int id) const {
    if (!filtering()) return true;
    for (int p = id; p > kTop; p = nodes_[size_t(p)].parent)
        if (!nodes_[size_t(p)].passes) return false;
    return true;
}

QModelIndex ObjectTreeModel::indexOf(int id) const {
    if (id <= kTop || id >= int(nodes_.size()) || !isShown(id)) return {};
    const Node& n = nodes_[size_t(id)];
    return createIndex(filtering() ? n.shownRow : n.row, 0, quintptr(id));
}

bool ObjectTreeModel::opensFromCatalog(int id) const {
    switch (nodes_[size_t(id)].kind) {
    case NodeKind::Folder:
    case NodeKind::Table:
    case NodeKind::Column:
    case NodeKind::FlatTable:
    case NodeKind::FlatColumn:
        return true;
    default:
        return false;
    }
}

void ObjectTreeModel::setLoadState(int id, LoadState state) {
    Node& n = nodes_[size_t(id)];
    if (n.state == state) return;
    n.state = state;
    const QModelIndex i = indexOf(id);
    if (i.isValid()) emit dataChanged(i, i, {Qt::DecorationRole, Qt::ToolTipRole});
}

void ObjectTreeModel::setToolTip(int id, const QString& tip) {
    nodes_[size_t(id)].toolTip = tip;
    const QModelIndex i = indexOf(id);
    if (i.isValid()) emit dataChanged(i, i, {Qt::ToolTipRole});
}

ObjectRef ObjectTreeModel::refOf(int id) const {
    ObjectRef ref;
    if (id <= kTop || id >= int(nodes_.size())) return ref;
    const Node& n = nodes_[size_t(id)];
    // the catalogue of a node of the catalogue-server layout is its "C" ancestor
    auto catalogAbove = [this](int from) {
        for (int p = from; p > kTop; p = nodes_[size_t(p)].parent)
            if (nodes_[size_t(p)].kind == NodeKind::Catalog) return nodes_[size_t(p)].text;
        return QString();
    };
    switch (n.kind) {
    case NodeKind::Catalog:
        ref.kind = ObjectKind::Catalog;
        ref.catalog = n.text;
        break;
    case NodeKind::Table:
    case NodeKind::Procedure:
    case NodeKind::FlatTable:
        ref.kind = n.kind == NodeKind::Procedure ? ObjectKind::Procedure : ObjectKind::Table;
        ref.catalog = catalogAbove(id);
        ref.schema = n.schema;
        ref.table = n.text;
        break;
    case NodeKind::Column:
    case NodeKind::FlatColumn: {
        const Node& t = nodes_[size_t(n.parent)];
        if (t.kind != NodeKind::Table && t.kind != NodeKind::FlatTable) break; // a procedure's "columns"
        ref.kind = ObjectKind::Column;
        ref.catalog = catalogAbove(id);
        ref.schema = t.schema;
        ref.table = t.text;
        ref.column = n.text;
        break;
    }
    default:
        break;
    }
    return ref;
}

QModelIndex ObjectTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    const auto& children = rowsOf(nodes_[size_t(idOf(parent))]);
    if (row >= int(children.size())) return {};
    return createIndex(row, 0, quintptr(children[size_t(row)]));
}

QModelIndex ObjectTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    return indexOf(nodes_[size_t(idOf(child))].parent);
}

int ObjectTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    return int(rowsOf(nodes_[size_t(idOf(parent))]).size());
}

int ObjectTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool ObjectTreeModel::hasChildren(const QModelIndex& parent) const {
    const int id = idOf(parent);
    const Node& n = nodes_[size_t(id)];
    return !rowsOf(n).empty() || (id != kTop && n.state != LoadState::Read);
}

bool ObjectTreeModel::canFetchMore(const QModelIndex& parent) const {
    return parent.isValid() && nodes_[size_t(idOf(parent))].state == LoadState::Unread;
}

void ObjectTreeModel::fetchMore(const QModelIndex& parent) {
    if (canFetchMore(parent)) emit readRequested(idOf(parent));
}

QIcon ObjectTreeModel::iconFor(const Node& n) const {
    const int cacheKey = int(n.image) * 256 + int(n.selectedImage);
    auto it = icons_.constFind(cacheKey);
    if (it != icons_.constEnd()) return *it;
    QIcon icon;
    if (const char* normal = iconFile(n.image)) {
        icon.addFile(QString::fromLatin1(normal), QSize(), QIcon::Normal);
        if (const char* selected = iconFile(n.selectedImage))
            icon.addFile(QString::fromLatin1(selected), QSize(), QIcon::Selected);
    }
    icons_.insert(cacheKey, icon);
    return icon;
}

QVariant ObjectTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const Node& n = nodes_[size_t(idOf(index))];
    switch (role) {
    case Qt::DisplayRole:
        return n.showSchema ? n.schema + QLatin1Char('.') + n.text : n.text;
    case Qt::DecorationRole: {
        // the busy picture while the node's children are being read
        return n.state == LoadState::Reading ? common::resourceIcon(QStringLiteral("busy")) : iconFor(n);
    }
    case Qt::ToolTipRole:
        if (n.state == LoadState::Reading) return QStringLiteral("Reading...");
        if (!n.toolTip.isEmpty()) return n.toolTip;
        // tables of equal names in two schemas are told apart here
        return n.schema.isEmpty() ? QVariant() : QVariant(n.schema + QLatin1Char('.') + n.text);
    default:
        return {};
    }
}
