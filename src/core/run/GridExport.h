#pragma once
// The grid's file format: one line per grid row, the header row (an empty
// corner cell, then the field names) first, every data row led by its record
// number; every cell in double quotes, with quotes inside a cell doubled so
// the file reads back correctly; lines end with CR LF. NULL is empty text.

#include "base/Result.h"
#include "db/Field.h"
#include "db/RowBlock.h"

#include <QByteArray>
#include <QString>

#include <vector>

class ResultModel;

namespace gridexport {

struct Format {
    char separator = ',';
};
inline constexpr Format kCsv{','};
inline constexpr Format kTab{'\t'};

// The format for a chosen file name: ".csv" or ".tab" in any case decide;
// any other ending takes the format of the filter the user picked.
Format formatFor(const QString& fileName, const Format& chosenFilter);

void appendCell(QByteArray& out, std::string_view text);
void appendHeader(QByteArray& out, const std::vector<db::Field>& fields, const Format& format);
void appendRow(QByteArray& out, qint64 recordNumber, const db::RowBlock& block, int row, const Format& format);

// Writes the whole grid to path atomically: a failed write (read-only folder,
// full disk) leaves any old file in place and says why.
Status writeFile(const ResultModel& grid, const QString& path, const Format& format);

} // namespace gridexport
