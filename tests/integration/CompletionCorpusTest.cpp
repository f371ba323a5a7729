// Completion on a corpus of caret positions in real-looking statements
// (tests/data/completion-corpus.txt) against the catalogues of a real SQLite
// file, PostgreSQL database and MariaDB server: what the statement expects
// at the caret, read with the keyword catalogue and the server's names, must
// give the corpus's first candidates. Names that need quotes are inserted
// quoted for each server.
#include "assist/CompletionCandidates.h"
#include "assist/KeywordCatalogue.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "store/HomeSeeding.h"
#include "support/TempHome.h"
#include "support/TestServers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace assist;

namespace {

const QString kDatabase = QStringLiteral("sqlqe_assist");

struct CorpusLine {
    int line = 0;
    QStringList backends;
    QString script;
    qsizetype caret = 0;
    QStringList expected;
};

std::vector<CorpusLine> readCorpus() {
    QFile f(QStringLiteral(SQLQE_TEST_DATA "/completion-corpus.txt"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
    std::vector<CorpusLine> out;
    int number = 0;
    for (const QString& raw : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        ++number;
        if (!raw.startsWith(QLatin1Char('['))) continue; // comments and blank lines
        CorpusLine c;
        c.line = number;
        const qsizetype close = raw.indexOf(QLatin1Char(']'));
        const qsizetype arrow = raw.lastIndexOf(QStringLiteral(" => "));
        c.backends = raw.mid(1, close - 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        c.script = raw.mid(close + 2, arrow - close - 2).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        c.caret = c.script.indexOf(QLatin1Char('|'));
        c.script.remove(c.caret, 1);
        const QString expected = raw.mid(arrow + 4).trimmed();
        if (expected != QLatin1String("-")) c.expected = expected.split(QStringLiteral(", "));
        out.push_back(c);
    }
    return out;
}

// The catalogue read as the cache would read it, but at once.
class LoadedCatalog : public CatalogView {
public:
    explicit LoadedCatalog(QString cs) : cs_(std::move(cs)) {}

    const CatalogTables* tables() const override { return tables_ ? &*tables_ : nullptr; }
    const std::vector<CatalogTable>* tablesIn(const QString& schema) const override {
        const auto it = tablesIn_.find(schema.toLower());
        return it == tablesIn_.end() ? nullptr : &it->second;
    }
    const QStringList* columns(const ColumnSource& s) const override {
        const auto it = columns_.find(key(s));
        return it == columns_.end() ? nullptr : &it->second;
    }

    // Builds the candidates, reading what they need until nothing is missing.
    Candidates candidates(const StatementContext& ctx, const Vocabulary& vocabulary) {
        for (;;) {
            Candidates c = buildCandidates(ctx, *this, vocabulary);
            if (c.complete()) return c;
            if (c.needsTables) tables_ = assist::readTables(cs_).value();
            for (const QString& s : std::as_const(c.needsTablesIn))
                tablesIn_[s.toLower()] = assist::readTablesIn(cs_, s).value();
            for (const ColumnSource& s : c.needsColumns)
                columns_[key(s)] = assist::readColumns(cs_, s.database, s.schema, s.table).valueOr({});
        }
    }

private:
    static QString key(const ColumnSource& s) { return s.database + QChar(1) + s.schema + QChar(1) + s.table; }

    QString cs_;
    std::optional<CatalogTables> tables_;
    std::map<QString, std::vector<CatalogTable>> tablesIn_;
    std::map<QString, QStringList> columns_;
};

// The first candidates of the list for what is typed, as the popup shows them.
QStringList firstCandidates(const Candidates& c, const QString& prefix, int n) {
    QStringList out;
    for (const Candidate& e : c.items)
        if (e.text.startsWith(prefix, Qt::CaseInsensitive) && out.size() < n) out << e.text;
    return out;
}

const char* const kTables[] = {
    "CREATE TABLE customers (id int PRIMARY KEY, name text, country text, vip boolean)",
    "CREATE TABLE orders (id int PRIMARY KEY, customer int, amount numeric(10,2), note text, created date)",
    "CREATE TABLE items (order_id int, product text, qty int, price numeric(10,2))",
    "CREATE TABLE {Mixed Case} (id int, {Odd Col} text, value int)",
    "CREATE TABLE {Odd Table's} (id int, {select} text, {emoji ☕} text)",
    "CREATE VIEW big_orders AS SELECT id, amount FROM orders WHERE amount > 1000",
};

class CompletionCorpusTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        store::ensureSeeded();
        vocabulary.words = assist::loadWordLists().value();
        vocabulary.functionHelp = assist::loadHelp(WordClass::Function).value();
    }

    // The corpus's catalogue on the backend; its connection string.
    QString makeCatalogue(const QString& serverCs) {
        const TestBackend& b = GetParam();
        const QChar open = b.server == &kMariaDb ? QLatin1Char('`') : QLatin1Char('"');
        auto quoted = [&](const char* sql) {
            return QString::fromUtf8(sql).replace(QLatin1Char('{'), open).replace(QLatin1Char('}'), open);
        };
        QString cs = serverCs;
        if (b.server) {
            auto admin = db::Connection::open(serverCs);
            if (b.server == &kPostgres) {
                if (admin->query(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"), {kDatabase}).rows.empty())
                    admin->exec(QStringLiteral("CREATE DATABASE ") + kDatabase);
            } else {
                admin->exec(QStringLiteral("DROP DATABASE IF EXISTS ") + kDatabase);
                admin->exec(QStringLiteral("CREATE DATABASE ") + kDatabase + QStringLiteral(" CHARACTER SET utf8mb4"));
                admin->exec(QStringLiteral("DROP DATABASE IF EXISTS sales"));
                admin->exec(QStringLiteral("CREATE DATABASE sales CHARACTER SET utf8mb4"));
            }
            db::ConnectionString s(serverCs);
            s.set(QStringLiteral("Database"), kDatabase);
            cs = s.toString();
        }
        auto conn = db::Connection::open(cs);
        if (b.server == &kPostgres) {
            conn->exec(QStringLiteral("DROP SCHEMA IF EXISTS sales CASCADE"));
            conn->exec(QStringLiteral("DROP SCHEMA public CASCADE"));
            conn->exec(QStringLiteral("CREATE SCHEMA public"));
        }
        for (const char* sql : kTables)
            conn->exec(quoted(sql));
        if (b.server) {
            if (b.server == &kPostgres) conn->exec(QStringLiteral("CREATE SCHEMA sales"));
            conn->exec(QStringLiteral("CREATE TABLE sales.orders (id int, amount numeric(10,2), note text)"));
            conn->exec(QStringLiteral("CREATE TABLE sales.targets (region text, goal numeric(10,2))"));
        }
        return cs;
    }

    const char* tag() const {
        return GetParam().server == &kPostgres ? "pg" : GetParam().server == &kMariaDb ? "maria" : "sqlite";
    }
    script::Dialect dialect() const {
        return GetParam().server == &kMariaDb ? script::Dialect::MySql : script::Dialect::Generic;
    }

    TempHome home;
    QTemporaryDir dir;
    Vocabulary vocabulary;
};

} // namespace

TEST_P(CompletionCorpusTest, TheCorpusGetsItsFirstCandidates) {
    QString serverCs;
    SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("corpus.db")), serverCs);
    const QString cs = makeCatalogue(serverCs);
    LoadedCatalog catalogue(cs);
    int checked = 0;
    for (const CorpusLine& c : readCorpus()) {
        if (!c.backends.contains(QLatin1String("all")) && !c.backends.contains(QLatin1String(tag()))) continue;
        const StatementContext ctx = analyzeAt(c.script, c.caret, dialect());
        const Candidates candidates = catalogue.candidates(ctx, vocabulary);
        const int n = std::max(1, int(c.expected.size()));
        EXPECT_EQ(firstCandidates(candidates, ctx.prefix, n), c.expected)
            << "line " << c.line << ": " << c.script.toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 150);
}

TEST_P(CompletionCorpusTest, NamesAreInsertedQuotedForTheServer) {
    QString serverCs;
    SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("quotes.db")), serverCs);
    const QString cs = makeCatalogue(serverCs);
    LoadedCatalog catalogue(cs);
    const QChar q = GetParam().server == &kMariaDb ? QLatin1Char('`') : QLatin1Char('"');
    auto insertOf = [&](const char* script, const QString& text) {
        QString s = QString::fromUtf8(script).replace(QLatin1Char('"'), q);
        const qsizetype caret = s.indexOf(QLatin1Char('|'));
        s.remove(caret, 1);
        for (const Candidate& c : catalogue.candidates(analyzeAt(s, caret, dialect()), vocabulary).items)
            if (c.text == text) return c.insert;
        return QStringLiteral("(not offered)");
    };
    const QString mixed = q + QStringLiteral("Mixed Case") + q;
    EXPECT_EQ(insertOf("SELECT * FROM |", QStringLiteral("Mixed Case")), mixed);
    EXPECT_EQ(insertOf("SELECT * FROM |", QStringLiteral("Odd Table's")), q + QStringLiteral("Odd Table's") + q);
    EXPECT_EQ(insertOf("SELECT * FROM |", QStringLiteral("orders")), QStringLiteral("orders"));
    EXPECT_EQ(insertOf("SELECT x.| FROM \"Odd Table's\" x", QStringLiteral("select")), q + QStringLiteral("select") + q);
    EXPECT_EQ(insertOf("SELECT x.| FROM \"Odd Table's\" x", QStringLiteral("emoji ☕")),
              q + QStringLiteral("emoji ☕") + q);
    EXPECT_EQ(insertOf("SELECT m.| FROM \"Mixed Case\" m", QStringLiteral("id")), QStringLiteral("id"));
    EXPECT_EQ(insertOf("SELECT m.| FROM \"Mixed Case\" m", QStringLiteral("value")), q + QStringLiteral("value") + q); // reserved
    if (GetParam().server == &kPostgres) { // not on the search path: written with its schema
        EXPECT_EQ(insertOf("SELECT * FROM |", QStringLiteral("sales.orders")), QStringLiteral("sales.orders"));
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, CompletionCorpusTest, ::testing::ValuesIn(kTestBackends), byLabel);
