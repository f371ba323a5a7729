#pragma once
// A RowSink writing an Excel workbook (libxlsxwriter, in its constant-memory
// mode: each row goes to a temporary file as it comes, so a million rows do
// not stay in memory). One sheet per result set ("Result 1", …), a bold
// header row; a set longer than a sheet's 1,048,576 rows goes on in a
// further sheet with the header again. Numbers of number columns are
// numbers when a double holds them exactly (at most 15 digits), else text;
// booleans are booleans; NULL is an empty cell; everything else is text.
// A value longer than a cell's 32,767 characters, or more columns than a
// sheet's 16,384, ends the export with a message: nothing is cut short.

#include "export/RowSink.h"
#include "export/ValueText.h"
#include "settings/AtomicFile.h"

#include <string>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace exports {

struct XlsxLibrary;

class XlsxSink : public RowSink {
public:
    static Result<std::unique_ptr<RowSink>> open(const QString& path, const ExportOptions& options);
    ~XlsxSink() override;

    Status beginSet(const std::vector<db::Field>& fields) override;
    Status writeRows(const db::RowBlock& rows) override;
    Status finish() override;

private:
    explicit XlsxSink(const ExportOptions& options);
    Status startSheet();
    // libxlsxwriter writes a sheet's rows to a temporary file without
    // checking the writes, so a full disk would give a workbook with rows
    // missing: the rows are pushed out and the file checked here (the
    // sheet's last row too when sheetDone).
    Status checkRowsWritten(bool sheetDone);
    Status failWith(const QString& message);
    Status check(int error, int column);

    const ExportOptions options_;
    const XlsxLibrary* lib_ = nullptr; // loaded by open()
    QString path_;
    settings::AtomicStreamFile file_;
    QByteArray tmpdir_;
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;
    std::vector<db::Field> fields_;
    std::vector<ValueKind> kinds_;
    int sets_ = 0;
    int sheetsOfSet_ = 0;
    unsigned row_ = 0;     // the next row of the sheet
    qint64 rowNumber_ = 0; // rows of the set so far
    std::string scratch_;  // a cell's text with its terminating NUL
    Status failure_;
};

} // namespace exports
