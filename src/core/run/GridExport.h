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

namespace run {

struct GridFormat {
    char separator = ',';
};
inline constexpr GridFormat kCsv{','};
inline constexpr GridFormat kTab{'\t'};

// The format for a chosen file name: ".csv" or ".tab" in any case decide;
// any other ending takes the format of the filter the user picked.
GridFormat gridFormatFor(const QString& fileName, const GridFormat& chosenFilter);

void appendGridCell(QByteArray& out, std::string_view text);
void appendGridHeader(QByteArray& out, const std::vector<db::Field>& fields, const GridFormat& format);
void appendGridRow(QByteArray& out, qint64 recordNumber, const db::RowBlock& block, int row, const GridFormat& format);

// Writes the whole grid to path atomically: a failed write (read-only folder,
// full disk) leaves any old file in place and says why.
Status writeGridFile(const ResultModel& grid, const QString& path, const GridFormat& format);

} // namespace run
