#pragma once
// Where exported rows go, a block at a time: a file in one of the export
// formats (written atomically) or a stream such as standard output. The
// grid's "Save as…", its copy commands and the runner all write through a
// RowSink, so the same rows give the same bytes everywhere.
//
// Rows are written as they come and not kept: an export of a million rows
// holds one block at a time. The first failure (a full disk, a closed
// pipe, a value the format cannot hold) is returned by that call and by
// every call after it; a file sink then removes what it wrote, and so does
// a file sink destroyed before finish(). The target file appears only when
// finish() succeeds.

#include "base/Result.h"
#include "db/Field.h"
#include "db/RowBlock.h"
#include "export/ExportFormat.h"
#include "export/ExportOptions.h"

#include <QString>
#include <cstdio>
#include <memory>
#include <vector>

namespace exports {

class RowSink {
public:
    virtual ~RowSink() = default;
    // A result set starts (the one before it, if any, ends).
    virtual Status beginSet(const std::vector<db::Field>& fields) = 0;
    virtual Status writeRows(const db::RowBlock& rows) = 0;
    // Hands on what is buffered, so a reader of a stream sees the rows so far.
    virtual Status flush() { return {}; }
    // Ends the last set and the output: a file is put in place.
    virtual Status finish() = 0;
};

// A sink writing format to the file at path. Fails when the folder cannot
// take the file (missing, read-only, a read-only file of that name).
Result<std::unique_ptr<RowSink>> openFile(Format format, const QString& path, const ExportOptions& options);

// A sink writing a text format to stream (not closed at the end). Null for
// a format that is not text (XLSX).
std::unique_ptr<RowSink> openStream(Format format, std::FILE* stream, const ExportOptions& options);

} // namespace exports
