#include "store/TemplateTree.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace store {
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

ParsedTemplateKey parseTemplateKey(const QString& key) {
    if (key == QLatin1String(kRootKey)) return {TemplateNodeKind::Root, 0};
    if (key == QLatin1String(kOrphansKey)) return {TemplateNodeKind::Orphans, 0};
    // the longer prefixes first: "CC" before "C", "OO" and "OG" before any "O"
    if (key.startsWith(kTemplatePrefix)) {
        const auto id = idAfter(key, kTemplatePrefix);
        return id ? ParsedTemplateKey{TemplateNodeKind::Template, *id} : ParsedTemplateKey{};
    }
    if (key.startsWith(kSnippetPrefix)) {
        const auto id = idAfter(key, kSnippetPrefix);
        return id ? ParsedTemplateKey{TemplateNodeKind::Snippet, *id} : ParsedTemplateKey{};
    }
    if (key.startsWith(kSnippetGroupPrefix)) return {TemplateNodeKind::SnippetGroup, 0};
    if (const auto id = idAfter(key, kGroupPrefix)) return {TemplateNodeKind::Group, *id};
    return {};
}

std::vector<TemplateNode> buildTemplateTree(const std::vector<TemplateGroup>& groups,
                                            const std::vector<TemplateEntry>& templates) {
    std::vector<TemplateNode> nodes;
    nodes.reserve(1 + groups.size() + templates.size() + 1);
    const QString root = QLatin1String(kRootKey);
    nodes.push_back({root, QString(), QLatin1String(kRootText), TemplateNodeKind::Root, 0});
    QSet<qint64> known;
    known.reserve(qsizetype(groups.size()));
    for (const TemplateGroup& g : groups) {
        if (known.contains(g.id)) continue; // a key is added once
        known.insert(g.id);
        nodes.push_back({groupKey(g.id), root, g.title, TemplateNodeKind::Group, g.id});
    }
    std::vector<const TemplateEntry*> orphans;
    for (const TemplateEntry& t : templates) {
        if (!known.contains(t.groupId)) {
            orphans.push_back(&t);
            continue;
        }
        nodes.push_back({templateKey(t.id), groupKey(t.groupId), t.title, TemplateNodeKind::Template, t.id});
    }
    if (!orphans.empty()) {
        const QString holder = QLatin1String(kOrphansKey);
        nodes.push_back({holder, root, QLatin1String(kOrphansText), TemplateNodeKind::Orphans, 0});
        for (const TemplateEntry* t : orphans)
            nodes.push_back({templateKey(t->id), holder, t->title, TemplateNodeKind::Template, t->id});
    }
    return nodes;
}

Result<std::vector<TemplateNode>> loadTemplateTree() {
    const auto groups = TemplateStore::groups();
    if (!groups) return fail(groups.error());
    const auto templates = TemplateStore::templates();
    if (!templates) return fail(templates.error());
    return buildTemplateTree(*groups, *templates);
}

std::vector<TemplateNode> buildSnippetTree(const std::vector<ObjectSnippet>& snippets) {
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
    std::vector<TemplateNode> nodes;
    nodes.reserve(size_t(names.size()) + snippets.size());
    const QString parent = QLatin1String(kSnippetRootKey);
    for (const QString& name : names)
        nodes.push_back({snippetGroupKey(name), parent, name.isEmpty() ? QLatin1String(kOrphansText) : name,
                         TemplateNodeKind::SnippetGroup, 0});
    for (const ObjectSnippet& s : snippets)
        nodes.push_back(
            {snippetKey(s.key), snippetGroupKey(s.group), s.title, TemplateNodeKind::Snippet, s.key});
    return nodes;
}

Result<std::vector<TemplateNode>> loadSnippetTree() {
    const auto snippets = TemplateStore::snippets();
    if (!snippets) return fail(snippets.error());
    return buildSnippetTree(*snippets);
}

} // namespace store
