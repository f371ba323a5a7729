#pragma once
// A text export format: turns result sets, a block of rows at a time, into
// bytes appended to a buffer. It keeps no rows: what it is handed goes out
// at once, so an export of any size needs memory for one block only. The
// same object writes a file for the editor and standard output for the
// runner, so both give the same bytes for the same rows.
//
// Calls come in this order: beginSet, appendRows (any number of times),
// endSet, then beginSet of the next set or endDocument. Row numbers count
// from 1 in each set.

#include "db/Field.h"
#include "db/RowBlock.h"
#include "export/ExportFormat.h"
#include "export/ExportOptions.h"

#include <QByteArray>
#include <memory>
#include <vector>

namespace exports {

class TextFormat {
public:
    explicit TextFormat(const ExportOptions& options);
    virtual ~TextFormat() = default;

    void beginSet(QByteArray& out, const std::vector<db::Field>& fields);
    virtual void appendRows(QByteArray& out, const db::RowBlock& rows) = 0;
    virtual void endSet(QByteArray& out) { (void)out; }
    virtual void endDocument(QByteArray& out) { (void)out; }

protected:
    // Writes the start of a set; setIndex counts from 0 (a second set may
    // need a separator first).
    virtual void startSet(QByteArray& out, int setIndex) = 0;

    // Room in out for row in the worst case: fixed bytes, and for every
    // cell perByte bytes for each of its text (or of the NULL text) and perCell.
    char* rowRoom(QByteArray& out, const db::RowBlock& rows, int row, size_t perByte, size_t perCell,
                  size_t fixed) const;

    const ExportOptions options_;
    const QByteArray eol_;          // the line end
    const QByteArray null_;         // the NULL text
    std::vector<db::Field> fields_; // of the current set
    qint64 rowNumber_ = 0;          // of the last row written in the set
    int sets_ = 0;                  // sets begun so far
};

// The text format for format (nullptr for a format that is not text: XLSX).
std::unique_ptr<TextFormat> makeTextFormat(Format format, const ExportOptions& options);

} // namespace exports
