#pragma once
// The nodes of the template tree and of the snippet branch of the object
// tree, built from the store's rows, with the keys that say what each node
// is. A key is read back by its prefix alone, never by whether the node has
// children:
//
//   "MYROOT"         the template root ("Templates")
//   "C" + id         a template group (id is digits, so never "CC...")
//   "CC" + id        a template
//   "NOGROUP"        the node holding templates whose group no longer exists
//   "OG" + name      a snippet group (never "OO...", whatever the name)
//   "OO" + key       a snippet
//
// Built once per load from two lists, with hash lookups: linear in the rows.

#include "base/Result.h"
#include "store/TemplateStore.h"

#include <QString>
#include <vector>

namespace store {

enum class TemplateNodeKind { Root, Group, Orphans, Template, SnippetGroup, Snippet, Unknown };

struct TemplateNode {
    QString key;
    QString parentKey; // empty for a top-level node
    QString text;
    TemplateNodeKind kind = TemplateNodeKind::Unknown;
    qint64 id = 0; // the group's or template's id, the snippet's key
};

inline constexpr const char* kRootKey = "MYROOT";
inline constexpr const char* kRootText = "Templates";
inline constexpr const char* kOrphansKey = "NOGROUP";
inline constexpr const char* kOrphansText = "(No group)";
// The "Common Objects" node of the object tree, parent of the snippet groups.
inline constexpr const char* kSnippetRootKey = "R2";

QString groupKey(qint64 id);
QString templateKey(qint64 id);
QString snippetGroupKey(const QString& groupName);
QString snippetKey(qint64 key);

struct ParsedTemplateKey {
    TemplateNodeKind kind = TemplateNodeKind::Unknown;
    qint64 id = 0; // for groups, templates and snippets
};
// What a key names; Unknown for anything this grammar does not make (for
// example "C" followed by something other than a number).
ParsedTemplateKey parseTemplateKey(const QString& key);

// The template tree: the root, then every group in the order given, then
// every template under its group in the order given. Templates whose group is
// missing go under a "(No group)" node after the groups, so no stored
// template becomes invisible; that node exists only when needed.
std::vector<TemplateNode> buildTemplateTree(const std::vector<TemplateGroup>& groups,
                                            const std::vector<TemplateEntry>& templates);
// The same from the resource database (groups by title, templates in table order).
Result<std::vector<TemplateNode>> loadTemplateTree();

// The snippet groups (children of "R2", by name) and the snippets under
// them in the order given. A snippet without a group name is filed under a
// group "(No group)".
std::vector<TemplateNode> buildSnippetTree(const std::vector<ObjectSnippet>& snippets);
Result<std::vector<TemplateNode>> loadSnippetTree();

} // namespace store
