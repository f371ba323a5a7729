// Every statement the generator writes for a table with awkward names runs
// on each backend once its parameters (or, for calls, placeholders) hold
// values; UPDATE and DELETE find a keyed table's row by its key.
#include "catalog/SchemaReader.h"
#include "catalog/SqlDialect.h"
#include "catalog/StatementGenerator.h"
#include "catalog/TableKey.h"
#include "db/Connection.h"
#include "script/ParameterBinding.h"
#include "store/HomeSeeding.h"
#include "support/TempHome.h"
#include "support/TestServers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The awkward names: a blank, mixed case, a single quote, a keyword, a
// double quote and a back-quote.
const QString kTable = QStringLiteral("Odd Table's");
const QStringList kColumns = {QStringLiteral("id"),         QStringLiteral("Mixed Case"),
                              QStringLiteral("select"),     QStringLiteral("it's"),
                              QStringLiteral("say \"hi\""), QStringLiteral("back`tick")};

// Quotes a name for the test's own DDL, independently of the code under test.
QString q(const QString& quote, const QString& name) {
    QString n = name;
    n.replace(quote, quote + quote);
    return quote + n + quote;
}

// Placeholders are the statement's string literals: each gets a value that
// every column type here accepts. Quoted names are copied as they are (they
// may hold a single quote); backslash escapes count where the dialect has them.
QString filled(const QString& statement, const QString& quote, bool backslashEscapes) {
    QString out;
    for (qsizetype i = 0; i < statement.size(); ++i) {
        const QChar c = statement[i];
        if (QString(c) == quote) { // a quoted name, with doubled quotes inside
            qsizetype j = i + 1;
            while (j < statement.size() &&
                   !(statement[j] == c && (j + 1 >= statement.size() || statement[j + 1] != c)))
                j += statement[j] == c ? 2 : 1;
            out += statement.mid(i, j - i + 1);
            i = j;
        } else if (c == QLatin1Char('\'')) {
            qsizetype j = i + 1;
            for (; j < statement.size(); ++j) {
                if (backslashEscapes && statement[j] == QLatin1Char('\\'))
                    ++j;
                else if (statement[j] == QLatin1Char('\'') && j + 1 < statement.size() &&
                         statement[j + 1] == QLatin1Char('\''))
                    ++j;
                else if (statement[j] == QLatin1Char('\''))
                    break;
            }
            out += QStringLiteral("'1'");
            i = j;
        } else {
            out += c;
        }
    }
    return out;
}

class GeneratedStatementsTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        store::ensureSeeded();
        SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("odd.db")), cs);
        conn = db::Connection::open(cs);
        quote = conn->identifierQuote();
        dialect = SqlDialect::forServer(conn->serverFamily(), quote);
        catalog = isSqlite() ? QString() : conn->defaultDatabase();
        if (isPostgres()) {
            conn->exec(QStringLiteral("DROP SCHEMA IF EXISTS \"Sales Dept\" CASCADE"));
            conn->exec(QStringLiteral("CREATE SCHEMA \"Sales Dept\""));
        }
        createTable(QString());
    }
    bool isSqlite() const { return !GetParam().server; }
    bool isPostgres() const { return GetParam().server == &kPostgres; }

    void createTable(const QString& schema) {
        const QString name =
            (schema.isEmpty() ? QString() : q(quote, schema) + QLatin1Char('.')) + q(quote, kTable);
        conn->exec(QStringLiteral("DROP TABLE IF EXISTS ") + name);
        QStringList defs;
        for (const QString& c : kColumns)
            defs << q(quote, c) + (c == QLatin1String("id") ? QStringLiteral(" INTEGER")
                                                            : QStringLiteral(" VARCHAR(20)"));
        conn->exec(QStringLiteral("CREATE TABLE ") + name + QStringLiteral(" (") +
                   defs.join(QStringLiteral(", ")) + QLatin1Char(')'));
    }

    // The table as the object browser's tree knows it (schema from the filler).
    ObjectRef tableRef(const QString& schema) {
        ObjectRef ref;
        ref.kind = ObjectKind::Table;
        ref.catalog = catalog;
        ref.table = kTable;
        if (isSqlite()) return ref; // the single-database layout has no catalogue
        const NodeList nodes =
            catalog::addTableNodes(cs, QStringLiteral("CCU|") + catalog, QStringLiteral("U"));
        for (const TreeNode& n : nodes.nodes)
            if (n.text == kTable && (schema.isEmpty() || n.schema == schema)) ref.schema = n.schema;
        EXPECT_TRUE(schema.isEmpty() || ref.schema == schema);
        return ref;
    }

    // Runs a statement as written, its parameters bound to value (and its
    // string placeholders, of calls, filled); returns the rows it changed.
    qint64 run(const QString& statement, const QString& value = QStringLiteral("1")) {
        SCOPED_TRACE(statement.toStdString());
        EXPECT_FALSE(statement.isEmpty());
        const db::ServerFamily server = conn->serverFamily();
        const QString text = filled(statement, quote, dialect.family == DialectFamily::MySql);
        const auto found = script::findParameters(text, server);
        script::ParameterValues values;
        for (const auto& n : found.names()) values[n.name] = {script::ParameterType::Text, value, false};
        const auto bound = script::bindScript(text, found, &values, server);
        EXPECT_TRUE(bound.ok()) << bound.error().toStdString();
        qint64 changed = 0;
        try {
            for (const auto& b : bound.valueOr({})) {
                auto cursor = conn->execute(b.text, b.params);
                db::readTable(*cursor);
                changed += std::max<qint64>(0, cursor->recordsAffected());
            }
        } catch (const db::Error& e) {
            ADD_FAILURE() << e.description().toStdString();
        }
        return changed;
    }

    // Writes and runs every statement for the table and each of its columns
    // (read from the catalogue, unless the table is one this connection alone sees).
    void runEverything(const ObjectRef& table, bool readColumns = true) {
        const Result<QStringList> columns =
            readColumns ? catalog::getColumnList(cs, table.table, table.catalog, table.schema)
                        : Result<QStringList>(kColumns);
        ASSERT_TRUE(columns.ok()) << columns.error().toStdString();
        ASSERT_EQ(columns.value(), kColumns);
        run(catalog::insertStatement(dialect, table, columns.value()));
        for (const QString& c : kColumns) {
            ObjectRef col = table;
            col.kind = ObjectKind::Column;
            col.column = c;
            run(catalog::insertStatement(dialect, col, {}));
            run(catalog::browseStatement(dialect, col));
            run(catalog::selectStatement(dialect, col));
            run(catalog::updateStatement(dialect, col, {}));
            run(catalog::deleteStatement(dialect, col, {}));
        }
        run(catalog::insertStatement(dialect, table, columns.value()));
        const QString browse = catalog::browseStatement(dialect, table);
        EXPECT_FALSE(browse.contains(QLatin1String(".."))) << browse.toStdString();
        const db::Table rows = conn->query(browse);
        EXPECT_EQ(rows.columns.size(), kColumns.size());
        EXPECT_EQ(rows.rows.size(), 1u) << browse.toStdString();
        run(catalog::selectStatement(dialect, table));
        run(catalog::updateStatement(dialect, table, columns.value()));
        run(catalog::deleteStatement(dialect, table, columns.value()));
        EXPECT_TRUE(conn->query(browse).rows.empty());
    }

    TempHome home;
    QTemporaryDir dir;
    QString cs, quote, catalog;
    SqlDialect dialect;
    std::unique_ptr<db::Connection> conn;
};

} // namespace

TEST_P(GeneratedStatementsTest, EveryStatementForAnAwkwardTableRuns) {
    runEverything(tableRef(QString()));
}

TEST_P(GeneratedStatementsTest, TablesOutsideTheDefaultPlaceAreQualified) {
    if (isSqlite()) {
        // SQLite: by the attached database it lives in ("main" is left out)
        newSqliteConnectionString(dir.filePath(QStringLiteral("aux.db")));
        conn->exec(QStringLiteral("ATTACH DATABASE ? AS \"Aux Db\""),
                   {dir.filePath(QStringLiteral("aux.db"))});
        createTable(QStringLiteral("Aux Db"));
        ObjectRef ref = tableRef(QString());
        ref.catalog = QStringLiteral("Aux Db");
        EXPECT_EQ(catalog::statementObjectName(dialect, ref), QStringLiteral("\"Aux Db\".\"Odd Table's\""));
        runEverything(ref, false);
    } else if (isPostgres()) {
        // PostgreSQL: by the table's schema
        createTable(QStringLiteral("Sales Dept"));
        const ObjectRef ref = tableRef(QStringLiteral("Sales Dept"));
        EXPECT_EQ(catalog::statementObjectName(dialect, ref), QStringLiteral("\"Sales Dept\".\"Odd Table's\""));
        runEverything(ref);
    } else {
        // MariaDB: by the table's database, from a connection to another one
        conn->exec(QStringLiteral("CREATE DATABASE IF NOT EXISTS `sqlqe catalog c`"));
        catalog = QStringLiteral("sqlqe catalog c");
        createTable(catalog);
        const ObjectRef ref = tableRef(QString());
        EXPECT_EQ(catalog::statementObjectName(dialect, ref), QStringLiteral("`sqlqe catalog c`.`Odd Table's`"));
        runEverything(ref);
    }
}

