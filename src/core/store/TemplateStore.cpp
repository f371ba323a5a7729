#include "store/TemplateStore.h"

#include "store/ResourceDb.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace {

qint64 number(const db::Cell& c) { return c ? c->toLongLong() : 0; }
QString text(const db::Cell& c) { return c.value_or(QString()); }
QString tag(const db::Cell& c) { return c == QStringLiteral("x") ? QString() : text(c); }

// Runs a statement that must touch one row.
Status changeOne(const QString& sql, const db::Params& params, const QString& missing) {
    try {
        if (ResourceDb::open()->exec(sql, params) == 0) return fail(missing);
        return {};
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<qint64> insert(const QString& sql, const db::Params& params) {
    try {
        auto conn = ResourceDb::open();
        conn->exec(sql, params);
        return number(conn->query(QStringLiteral("SELECT last_insert_rowid()")).rows.at(0).at(0));
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

const QString kNoTemplate = QStringLiteral("The template does not exist (any more).");
const QString kNoGroup = QStringLiteral("The template group does not exist (any more).");

// Group titles are one title when they are equal after Unicode case
// folding ("Übersicht", "übersicht" and "ÜBERSICHT", in either Unicode form).
QString titleKey(const QString& title) {
    return title.normalized(QString::NormalizationForm_C).toCaseFolded();
}

// Group titles sort by the user's locale, without regard to case. The C
// locale would order by code point (accented letters after "z"): it gets
// Unicode's default order instead.
QCollator titleOrder() {
    const QLocale locale;
    QCollator c(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
}

// Every group, in the order they were made.
std::vector<TemplateGroup> allGroups() {
    const db::Table t = ResourceDb::open()->query(QStringLiteral("SELECT id, title FROM template_types ORDER BY id"));
    std::vector<TemplateGroup> out;
    for (const auto& r : t.rows) out.push_back({number(r[0]), text(r[1])});
    return out;
}

} // namespace

Result<std::vector<TemplateGroup>> TemplateStore::groups() {
    try {
        std::vector<TemplateGroup> out = allGroups();
        const QCollator order = titleOrder();
        std::stable_sort(out.begin(), out.end(), [&order](const TemplateGroup& a, const TemplateGroup& b) {
            return order.compare(a.title, b.title) < 0;
        });
        return out;
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<std::vector<TemplateEntry>> TemplateStore::templates() {
    try {
        const db::Table t = ResourceDb::open()->query(QStringLiteral("SELECT id, \"group\", title FROM templates ORDER BY rowid"));
        std::vector<TemplateEntry> out;
        for (const auto& r : t.rows) out.push_back({number(r[0]), number(r[1]), text(r[2])});
        return out;
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<TemplateRecord> TemplateStore::loadTemplate(qint64 id) {
    try {
        const db::Table t = ResourceDb::open()->query(
            QStringLiteral("SELECT id, \"group\", title, code FROM templates WHERE id = ?"), {id});
        if (t.rows.empty()) return fail(kNoTemplate);
        const auto& r = t.rows[0];
        return TemplateRecord{number(r[0]), number(r[1]), text(r[2]), text(r[3])};
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<QString> TemplateStore::templateCode(qint64 id) {
    try {
        const db::Table t = ResourceDb::open()->query(QStringLiteral("SELECT code FROM templates WHERE id = ?"), {id});
        if (t.rows.empty()) return fail(kNoTemplate);
        if (!t.rows[0][0]) return fail(QStringLiteral("The template has no text."));
        return *t.rows[0][0];
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<qint64> TemplateStore::insertTemplate(qint64 groupId, const QString& title, const QString& code) {
    if (const Status g = groupExists(groupId); !g) return fail(g.error());
    return insert(QStringLiteral("INSERT INTO templates (\"group\", title, code) VALUES (?, ?, ?)"), {groupId, title, code});
}

Status TemplateStore::updateTemplate(qint64 id, qint64 groupId, const QString& title, const QString& code) {
    if (const Status g = groupExists(groupId); !g) return g;
    return changeOne(QStringLiteral("UPDATE templates SET \"group\" = ?, title = ?, code = ? WHERE id = ?"),
                     {groupId, title, code, id}, kNoTemplate);
}

Status TemplateStore::deleteTemplate(qint64 id) {
    return changeOne(QStringLiteral("DELETE FROM templates WHERE id = ?"), {id}, kNoTemplate);
}

Result<qint64> TemplateStore::groupId(const QString& title) {
    try {
        // Equality, not LIKE: "%" and "_" in a title are ordinary characters.
        const QString key = titleKey(title);
        for (const TemplateGroup& g : allGroups())
            if (titleKey(g.title) == key) return g.id;
        return fail(QStringLiteral("There is no template group named \"%1\".").arg(title));
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<QString> TemplateStore::groupTitle(qint64 id) {
    try {
        const db::Table t = ResourceDb::open()->query(QStringLiteral("SELECT title FROM template_types WHERE id = ?"), {id});
        if (t.rows.empty()) return fail(kNoGroup);
        return text(t.rows[0][0]);
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<qint64> TemplateStore::insertGroup(const QString& title) {
    const QString t = title.trimmed();
    if (const Status free = titleFree(t, std::nullopt); !free) return fail(free.error());
    return insert(QStringLiteral("INSERT INTO template_types (title) VALUES (?)"), {t});
}

Status TemplateStore::renameGroup(qint64 id, const QString& title) {
    const QString t = title.trimmed();
    if (const Status free = titleFree(t, id); !free) return free;
    return changeOne(QStringLiteral("UPDATE template_types SET title = ? WHERE id = ?"), {t, id}, kNoGroup);
}

Status TemplateStore::groupExists(qint64 id) { return Status::of(groupTitle(id)); }

Status TemplateStore::titleFree(const QString& title, std::optional<qint64> except) {
    if (title.isEmpty()) return fail(QStringLiteral("A template group needs a name."));
    try {
        // the same comparison as groupId(), so a name always finds one group
        const QString key = titleKey(title);
        for (const TemplateGroup& g : allGroups())
            if (g.id != except && titleKey(g.title) == key)
                return fail(QStringLiteral("A template group named \"%1\" already exists.").arg(g.title));
        return {};
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<qint64> TemplateStore::templateCount(qint64 groupId) {
    try {
        return number(ResourceDb::open()
                          ->query(QStringLiteral("SELECT count(*) FROM templates WHERE \"group\" = ?"), {groupId})
                          .rows.at(0)
                          .at(0));
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Status TemplateStore::deleteGroup(qint64 id, bool withTemplates) {
    try {
        auto conn = ResourceDb::open();
        conn->exec(QStringLiteral("BEGIN IMMEDIATE"));
        try {
            const qint64 held =
                number(conn->query(QStringLiteral("SELECT count(*) FROM templates WHERE \"group\" = ?"), {id}).rows.at(0).at(0));
            if (held > 0 && !withTemplates) {
                conn->exec(QStringLiteral("ROLLBACK"));
                return fail(QStringLiteral("The template group still holds %1 template(s).").arg(held));
            }
            conn->exec(QStringLiteral("DELETE FROM templates WHERE \"group\" = ?"), {id});
            if (conn->exec(QStringLiteral("DELETE FROM template_types WHERE id = ?"), {id}) == 0) {
                conn->exec(QStringLiteral("ROLLBACK"));
                return fail(kNoGroup);
            }
            conn->exec(QStringLiteral("COMMIT"));
            return {};
        } catch (const db::Error&) {
            conn->exec(QStringLiteral("ROLLBACK"));
            throw;
        }
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<std::vector<QString>> TemplateStore::snippetGroups() {
    try {
        const db::Table t = ResourceDb::open()->query(
            QStringLiteral("SELECT DISTINCT groupname FROM objects WHERE groupname IS NOT NULL ORDER BY groupname"));
        std::vector<QString> out;
        for (const auto& r : t.rows) out.push_back(text(r[0]));
        return out;
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<std::vector<ObjectSnippet>> TemplateStore::snippets() {
    try {
        const db::Table t =
            ResourceDb::open()->query(QStringLiteral("SELECT primarykey, groupname, title FROM objects ORDER BY rowid"));
        std::vector<ObjectSnippet> out;
        for (const auto& r : t.rows) out.push_back({number(r[0]), text(r[1]), text(r[2])});
        return out;
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<SnippetParts> TemplateStore::objectSnippet(qint64 key) {
    try {
        const db::Table t = ResourceDb::open()->query(
            QStringLiteral("SELECT tag_start, tag_highlight, tag_end FROM objects WHERE primarykey = ?"), {key});
        if (t.rows.empty()) return fail(QStringLiteral("The snippet does not exist (any more)."));
        const auto& r = t.rows[0];
        return SnippetParts{tag(r[0]), tag(r[1]), tag(r[2])};
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}
