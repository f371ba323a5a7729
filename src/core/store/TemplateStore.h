#pragma once
// The template library and the object snippets of the resource database
// (tables template_types, templates, objects). Every statement binds its
// values: titles with quotes, "%" or "_" are stored and found exactly.
//
// Each operation opens its own connection to vsql.db and closes it again.

#include "base/Result.h"

#include <QString>

#include <optional>
#include <vector>

struct TemplateGroup {
    qint64 id = 0;
    QString title;
};

// A template as the tree lists it (its code is read when it is used).
struct TemplateEntry {
    qint64 id = 0;
    qint64 groupId = 0; // may name a group that no longer exists
    QString title;
};

struct TemplateRecord {
    qint64 id = 0;
    qint64 groupId = 0;
    QString title;
    QString code; // lines separated by CR LF
};

// An object snippet; in the stored tags the letter "x" alone means empty text.
struct ObjectSnippet {
    qint64 key = 0;
    QString group;
    QString title;
};

// The three parts a snippet inserts, "x" already turned into empty text.
struct SnippetParts {
    QString start;
    QString highlight; // left selected after insertion
    QString end;
};

class TemplateStore {
public:
    // ---- templates ----
    static Result<std::vector<TemplateGroup>> groups();       // by title in the locale's order, without regard to case
    static Result<std::vector<TemplateEntry>> templates();    // in table order
    static Result<QString> templateCode(qint64 id);          // fails for a missing row or NULL code
    static Result<TemplateRecord> loadTemplate(qint64 id);
    // Both refuse a group that does not exist, so no new template is stranded.
    static Result<qint64> insertTemplate(qint64 groupId, const QString& title, const QString& code);
    static Status updateTemplate(qint64 id, qint64 groupId, const QString& title, const QString& code);
    static Status deleteTemplate(qint64 id);

    // ---- groups ----
    // The id of the group with exactly this title (case-insensitive); the
    // first by id when several share it. Fails when there is none.
    static Result<qint64> groupId(const QString& title);
    static Result<QString> groupTitle(qint64 id);
    // Titles are stored trimmed; an empty title, or one another group already
    // has (without regard to case), is refused, so a title names one group.
    static Result<qint64> insertGroup(const QString& title);
    static Status renameGroup(qint64 id, const QString& title);
    static Result<qint64> templateCount(qint64 groupId);
    // Deletes the group; with its templates (in one transaction) when
    // withTemplates, else refuses a group that still holds templates.
    static Status deleteGroup(qint64 id, bool withTemplates);

    // ---- object snippets ----
    static Result<std::vector<QString>> snippetGroups(); // distinct group names, by name
    static Result<std::vector<ObjectSnippet>> snippets(); // in table order
    static Result<SnippetParts> objectSnippet(qint64 key);

private:
    static Status groupExists(qint64 id);
    static Status titleFree(const QString& title, std::optional<qint64> except);
};
