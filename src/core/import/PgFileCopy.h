#pragma once
// The PostgreSQL import that sends the file's own bytes. When the file's
// fields are the table's columns one for one and in order, the file is
// UTF-8, its delimiter, quote and NULL marker can be said as COPY options
// and bad rows are to stop the import, COPY … FROM STDIN (FORMAT csv) reads
// the file as it is: nothing is parsed or re-encoded here, which is what
// keeps a large import as fast as the server's own client. Everything else
// goes through the reader (BatchReader) and the text format.

#include "import/CsvFormat.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace db {
class PgConnection;
}

class SqlDialect;

namespace csv {

struct ImportRequest;

// The COPY statement that reads the request's file into table (quoted) and
// columns (quoted, in the request's order), or none when the file has to be
// read here. Options are string literals of the dialect, never pasted text.
std::optional<QString> fileCopyStatement(const ImportRequest& request, const SqlDialect& dialect, const QString& table,
                                         const QStringList& columns);

struct FileCopyProgress {
    qint64 bytesRead = 0;
    qint64 rows = 0; // records sent, header included
};

// Runs statement (from fileCopyStatement) on conn with the file's bytes as
// its input, in large pieces, leaving out a UTF-8 byte-order mark and the
// blank lines at the file's end (COPY would take them for rows). progress is
// called as each piece is read (what it throws ends the copy and goes on).
// Returns the rows copied. Throws db::Error; a
// cancel of the connection ends the copy. When the server names the line a
// refused record ends on, position().row is that line of the file, from 0.
qint64 copyFile(db::PgConnection& conn, const QString& statement, const QString& file, const Format& format,
                const std::function<void(const FileCopyProgress&)>& progress);

// The line (from 1) where the record that holds line `line` of the file
// starts: a record with line breaks in quoted fields spans several lines.
qint64 recordStartLine(const QString& file, const Format& format, qint64 line);

} // namespace csv
