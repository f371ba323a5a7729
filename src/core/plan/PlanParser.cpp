#include "plan/PlanParser.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace plan {
namespace {

std::optional<double> number(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isDouble()) return v.toDouble();
    if (v.isString()) { // MariaDB writes some numbers as text
        bool ok = false;
        const double d = v.toString().toDouble(&ok);
        if (ok) return d;
    }
    return std::nullopt;
}

QString text(const QJsonValue& v) {
    if (v.isString()) return v.toString();
    if (v.isArray()) {
        QStringList parts;
        for (const QJsonValue& e : v.toArray()) parts << text(e);
        return parts.join(QStringLiteral(", "));
    }
    if (v.isDouble()) return QString::number(v.toDouble());
    if (v.isBool()) return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return {};
}

// "Key: value" lines for the keys present.
QString details(const QJsonObject& o, std::initializer_list<const char*> keys) {
    QStringList lines;
    for (const char* k : keys)
        if (o.contains(QLatin1String(k))) lines << QStringLiteral("%1: %2").arg(QLatin1String(k), text(o.value(QLatin1String(k))));
    return lines.join(QLatin1Char('\n'));
}

Result<QJsonDocument> parseJson(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (doc.isNull()) return fail(QStringLiteral("The plan could not be read: %1.").arg(error.errorString()));
    return doc;
}

// ---- PostgreSQL ----

void addPostgresNode(PlanTree& tree, const QJsonObject& p, int parent) {
    if (!p.contains(QLatin1String("Node Type"))) return; // not a step
    PlanNode n;
    n.operation = p.value(QLatin1String("Node Type")).toString();
    if (p.contains(QLatin1String("Join Type")) && !n.operation.contains(QLatin1String("Join")))
        n.operation += QLatin1Char(' ') + p.value(QLatin1String("Join Type")).toString();
    else if (p.contains(QLatin1String("Join Type")) && p.value(QLatin1String("Join Type")).toString() != QLatin1String("Inner"))
        n.operation = p.value(QLatin1String("Join Type")).toString() + QLatin1Char(' ') + n.operation;
    const QString relation = p.value(QLatin1String("Relation Name")).toString();
    if (!relation.isEmpty()) {
        const QString schema = p.value(QLatin1String("Schema")).toString();
        const QString alias = p.value(QLatin1String("Alias")).toString();
        n.relation = (schema.isEmpty() ? relation : schema + QLatin1Char('.') + relation) +
                     (alias.isEmpty() || alias == relation ? QString() : QLatin1Char(' ') + alias);
    } else if (p.contains(QLatin1String("CTE Name"))) {
        n.relation = p.value(QLatin1String("CTE Name")).toString();
    } else if (p.contains(QLatin1String("Function Name"))) {
        n.relation = p.value(QLatin1String("Function Name")).toString() + QStringLiteral("()");
    }
    n.detail = details(p, {"Index Name", "Index Cond", "Hash Cond", "Merge Cond", "Join Filter", "Filter",
                           "Rows Removed by Filter", "Recheck Cond", "Sort Key", "Sort Method", "Group Key",
                           "Strategy", "Subplan Name", "Shared Hit Blocks", "Shared Read Blocks"});
    n.estimatedRows = number(p, "Plan Rows");
    n.cost = number(p, "Total Cost");
    n.actualRows = number(p, "Actual Rows");
    n.loops = number(p, "Actual Loops");
    if (const auto t = number(p, "Actual Total Time")) n.timeMs = *t * n.loops.value_or(1);
    const int index = tree.add(std::move(n), parent);
    for (const QJsonValue& child : p.value(QLatin1String("Plans")).toArray()) addPostgresNode(tree, child.toObject(), index);
}

// ---- MariaDB ----

// The steps MariaDB's JSON names by key, with their captions.
QString mariaCaption(const QString& key, const QJsonObject& o) {
    if (key == QLatin1String("query_block")) {
        const QString id = text(o.value(QLatin1String("select_id")));
        return id.isEmpty() ? QStringLiteral("Query block") : QStringLiteral("Query block #%1").arg(id);
    }
    if (key == QLatin1String("table")) return o.value(QLatin1String("access_type")).toString();
    static const QHash<QString, QString> captions = {
        {QStringLiteral("nested_loop"), QStringLiteral("Nested loop")},
        {QStringLiteral("block-nl-join"), QStringLiteral("Block nested loop join")},
        {QStringLiteral("filesort"), QStringLiteral("Sort")},
        {QStringLiteral("read_sorted_file"), QStringLiteral("Read sorted file")},
        {QStringLiteral("temporary_table"), QStringLiteral("Temporary table")},
        {QStringLiteral("materialized"), QStringLiteral("Materialized")},
        {QStringLiteral("union_result"), QStringLiteral("Union")},
        {QStringLiteral("duplicates_removal"), QStringLiteral("Duplicates removal")},
        {QStringLiteral("window_functions_computation"), QStringLiteral("Window functions")},
        {QStringLiteral("subqueries"), QStringLiteral("Subqueries")},
    };
    return captions.value(key);
}

