#pragma once
// What the statement around the caret expects there, read from its tokens
// (SqlLexer) and nothing else: a table name (after FROM, JOIN, INTO, UPDATE,
// TABLE), an expression whose columns come from the statement's tables
// (after SELECT, WHERE, ON, GROUP BY, ORDER BY, SET, an operator or a comma),
// or a keyword; the names written before the word ("o." or
// "sales.orders."); and the tables the caret's query can see, with the
// aliases the statement gives them, its WITH queries and its subqueries in
// FROM (whose columns are the names of their select lists).
//
// Only the statement around the caret is lexed; inside a BEGIN … END block
// the part between the ';' before and after the caret counts. A caret in a
// comment, a string, a $$ body or a number expects nothing.

#include "script/StatementSplitter.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace assist {

enum class Expect { Nothing, Keywords, Tables, Columns };

// A table as the statement names it.
struct TableRef {
    QStringList path; // the name's parts without quotes: {"sales", "orders"}, {"orders"}
    QString alias;    // empty when it has none
    // A WITH query or a subquery in FROM: its column names come from its
    // select list (or its column list), not from the catalogue.
    bool derived = false;
    QStringList columns;
    // Tables whose columns a "*" (or "t.*") in that select list brings in.
    std::vector<TableRef> starSources;

    QString name() const { return path.isEmpty() ? QString() : path.last(); }
    QString schema() const { return path.size() > 1 ? path[path.size() - 2] : QString(); }
    // What the statement calls it: the alias, else the table's own name.
    QString visibleName() const { return alias.isEmpty() ? name() : alias; }
};

struct StatementContext {
    Expect expect = Expect::Keywords;
    QStringList qualifier;   // the names before the word, outermost first; empty when none
    QString prefix;          // what is typed of the word, without an opening quote
    qsizetype wordStart = 0; // where the word begins in the script (an opening quote included)
    QChar quote;             // the quote the word was opened with; null when none
    QString previousWord;    // the word before it (and its qualifier) in upper case, if a word; "IS NOT" for two
    // The tables the caret's query sees: its own first, then those of the
    // queries around it (a correlated subquery sees the outer tables).
    std::vector<TableRef> tables;
    std::vector<TableRef> ctes; // the WITH queries visible at the caret

    // The table that name (an alias, a WITH query or a table's own name)
    // stands for, without regard to case; nullptr when the statement has none.
    const TableRef* resolve(const QString& name) const;
};

// The context at caret (an offset into script) in statement, the range the
// caret belongs to (StatementIndex::statementAround gives it).
StatementContext analyzeStatement(QStringView script, const script::StatementRange& statement, qsizetype caret,
                                  script::Dialect dialect = script::Dialect::Generic);

// The same, finding the statement by splitting the whole script (tests, small scripts).
StatementContext analyzeAt(QStringView script, qsizetype caret,
                           script::Dialect dialect = script::Dialect::Generic);

// A name token without its quotes ("a""b" is a"b, [x]]y] is x]y); other tokens as written.
QString unquotedName(QStringView token);

} // namespace assist
