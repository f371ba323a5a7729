#pragma once
// How an export writes what the format leaves open. The defaults are the
// command-line clients' conventions, and the runner always uses them, so a
// file saved with defaults is byte for byte what the runner prints.

#include "catalog/SqlDialect.h"

#include <QString>
#include <QStringList>

namespace exports {

enum class LineEnd { Lf, CrLf };

struct ExportOptions {
    // A first row (CSV, TSV, Markdown, HTML, XLSX) or keys (JSON: objects,
    // else arrays) or a column list (SQL INSERT) naming the columns.
    bool header = true;
    // A first column "#" with each row's number in its result set (not in SQL INSERT).
    bool rowNumbers = false;
    LineEnd lineEnd = LineEnd::Lf;
    // NULL in CSV, TSV, Markdown and HTML (empty: nothing). A text equal to
    // it is quoted in CSV and TSV, so it reads back as text.
    QString nullText;
    // SQL INSERT: the table, written as given when it reads as a name (a
    // dotted or quoted one too), else quoted; empty: "result".
    QString tableName;
    // SQL INSERT: the table of the n-th result set, where known (it wins
    // over tableName unless empty).
    QStringList setTableNames;
    // SQL INSERT: how names are quoted and literals written.
    SqlDialect dialect;
};

// The table SQL INSERT writes into when none is given.
inline const QString kDefaultTable = QStringLiteral("result");

} // namespace exports
