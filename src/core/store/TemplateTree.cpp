#include "store/TemplateTree.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace templatetree {
namespace {

const QString kGroupPrefix = QStringLiteral("C");
const QString kTemplatePrefix = QStringLiteral("CC");
const QString kSnippetGroupPrefix = QStringLiteral("OG");
const QString kSnippetPrefix = QStringLiteral("OO");

// The id after prefix when the rest is a plain decimal number (no sign, no blanks).
std::optional<qint64> idAfter(const QString& key, const QString& prefix) {
    if (!key.startsWith(prefix) || key.size() == prefix.size()) return std::nullopt;
    const QStringView rest = QStringView(key).mid(prefix.size());
    for (QChar c : rest)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    bool ok = false;
    const qint64 id = rest.toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

} // namespace

QString groupKey(qint64 id) {
    return kGroupPrefix + QString::number(id);
}
QString templateKey(qint64 id) {
    return kTemplatePrefix + QString::number(id);
}
QString snippetGroupKey(const QString& groupName) {
    return kSnippetGroupPrefix + groupName;
}
QString snippetKey(qint64 key) {
    return kSnippetPrefix + QString::number(key);
}

ParsedKey parseKey(const QString& key) {
    if (key == QLatin1String(kRootKey)) return {NodeKind::Root, 0};
    if (key == QLatin1String(kOrphansKey)) return {NodeKind::Orphans, 0};
    // the longer prefixes first: "CC" before "C", "OO" and "OG" before any "O"
    if (key.startsWith(kTemplatePrefix)) {
        const auto id = idAfter(key, kTemplatePrefix);
        return id ? ParsedKey{NodeKind::Template, *id} : ParsedKey{};
    }
    if (key.startsWith(kSnippetPrefix)) {
        const auto id = idAfter(key, kSnippetPrefix);
        return id ? ParsedKey{NodeKind::Snippet, *id} : ParsedKey{};
    }
    if (key.startsWith(kSnippetGroupPrefix)) return {NodeKind::SnippetGroup, 0};
    if (const auto id = idAfter(key, kGroupPrefix)) return {NodeKind::Group, *id};
    return {};
}

std::vector<Node> build(const std::vector<TemplateGroup>& groups,
                        const std::vector<TemplateEntry>& templates) {
    std::vector<Node> nodes;
    nodes.reserve(1 + groups.size() + templates.size() + 1);
    const QString root = QLatin1String(kRootKey);
    nodes.push_back({root, QString(), QLatin1String(kRootText), NodeKind::Root, 0});
    QSet<qint64> known;
    known.reserve(qsizetype(groups.size()));
    for (const TemplateGroup& g : groups) {
        if (known.contains(g.id)) continue; // a key is added once
        known.insert(g.id);
        nodes.push_back({groupKey(g.id), root, g.title, NodeKind::Group, g.id});
    }
    std::vector<const TemplateEntry*> orphans;
    for (const TemplateEntry& t : templates) {
        if (!known.contains(t.groupId)) {
            orphans.push_back(&t);
            continue;
        }
        nodes.push_back({templateKey(t.id), groupKey(t.groupId), t.title, NodeKind::Template, t.id});
    }
    if (!orphans.empty()) {
        const QString holder = QLatin1String(kOrphansKey);
        nodes.push_back({holder, root, QLatin1String(kOrphansText), NodeKind::Orphans, 0});
        for (const TemplateEntry* t : orphans)
            nodes.push_back({templateKey(t->id), holder, t->title, NodeKind::Template, t->id});
    }
    return nodes;
}

Result<std::vector<Node>> load() {
    const auto groups = TemplateStore::groups();
    if (!groups) return fail(groups.error());
    const auto templates = TemplateStore::templates();
    if (!templates) return fail(templates.error());
    return build(*groups, *templates);
}

std::vector<Node> buildSnippets(const std::vector<ObjectSnippet>& snippets) {
    QStringList names;
    QSet<QString> seen;
    for (const ObjectSnippet& s : snippets)
        if (!seen.contains(s.group)) {
            seen.insert(s.group);
            names << s.group;
        }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    std::vector<Node> nodes;
    nodes.reserve(size_t(names.size()) + snippets.size());
    const QString parent = QLatin1String(kSnippetRootKey);
    for (const QString& name : names)
        nodes.push_back({snippetGroupKey(name), parent, name.isEmpty() ? QLatin1String(kOrphansText) : name,
                         NodeKind::SnippetGroup, 0});
    for (const ObjectSnippet& s : snippets)
        nodes.push_back({snippetKey(s.key), snippetGroupKey(s.group), s.title, NodeKind::Snippet, s.key});
    return nodes;
}

Result<std::vector<Node>> loadSnippets() {
    const auto snippets = TemplateStore::snippets();
    if (!snippets) return fail(snippets.error());
    return buildSnippets(*snippets);
}

} // namespace templatetree
