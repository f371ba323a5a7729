#pragma once
// The text form of results and the texts a run writes: each result set as a
// header line of field names, a line of dashes, and one line per row, every
// cell padded to the field's precision + 5 characters; a value longer than
// that shows as much of itself as fits, then "..." and a blank, so the
// columns stay aligned. Plus the trailers and closing messages. Lines end
// with CR LF.

#include "db/Field.h"
#include "db/RowBlock.h"

#include <QString>

#include <vector>

namespace run {

int columnWidth(const db::Field& field);
std::vector<int> columnWidths(const std::vector<db::Field>& fields);
// The widths of a result set whose first rows are known: a field whose type
// declares no size takes the widest of its name and its values among those
// rows (at most 255) + 5 instead of 255 + 5.
std::vector<int> columnWidths(const std::vector<db::Field>& fields, const db::RowBlock& firstRows);

QString headerBlock(const std::vector<db::Field>& fields);
QString headerBlock(const std::vector<db::Field>& fields, const std::vector<int>& widths);
// Appends row `row` of the block as one line (CR LF included). NULL is an empty cell.
void appendRow(QString& out, const db::RowBlock& block, int row, const std::vector<int>& widths);
// The same line without its CR LF.
void appendLine(QString& out, const db::RowBlock& block, int row, const std::vector<int>& widths);
// The same line, CR LF included, as UTF-8: the bytes of appendRow's text.
// Written in place: out keeps its capacity, so a reused array allocates
// nothing per row.
void appendRowUtf8(QByteArray& out, const db::RowBlock& block, int row, const std::vector<int>& widths);
// Every row of the block that way.
void appendRowsUtf8(QByteArray& out, const db::RowBlock& block, const std::vector<int>& widths);
// The longest a row line of these widths can be (UTF-16 units, no CR LF).
qsizetype maxLineLength(const std::vector<int>& widths);

QString rowLimitNotice(qint64 limit);   // "\r\n...Rowcount = N..."
QString cancelNotice();                 // "\r\n...Query cancelled by User...\r\n"
QString setTrailer(qint64 rows);        // "\r\n\r\nN  Row(s) affected\r\n\r\n"
QString successMessage(qint64 rows);    // "Success\r\n\r\nN  Row(s) affected"
QString cancelledMessage(qint64 rows);  // "\r\n...Query cancelled by User...\r\n\r\nN  Row(s) affected"
QString affectedMessage(qint64 count);  // "N Row(s) affected."
QString errorMessage(int number, const QString& description); // "Error: #N\r\ndescription"
QString noConnectionMessage();          // "Error: No Connection..."
QString nothingToDoMessage();           // "Nothing to do but wait for something to execute :/"
QString rowsStatus(qint64 rows);        // "N Rows"

// Elapsed time as hours, minutes and seconds, two digits at least each: 00:01:05.
QString elapsedText(qint64 milliseconds);

} // namespace run
