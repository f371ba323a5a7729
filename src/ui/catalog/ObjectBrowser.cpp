#include "catalog/ObjectBrowser.h"

#include "assist/CatalogCache.h"
#include "base/Background.h"
#include "catalog/DatabaseChooser.h"
#include "catalog/NodeKey.h"
#include "catalog/ObjectFilter.h"
#include "catalog/ObjectTree_p.h"
#include "common/Dialogs.h"
#include "common/DocumentContext.h"
#include "common/Theme.h"
#include "editor/SqlEditor.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {

const QString kListsTrailer = QStringLiteral(
    "\r\n\r\nThe object list is incomplete. Check the connection, then use Refresh to read it again.");

// The four folders of a catalogue, in tree order.
struct FolderSpec {
    const char* prefix;
    const char* caption;
};
constexpr FolderSpec kFolders[] = {
    {"CCU|", "User Tables"}, {"CCS|", "System Tables"}, {"CCV|", "Views"}, {"CCP|", "Procedures"}};

// The catalogue read that gives the children of a node, by the key grammar;
// schema is the one the node (or its table) was listed with.
NodeList readNode(NodeKind kind, const QString& cs, const QString& key, const QString& text, const QString& schema) {
    switch (kind) {
    case NodeKind::Folder: {
        const QString letter = key.mid(2, 1); // "CCU|…": U, S, V or P
        return letter == QLatin1String("P") ? catalog::addProcedureNodes(cs, key, letter)
                                            : catalog::addTableNodes(cs, key, letter);
    }
    case NodeKind::Table:
        return catalog::addColumnNodes(cs, key, schema);
    case NodeKind::Column:
        return catalog::addColumnInfoNodes(cs, key, text, schema);
    case NodeKind::FlatTable:
        return catalog::addFlatColumnNodes(cs, key, schema);
    case NodeKind::FlatColumn:
        return catalog::addFlatColumnInfoNodes(cs, key, text, schema);
    default:
        return {};
    }
}

NodeKind childKind(NodeKind kind, const QString& key) {
    switch (kind) {
    case NodeKind::Folder:
        return key.mid(2, 1) == QLatin1String("P") ? NodeKind::Procedure : NodeKind::Table;
    case NodeKind::Table:
        return NodeKind::Column;
    case NodeKind::FlatTable:
        return NodeKind::FlatColumn;
    default:
        return NodeKind::ColumnDetail;
    }
}

} // namespace

