#pragma once
// The entries completion offers at the caret, in order, from what the
// statement expects there (StatementContext), the catalogue read so far and
// the keyword catalogue:
//   a table's place    the WITH queries, tables and views (with their schema
//                      where a bare name does not find them), then schemas;
//                      after "schema." (or "database." on MariaDB) its tables
//   an expression      the columns of the statement's tables, then functions
//                      (with their signature and help), then keywords
//   after "name."      the columns of the table, alias or WITH query so named,
//                      else the tables of the schema so named
//   elsewhere          the keywords, operators, functions and data types
// Names are inserted quoted where the server's dialect needs it. What the
// catalogue has not read yet is reported, so the caller can read it and ask
// again.

#include "assist/CompletionCatalog.h"
#include "assist/KeywordCatalogue.h"
#include "assist/StatementContext.h"

#include <QHash>
#include <vector>

namespace assist {

struct Candidate {
    QString text;   // as listed
    QString insert; // as written into the script
    Kind kind = Kind::Keyword;
    QString detail; // a function's signature (HTML fragment)
    QString help;   // its description from the keyword catalogue (HTML fragment)
};

// A table as completion lists it (with its schema where a bare name does
// not find it) and writes it (each part quoted as the dialect needs).
Candidate tableCandidate(const CatalogTable& table, const SqlDialect& dialect);

// Which table's columns: the database to read them from (empty: the
// connection's), the schema (empty: the one a bare name finds) and the table.
struct ColumnSource {
    QString database;
    QString schema;
    QString table;
    bool operator==(const ColumnSource& o) const {
        return database == o.database && schema == o.schema && table == o.table;
    }
};

// What the builder may look at; nullptr where a list has not been read.
class CatalogView {
public:
    virtual ~CatalogView() = default;
    virtual const CatalogTables* tables() const = 0;
    virtual const std::vector<CatalogTable>* tablesIn(const QString& schema) const = 0;
    virtual const QStringList* columns(const ColumnSource& source) const = 0;
};

// The words of the keyword catalogue and the help of its functions (by lower-case name).
struct Vocabulary {
    WordLists words;
    QHash<QString, KeywordHelp> functionHelp;
};

struct Candidates {
    std::vector<Candidate> items;
    // What is missing for a full list; it is complete when all are empty.
    bool needsTables = false;
    QStringList needsTablesIn;
    std::vector<ColumnSource> needsColumns;

    bool complete() const { return !needsTables && needsTablesIn.isEmpty() && needsColumns.empty(); }
    // The first entry that begins with prefix (without regard to case), or -1.
    int firstMatch(const QString& prefix) const;
};

// database: the database the document has chosen (empty: the connection's default).
Candidates buildCandidates(const StatementContext& context, const CatalogView& catalog,
                           const Vocabulary& vocabulary, const QString& database = QString());

} // namespace assist
