#include "templates/TemplateBrowser.h"

#include "common/Dialogs.h"
#include "editor/SqlEditor.h"
#include "store/TemplateStore.h"
#include "store/TemplateTree.h"
#include "templates/TemplateSelection.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSet>
#include <QStyle>

namespace {
constexpr int kKeyRole = Qt::UserRole + 1;

// A folder that shows open while selected (the groups and the root).
QIcon folderIcon(const QStyle* style) {
    QIcon icon = style->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon open = style->standardIcon(QStyle::SP_DirOpenIcon);
    for (const QSize& size : open.availableSizes())
        icon.addPixmap(open.pixmap(size), QIcon::Selected);
    return icon;
}

// The editor counts lines by CR LF; stored text may carry LF or CR alone.
QString withEditorLineBreaks(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}
} // namespace

TemplateBrowser::TemplateBrowser(SqlEditor* editor, QWidget* parent) : QTreeWidget(parent), editor_(editor) {
    setObjectName(QStringLiteral("templateTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setExpandsOnDoubleClick(true);
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { choose(item); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { choose(item); });
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { activate(item); });
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        // the node under the pointer is the one the pop-up's commands act on
        if (QTreeWidgetItem* item = itemAt(pos)) {
            setCurrentItem(item);
            choose(item);
        }
        emit popupRequested(viewport()->mapToGlobal(pos));
    });
}

void TemplateBrowser::showEvent(QShowEvent* e) {
    if (!loaded_) getTemplates();
    QTreeWidget::showEvent(e);
}

QString TemplateBrowser::keyOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kKeyRole).toString() : QString();
}

QTreeWidgetItem* TemplateBrowser::itemForKey(const QString& key) {
    if (!loaded_) getTemplates();
    return byKey_.value(key);
}

void TemplateBrowser::getTemplates() {
    loaded_ = true;
    using namespace store;
    QSet<QString> open;
    for (auto it = byKey_.cbegin(); it != byKey_.cend(); ++it)
        if (it.value()->isExpanded()) open.insert(it.key());
    const QString previous = keyOf(currentItem());

    const QSignalBlocker quiet(this); // rebuilding chooses nothing
    clear();
    byKey_.clear();
    const Result<std::vector<TemplateNode>> nodes = loadTemplateTree();
    const QIcon folder = folderIcon(style());
    const QIcon leaf = style()->standardIcon(QStyle::SP_FileIcon);
    auto* root = new QTreeWidgetItem(this, QStringList{QLatin1String(kRootText)});
    root->setIcon(0, folder);
    root->setData(0, kKeyRole, QLatin1String(kRootKey));
    byKey_.insert(QLatin1String(kRootKey), root);
    if (!nodes) {
        // the tree says why it is empty instead of looking like an empty library
        auto* why = new QTreeWidgetItem(
            root, QStringList{QStringLiteral("The templates could not be read: ") + nodes.error()});
        why->setFlags(Qt::ItemIsEnabled);
        why->setToolTip(0, nodes.error());
    }
    for (const TemplateNode& n : nodes.valueOr({})) {
        if (n.kind == TemplateNodeKind::Root) continue;
        QTreeWidgetItem* parent = byKey_.value(n.parentKey);
        if (!parent || byKey_.contains(n.key)) continue;
        auto* item = new QTreeWidgetItem(parent, QStringList{n.text});
        item->setData(0, kKeyRole, n.key);
        item->setIcon(0, n.kind == TemplateNodeKind::Template ? leaf : folder);
        if (n.kind == TemplateNodeKind::Template) item->setToolTip(0, n.text);
        byKey_.insert(n.key, item);
    }
    root->setExpanded(true);
    for (const QString& key : open)
        if (QTreeWidgetItem* item = byKey_.value(key)) item->setExpanded(true);

    // Show the chosen template when this tree has it, else keep the node that was current.
    const TemplateSelection& chosen = TemplateSelection::current();
    QTreeWidgetItem* current = chosen.templateId ? byKey_.value(templateKey(*chosen.templateId)) : nullptr;
    if (!current) current = byKey_.value(previous);
    if (current) {
        for (QTreeWidgetItem* p = current->parent(); p; p = p->parent())
            p->setExpanded(true);
        setCurrentItem(current);
        scrollToItem(current);
    }
}

void TemplateBrowser::choose(QTreeWidgetItem* item) {
    using namespace store;
    if (!item) return;
    TemplateSelection& chosen = TemplateSelection::current();
    const ParsedTemplateKey k = parseTemplateKey(keyOf(item));
    switch (k.kind) {
    case TemplateNodeKind::Template: {
        chosen.templateId = k.id;
        const ParsedTemplateKey group = parseTemplateKey(keyOf(item->parent()));
        chosen.groupId = group.kind == TemplateNodeKind::Group ? std::optional<qint64>(group.id) : std::nullopt;
        break;
    }
    case TemplateNodeKind::Group:
        chosen.templateId.reset();
        chosen.groupId = k.id;
        break;
    case TemplateNodeKind::Root:
    case TemplateNodeKind::Orphans:
        chosen.templateId.reset();
        chosen.groupId.reset();
        break;
    default:
        break; // a node without a key (the read-failure note)
    }
}

void TemplateBrowser::activate(QTreeWidgetItem* item) {
    if (!item) return;
    const store::ParsedTemplateKey k = store::parseTemplateKey(keyOf(item));
    choose(item);
    if (k.kind == store::TemplateNodeKind::Template) appendTemplate(k.id);
}

void TemplateBrowser::appendTemplate(qint64 id) {
    const Result<QString> code = TemplateStore::templateCode(id);
    if (!code) {
        // the script is left alone: an error text does not belong in it
        Dialogs::get().message(this, code.error(), QStringLiteral("Templates"));
        return;
    }
    // on a line of its own: after a line break only where the script's last line has text
    const QString script = editor_->text();
    const bool onItsOwnLine = script.isEmpty() || script.endsWith(QLatin1Char('\n')) || script.endsWith(QLatin1Char('\r'));
    editor_->appendText((onItsOwnLine ? QString() : QStringLiteral("\r\n")) + withEditorLineBreaks(*code) +
                        QStringLiteral("\r\n"));
    const int last = editor_->lines() - 1; // the empty line after the inserted text
    editor_->setCursorPosition(last, 0);
    editor_->ensureLineVisible(last);
    TemplateSelection::current().templateId = id;
    editor_->setFocus();
}

void TemplateBrowser::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && currentItem()) {
        QTreeWidgetItem* item = currentItem();
        activate(item);
        if (item->childCount() > 0) item->setExpanded(!item->isExpanded()); // as a double-click does
        return;
    }
    QTreeWidget::keyPressEvent(e);
}