ObjectBrowser::ObjectBrowser(DocumentContext& context, SqlEditor* editor, QComboBox* chooser, QWidget* parent)
    : QWidget(parent), context_(context), editor_(editor) {
    setObjectName(QStringLiteral("objectBrowser"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    tree_ = new ObjectTree(this);
    model_ = new ObjectTreeModel(this);
    tree_->setModel(model_);
    failure_ = new QLabel(this);
    failure_->setObjectName(QStringLiteral("objectReadFailure"));
    failure_->setWordWrap(true);
    failure_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Theme::setTextRole(failure_, Theme::Role::FailureText);
    failure_->hide();
    busyBar_ = new QProgressBar(this);
    busyBar_->setObjectName(QStringLiteral("objectBusyBar"));
    busyBar_->setRange(0, 0); // indeterminate
    busyBar_->setTextVisible(false);
    busyBar_->setMaximumHeight(5);
    busyBar_->hide();
    filter_ = new ObjectFilter(tree_, model_, this);
    layout->addWidget(filter_);
    layout->addWidget(tree_, 1);
    layout->addWidget(failure_);
    layout->addWidget(busyBar_);

    chooser_ = new DatabaseChooser(context_, chooser, this);
    connect(chooser_, &DatabaseChooser::message, this, &ObjectBrowser::databaseMessage);
    connect(chooser_, &DatabaseChooser::tableChosen, this, &ObjectBrowser::showTable);
    connect(chooser_, &DatabaseChooser::databaseChanged, this, [this](const QString& database) {
        CatalogCache::forgetEverywhere(context_.connectionString()); // completion reads the new database's names
        emit statusText(DatabasePanel, database);
        if (!providerName_.isEmpty()) setCaption(providerName_ + QStringLiteral(" - ") + database);
    });
    // a choice made, typing goes on in the script
    connect(chooser, &QComboBox::activated, this, [this] {
        if (editor_) editor_->setFocus();
    });

    connect(tree_, &QTreeView::clicked, this, [this](const QModelIndex& i) { openNode(model_->idOf(i)); });
    connect(tree_, &ObjectTree::keyReleased, this, [this] {
        if (tree_->currentIndex().isValid()) openNode(model_->idOf(tree_->currentIndex()));
    });
    connect(tree_, &QTreeView::doubleClicked, this,
            [this](const QModelIndex& i) { insertSnippet(model_->idOf(i)); });
    connect(tree_, &ObjectTree::enterPressed, this,
            [this](const QModelIndex& i) { insertSnippet(model_->idOf(i)); });
    connect(tree_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { emit popupRequested(tree_->viewport()->mapToGlobal(p)); });
    // an expanded node that has not been read yet is read now
    connect(model_, &ObjectTreeModel::readRequested, this, &ObjectBrowser::readChildren,
            Qt::QueuedConnection);
    connect(&context_, &DocumentContext::connectionChanged, this, [this] {
        chooser_->reset();
        setCaption(QString());
        addLists();
    });
}

ObjectBrowser::~ObjectBrowser() = default;

QTreeView* ObjectBrowser::tree() const {
    return tree_;
}
QString ObjectBrowser::lastFailure() const {
    return failure_->isHidden() ? QString() : failure_->text();
}

void ObjectBrowser::chooseDatabase(const QString& name) {
    chooser_->choose(name);
}

std::optional<ObjectBrowser::Node> ObjectBrowser::commandTarget() const {
    const int id = model_->idOf(tree_->currentIndex());
    if (id <= ObjectTreeModel::kTop || id > model_->count()) return std::nullopt;
    return Node{id, model_->key(id), model_->text(id), model_->kind(id), model_->refOf(id)};
}

void ObjectBrowser::changeBusy(int delta) {
    const bool was = pending_ > 0;
    pending_ = std::max(0, pending_ + delta);
    busyBar_->setVisible(pending_ > 0);
    if (was != (pending_ > 0)) emit busyChanged(pending_ > 0);
}

void ObjectBrowser::setCaption(const QString& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    emit captionChanged(caption_);
}

void ObjectBrowser::showFailure(const QString& text) {
    failure_->setText(text);
    failure_->setVisible(!text.isEmpty());
}

void ObjectBrowser::addLists() {
    ++generation_; // answers for the old tree are dropped from now on
    if (context_.hasConnection()) CatalogCache::forgetEverywhere(context_.connectionString()); // Refresh: completion too
    changeBusy(-pending_);
    emit statusText(StatePanel, QStringLiteral("Working..."));
    for (int panel : {ProviderPanel, DatabasePanel, VersionPanel})
        emit statusText(panel, QString());
    const QString wanted = context_.database(); // kept by a rebuild
    model_->clear();
    chooser_->reset();
    showFailure(QString());
    context_.setCatalogue(ProviderKind::None, context_.sqlDialect(), context_.serverFamily());
    providerName_.clear();
    if (!context_.hasConnection()) {
        chooser_->showNoConnection();
        model_->add(ObjectTreeModel::kTop, NodeKind::NoConnection, QString(),
                    QStringLiteral("[NO CONNECTION]"), NodeImage::Root);
        emit statusText(StatePanel, QStringLiteral("Ready"));
        emit listsBuilt();
        return;
    }
    changeBusy(+1);
    const quint64 generation = generation_;
    const QString cs = context_.connectionString();
    runInBackground<Result<ConnectionSummary>>(
        this, [cs, wanted] { return catalog::readConnectionSummary(cs, wanted); },
        [this, generation](Result<ConnectionSummary> r) {
            if (generation != generation_) return;
            changeBusy(-1);
            if (!r.ok()) {
                // a database that has gone is not asked for again by the next Refresh
                context_.setDatabase(QString());
                emit statusText(StatePanel, QStringLiteral("Not connected"));
                Dialogs::get().message(this, QStringLiteral("Error: ") + r.error() + kListsTrailer);
            } else {
                applySummary(r.value());
                emit statusText(StatePanel, QStringLiteral("Ready"));
            }
            emit listsBuilt();
        });
}

void ObjectBrowser::applySummary(const ConnectionSummary& s) {
    providerName_ = s.providerName;
    context_.setCatalogue(s.kind, s.dialect, s.server);
    context_.setDatabase(s.defaultDatabase);
    if (s.providerName.isEmpty()) {
        setCaption(QStringLiteral("[NO CONNECTION]"));
        chooser_->showNoConnection();
        model_->add(ObjectTreeModel::kTop, NodeKind::NoConnection, QString(),
                    QStringLiteral("[NO CONNECTION]"), NodeImage::Root);
        return;
    }
    setCaption(s.providerName + QStringLiteral(" - ") + s.defaultDatabase);
    emit statusText(ProviderPanel, s.providerName);
    emit statusText(DatabasePanel, s.defaultDatabase);
    emit statusText(VersionPanel, s.serverVersion);

    QStringList problems;
    const int root = model_->add(ObjectTreeModel::kTop, NodeKind::Root, QStringLiteral("R"), s.providerName,
                                 NodeImage::Root);
    const int common = model_->add(ObjectTreeModel::kTop, NodeKind::CommonObjects, QStringLiteral("R2"),
                                   QStringLiteral("Common Objects"), NodeImage::Folder);
    addSnippets(s, common, problems);
    if (!s.kindError.isEmpty()) problems << s.kindError;
    if (!s.namesError.isEmpty()) problems << s.namesError;

    QStringList refused;
    if (s.kind == ProviderKind::CatalogServer) {
        for (const QString& cat : s.names) {
            const int c =
                model_->add(root, NodeKind::Catalog, QLatin1Char('C') + catalog::nodeKeyPiece(cat), cat, NodeImage::Catalog);
            if (c < 0) {
                refused << cat;
                continue;
            }
            for (const auto& [prefix, caption] : kFolders)
                model_->add(c, NodeKind::Folder, QLatin1String(prefix) + catalog::nodeKeyPiece(cat), QLatin1String(caption),
                            NodeImage::Folder);
        }
        chooser_->setCatalogues(s.names, s.defaultDatabase);
    } else if (s.kind == ProviderKind::SingleDatabase) {
        std::vector<TreeNode> tables;
        tables.reserve(size_t(s.names.size()));
        for (const QString& t : s.names)
            tables.emplace_back(QLatin1Char('C') + catalog::nodeKeyPiece(t), t, NodeImage::Table);
        for (const QString& key : model_->addChildren(root, NodeKind::FlatTable, tables))
            refused << catalog::splitNodeKey(key).value(0).mid(1);
        chooser_->setTables(s.defaultDatabase, s.names);
    } else {
        chooser_->setTables(s.defaultDatabase, {});
    }
    if (!refused.isEmpty())
        problems << QStringLiteral("These names appear more than once and are listed once: ") +
                        refused.join(QStringLiteral(", "));

    tree_->expand(model_->indexOf(root));
    tree_->expand(model_->indexOf(common));
    tree_->scrollTo(model_->indexOf(common));
    if (!problems.isEmpty())
        Dialogs::get().message(this, problems.join(QStringLiteral("\r\n\r\n")) + kListsTrailer);
}

void ObjectBrowser::addSnippets(const ConnectionSummary& s, int commonObjects, QStringList& problems) {
    if (!s.snippetsError.isEmpty()) {
        problems << QStringLiteral("The object snippets could not be read: ") + s.snippetsError;
        return;
    }
    QHash<QString, int> groups;
    for (const QString& g : s.snippetGroups) {
        const int id = model_->add(commonObjects, NodeKind::SnippetGroup, QLatin1Char('O') + g, g,
                                   NodeImage::Folder, NodeImage::FolderOpen);
        if (id >= 0) groups.insert(g, id);
    }
    for (const ObjectSnippet& snippet : s.snippets) {
        const int group = groups.value(snippet.group, -1);
        const QString key = QStringLiteral("OO") + QString::number(snippet.key);
        if (group < 0 || model_->add(group, NodeKind::Snippet, key, snippet.title, NodeImage::Snippet) < 0)
            problems << QStringLiteral("The snippet \"%1\" clashes with the group \"%2\" and is not listed.")
                            .arg(snippet.title, snippet.group);
    }
}

void ObjectBrowser::openNode(int id) {
    if (id <= ObjectTreeModel::kTop || id > model_->count()) return;
    if (model_->opensFromCatalog(id) && model_->loadState(id) == ObjectTreeModel::LoadState::Unread)
        readChildren(id);
}

void ObjectBrowser::readChildren(int id) {
    if (id <= ObjectTreeModel::kTop || id > model_->count()) return;
    if (model_->loadState(id) != ObjectTreeModel::LoadState::Unread) return;
    model_->setLoadState(id, ObjectTreeModel::LoadState::Reading);
    changeBusy(+1);
    const NodeKind kind = model_->kind(id);
    const QString key = model_->key(id), text = model_->text(id), schema = model_->schema(id),
                  cs = context_.connectionString();
    const quint64 generation = generation_;
    runInBackground<NodeList>(
        this, [kind, cs, key, text, schema] { return readNode(kind, cs, key, text, schema); },
        [this, id, kind, key, generation](NodeList r) {
            if (generation != generation_) return; // the tree was rebuilt meanwhile
            changeBusy(-1);
            model_->addChildren(id, childKind(kind, key), r.nodes);
            model_->setLoadState(id, r.status.ok() ? ObjectTreeModel::LoadState::Read
                                                   : ObjectTreeModel::LoadState::Unread);
            model_->setToolTip(id, r.status.ok() ? QString() : r.status.error());
            showFailure(r.status.ok() ? QString() : r.status.error());
            emit nodeRead(id);
        });
}

void ObjectBrowser::insertSnippet(int id) {
    if (id <= ObjectTreeModel::kTop || id > model_->count() || model_->kind(id) != NodeKind::Snippet) return;
    bool ok = false;
    const qint64 key = model_->key(id).mid(2).toLongLong(&ok);
    if (!ok || !editor_) return;
    QPointer<SqlEditor> editor(editor_);
    runInBackground<Result<SnippetParts>>(
        this, [key] { return TemplateStore::objectSnippet(key); },
        [this, editor](Result<SnippetParts> r) {
            if (!editor) return;
            if (!r.ok()) {
                Dialogs::get().message(this,
                                       QStringLiteral("The snippet could not be inserted.\r\n") + r.error());
                return;
            }
            editor->insertColumn(r->start, r->highlight, r->end);
        });
}

void ObjectBrowser::showTable(const QString& table) {
    const int id = model_->findKey(QLatin1Char('C') + catalog::nodeKeyPiece(table));
    if (id < 0) return;
    const QModelIndex index = model_->indexOf(id);
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
    openNode(id);
}
