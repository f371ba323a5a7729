#include "plan/Explain.h"

#include "plan/PlanParser.h"
#include "script/SqlLexer.h"

namespace plan {

using db::ServerFamily;

Result<QString> explainText(const QString& statement, ServerFamily server, bool analyze) {
    switch (server) {
    case ServerFamily::PostgreSQL:
        return (analyze ? QStringLiteral("EXPLAIN (FORMAT JSON, ANALYZE, BUFFERS) ") : QStringLiteral("EXPLAIN (FORMAT JSON) ")) +
               statement;
    case ServerFamily::MariaDB:
        return (analyze ? QStringLiteral("ANALYZE FORMAT=JSON ") : QStringLiteral("EXPLAIN FORMAT=JSON ")) + statement;
    case ServerFamily::SQLite: return QStringLiteral("EXPLAIN QUERY PLAN ") + statement;
    default:
        return fail(QStringLiteral("Plans are read from PostgreSQL, MariaDB/MySQL and SQLite; this connection reaches %1.")
                        .arg(db::familyName(server)));
    }
}

bool changesData(QStringView statement, ServerFamily server) {
    using script::SqlLexer;
    using script::TokenKind;
    SqlLexer lex(statement, script::dialectOf(server));
    const script::Token first = lex.nextSignificant();
    if (SqlLexer::isAnyWord(statement, first, {"VALUES", "TABLE", "SHOW", "DESCRIBE", "DESC"})) return false;
    if (!SqlLexer::isAnyWord(statement, first, {"SELECT", "WITH"})) return true;
    // a read may still write: SELECT … INTO, locking reads, WITH … INSERT
    for (script::Token t = lex.nextSignificant(); t.kind != TokenKind::End && t.kind != TokenKind::Semicolon;
         t = lex.nextSignificant())
        if (SqlLexer::isAnyWord(statement, t, {"INSERT", "UPDATE", "DELETE", "MERGE", "INTO"})) return true;
    return false;
}

Result<PlanTree> readPlan(db::Connection& conn, const QString& statement, bool analyze,
                          const script::ParameterValues* values) {
    const ServerFamily server = conn.serverFamily();
    const Result<QString> text = explainText(statement, server, analyze);
    if (!text) return fail(text.error());
    try {
        QString sql = *text;
        db::Params params;
        const script::ScriptParameters found = script::findParameters(sql, server);
        if (!found.empty()) {
            const auto bound = script::bindScript(sql, found, values, server);
            if (!bound) return fail(bound.error());
            if (bound->size() != 1) return fail(QStringLiteral("A plan is read for one statement at a time."));
            sql = bound->front().text;
            params = bound->front().params;
        }
        const db::Table answer = conn.query(sql, params);
        if (server == ServerFamily::SQLite) {
            Result<PlanTree> tree = plan::fromSqliteRows(answer);
            if (tree) tree.value().analyzed = false;
            return tree;
        }
        // one row, one cell of JSON
        if (answer.rows.empty() || answer.rows[0].empty() || !answer.rows[0][0])
            return fail(QStringLiteral("The server gave no plan for this statement."));
        const QByteArray json = answer.rows[0][0]->toUtf8();
        return server == ServerFamily::PostgreSQL ? plan::fromPostgresJson(json) : plan::fromMariaJson(json);
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

} // namespace plan