void walkMaria(PlanTree& tree, const QJsonValue& value, int parent);

void addMariaNode(PlanTree& tree, const QString& key, const QJsonValue& value, int parent) {
    const QString caption = mariaCaption(key, value.toObject());
    if (caption.isEmpty()) { // a key that is not a step: look inside it
        if (value.isObject() || value.isArray()) walkMaria(tree, value, parent);
        return;
    }
    const QJsonObject o = value.toObject();
    PlanNode n;
    n.operation = caption;
    n.relation = o.value(QLatin1String("table_name")).toString();
    n.detail = details(o, {"key", "used_key_parts", "ref", "possible_keys", "attached_condition", "filtered",
                           "r_filtered", "buffer_type", "join_type", "sort_key", "having_condition"});
    n.estimatedRows = number(o, "rows");
    n.actualRows = number(o, "r_rows");
    n.loops = number(o, "r_loops");
    n.cost = number(o, "cost");
    // a query block's time is the whole block's (the plan's execution
    // time); the steps inside it have their own
    if (key != QLatin1String("query_block")) n.timeMs = number(o, "r_total_time_ms");
    const int index = tree.add(std::move(n), parent);
    walkMaria(tree, value, index);
}

void walkMaria(PlanTree& tree, const QJsonValue& value, int parent) {
    if (value.isArray()) {
        for (const QJsonValue& e : value.toArray()) walkMaria(tree, e, parent);
        return;
    }
    const QJsonObject o = value.toObject();
    for (auto it = o.begin(); it != o.end(); ++it)
        if (it.value().isObject() || it.value().isArray()) addMariaNode(tree, it.key(), it.value(), parent);
}

} // namespace

Result<PlanTree> fromPostgresJson(const QByteArray& json) {
    const Result<QJsonDocument> doc = parseJson(json);
    if (!doc) return fail(doc.error());
    PlanTree tree;
    tree.server = db::ServerFamily::PostgreSQL;
    tree.rawText = QString::fromUtf8(doc->toJson(QJsonDocument::Indented));
    for (const QJsonValue& statement : doc->array()) {
        const QJsonObject s = statement.toObject();
        addPostgresNode(tree, s.value(QLatin1String("Plan")).toObject(), -1);
        tree.planningMs = number(s, "Planning Time");
        tree.executionMs = number(s, "Execution Time");
    }
    if (tree.empty()) return fail(QStringLiteral("The server's answer holds no plan."));
    tree.analyzed = tree.executionMs.has_value();
    tree.weigh();
    return tree;
}

Result<PlanTree> fromMariaJson(const QByteArray& json) {
    const Result<QJsonDocument> doc = parseJson(json);
    if (!doc) return fail(doc.error());
    PlanTree tree;
    tree.server = db::ServerFamily::MariaDB;
    tree.rawText = QString::fromUtf8(doc->toJson(QJsonDocument::Indented));
    walkMaria(tree, doc->object(), -1);
    if (tree.empty()) return fail(QStringLiteral("The server's answer holds no plan."));
    const QJsonObject block = doc->object().value(QLatin1String("query_block")).toObject();
    tree.executionMs = number(block, "r_total_time_ms");
    tree.analyzed = tree.executionMs.has_value();
    tree.weigh();
    return tree;
}

Result<PlanTree> fromSqliteRows(const db::Table& rows) {
    PlanTree tree;
    tree.server = db::ServerFamily::SQLite;
    QHash<QString, int> byId;
    QStringList raw;
    QHash<int, int> depth;
    for (size_t r = 0; r < rows.rows.size(); ++r) {
        const QString id = rows.text(r, QStringLiteral("id"));
        const QString parentId = rows.text(r, QStringLiteral("parent"));
        const QString detail = rows.text(r, QStringLiteral("detail"));
        const int parent = byId.value(parentId, -1);
        PlanNode n;
        // "SCAN t USING INDEX i", "SEARCH t USING …": the step, the table, the rest
        static const QStringList reads = {QStringLiteral("SCAN"), QStringLiteral("SEARCH")};
        const QString first = detail.section(QLatin1Char(' '), 0, 0);
        if (reads.contains(first)) {
            n.operation = first;
            n.relation = detail.section(QLatin1Char(' '), 1, 1);
            n.detail = detail.section(QLatin1Char(' '), 2);
        } else {
            n.operation = detail;
        }
        const int index = tree.add(std::move(n), parent);
        byId.insert(id, index);
        depth.insert(index, parent < 0 ? 0 : depth.value(parent) + 1);
        raw << QString(depth.value(index) * 2, QLatin1Char(' ')) + detail;
    }
    if (tree.empty()) return fail(QStringLiteral("The server's answer holds no plan."));
    tree.rawText = raw.join(QLatin1Char('\n'));
    tree.weigh();
    return tree;
}

} // namespace plan