TEST_P(GeneratedStatementsTest, AKeyedRowIsFoundByItsKey) {
    const QString t = q(quote, QStringLiteral("Keyed Row"));
    conn->exec(QStringLiteral("DROP TABLE IF EXISTS ") + t);
    conn->exec(QStringLiteral("CREATE TABLE ") + t + QStringLiteral(" (k1 INTEGER NOT NULL, ") + q(quote, "K 2") +
               QStringLiteral(" INTEGER NOT NULL, v VARCHAR(20), PRIMARY KEY (k1, ") + q(quote, "K 2") +
               QStringLiteral("))"));
    conn->exec(QStringLiteral("INSERT INTO ") + t + QStringLiteral(" VALUES (1, 1, 'a'), (1, 2, 'b'), (2, 1, 'c')"));
    ObjectRef ref;
    ref.kind = ObjectKind::Table;
    ref.catalog = catalog;
    ref.table = QStringLiteral("Keyed Row");
    ref.schema = isPostgres() ? QStringLiteral("public") : QString();
    const auto key = catalog::getKeyColumnList(cs, ref.table, ref.catalog, ref.schema);
    ASSERT_TRUE(key.ok()) << key.error().toStdString();
    EXPECT_EQ(key.value(), (QStringList{"k1", "K 2"}));
    const QStringList columns = {QStringLiteral("k1"), QStringLiteral("K 2"), QStringLiteral("v")};
    const QString update = catalog::updateStatement(dialect, ref, columns, key.value());
    EXPECT_FALSE(update.contains(QLatin1String("v = :old"))) << update.toStdString();
    EXPECT_EQ(run(update), 1); // (1, 1) only, not every row with a 1 in it
    EXPECT_EQ(run(catalog::deleteStatement(dialect, ref, columns, key.value())), 1);
    EXPECT_EQ(conn->query(QStringLiteral("SELECT count(*) FROM ") + t).rows[0][0], QStringLiteral("2"));
    // a table without a key has none
    const auto none = catalog::getKeyColumnList(cs, kTable, catalog, ref.schema);
    ASSERT_TRUE(none.ok());
    EXPECT_TRUE(none->isEmpty());
    conn->exec(QStringLiteral("DROP TABLE ") + t);
}

TEST_P(GeneratedStatementsTest, ProcedureCallsRunWithTheirParameters) {
    if (isSqlite()) {
        EXPECT_TRUE(conn->schema(db::Schema::ProcedureColumns).rows.empty());
        return;
    }
    QStringList calls;
    auto callOf = [&](const QString& name) {
        ObjectRef ref;
        ref.kind = ObjectKind::Procedure;
        ref.catalog = catalog;
        ref.table = name;
        ref.schema = isPostgres() ? QStringLiteral("public") : QString();
        const Result<ProcedureSignature> sig =
            catalog::getProcedureSignature(cs, catalog, ref.schema, name);
        EXPECT_TRUE(sig.ok()) << sig.error().toStdString();
        return catalog::callStatement(dialect, ref, sig.valueOr({}));
    };
    if (isPostgres()) {
        conn->exec(
            QStringLiteral("CREATE OR REPLACE FUNCTION \"Odd Fn\"(a integer, \"B\" text, OUT c integer)"
                           " AS 'SELECT a' LANGUAGE SQL"));
        conn->exec(
            QStringLiteral("CREATE OR REPLACE PROCEDURE odd_proc(a integer, INOUT b text, OUT c integer)"
                           " AS $$ BEGIN b := 'x'; c := a; END $$ LANGUAGE plpgsql"));
        EXPECT_EQ(callOf(QStringLiteral("Odd Fn")),
                  QStringLiteral("SELECT * FROM public.\"Odd Fn\"('a', 'B')"));
        EXPECT_EQ(callOf(QStringLiteral("odd_proc")), QStringLiteral("CALL public.odd_proc('a', 'b', NULL)"));
    } else {
        conn->exec(QStringLiteral("DROP PROCEDURE IF EXISTS `odd proc`"));
        conn->exec(QStringLiteral("DROP FUNCTION IF EXISTS odd_fn"));
        conn->exec(QStringLiteral("CREATE PROCEDURE `odd proc`(IN a INT, OUT b VARCHAR(10)) SET b = 'x'"));
        conn->exec(QStringLiteral("CREATE FUNCTION odd_fn(a INT) RETURNS INT RETURN a + 1"));
        EXPECT_EQ(callOf(QStringLiteral("odd proc")),
                  QStringLiteral("CALL %1.`odd proc`('a', @b)").arg(catalog));
        EXPECT_EQ(callOf(QStringLiteral("odd_fn")), QStringLiteral("SELECT %1.odd_fn('a')").arg(catalog));
    }
    for (const QString& name : isPostgres()
                                   ? QStringList{QStringLiteral("Odd Fn"), QStringLiteral("odd_proc")}
                                   : QStringList{QStringLiteral("odd proc"), QStringLiteral("odd_fn")})
        run(callOf(name));
}

INSTANTIATE_TEST_SUITE_P(Backends, GeneratedStatementsTest, ::testing::ValuesIn(kTestBackends), byLabel);
