#include "export/XlsxSink.h"

#include "export/XlsxLibrary.h"

#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace exports {

namespace {
constexpr unsigned kSheetRows = LXW_ROW_MAX;
constexpr int kSheetColumns = LXW_COL_MAX;
} // namespace

XlsxSink::XlsxSink(const ExportOptions& options) : options_(options) {}

XlsxSink::~XlsxSink() {
    if (book_) lib_->lxw_workbook_free(book_); // never closed: nothing is written
}

Result<std::unique_ptr<RowSink>> XlsxSink::open(const QString& path, const ExportOptions& options) {
    const XlsxLibrary* lib = xlsx();
    if (!lib) return fail(xlsxLoadError());
    std::unique_ptr<XlsxSink> sink(new XlsxSink(options));
    sink->lib_ = lib;
    sink->path_ = path;
    if (Status s = sink->file_.open(path, settings::kShared); !s) return fail(s.error());
    // Its own temporary files (a sheet's rows until the end) go beside the target.
    sink->tmpdir_ = QFile::encodeName(QFileInfo(sink->file_.temporaryPath()).absolutePath());
    lxw_workbook_options lxw{};
    lxw.constant_memory = LXW_TRUE;
    lxw.tmpdir = sink->tmpdir_.data();
    lxw.use_zip64 = LXW_TRUE;
    const QByteArray name = QFile::encodeName(sink->file_.temporaryPath());
    sink->book_ = lib->workbook_new_opt(name.constData(), &lxw);
    if (!sink->book_)
        return fail(QStringLiteral("Cannot write %1: the workbook could not be created.").arg(path));
    sink->bold_ = lib->workbook_add_format(sink->book_);
    lib->format_set_bold(sink->bold_);
    std::unique_ptr<RowSink> result = std::move(sink);
    return result;
}

Status XlsxSink::failWith(const QString& message) {
    failure_ = fail(message);
    file_.discard();
    return failure_;
}

Status XlsxSink::check(int error, int column) {
    if (error == LXW_NO_ERROR) return {};
    const QString name =
        column >= 0 && column < int(fields_.size()) ? fields_[size_t(column)].name : QString();
    if (error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
        return failWith(
            QStringLiteral("Row %1 of column \"%2\" holds more than the 32,767 characters a workbook cell "
                           "can take; nothing was saved. Save as CSV or JSON to keep the whole value.")
                .arg(rowNumber_)
                .arg(name));
    return failWith(QStringLiteral("The workbook could not be written: %1.")
                        .arg(QString::fromUtf8(lib_->lxw_strerror(lxw_error(error)))));
}

Status XlsxSink::checkRowsWritten(bool sheetDone) {
    if (!sheet_ || !sheet_->optimize_tmpfile) return {};
    // The row being filled goes out only when the next one starts (or at
    // close): push the last one out while its write can still be checked.
    if (sheetDone) lib_->lxw_worksheet_write_single_row(sheet_);
    if (std::fflush(sheet_->optimize_tmpfile) != 0 || std::ferror(sheet_->optimize_tmpfile)) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno ? errno : EIO));
        return failWith(QStringLiteral("Cannot write %1: %2").arg(path_, why));
    }
    return {};
}

Status XlsxSink::startSheet() {
    if (Status s = checkRowsWritten(true); !s) return s;
    ++sheetsOfSet_;
    QString name = QStringLiteral("Result %1").arg(sets_);
    if (sheetsOfSet_ > 1) name += QStringLiteral(" (%1)").arg(sheetsOfSet_);
    sheet_ = lib_->workbook_add_worksheet(book_, name.toUtf8().constData());
    if (!sheet_) return failWith(QStringLiteral("The workbook could not take another sheet."));
    row_ = 0;
    if (!options_.header) return {};
    int column = 0;
    if (options_.rowNumbers)
        if (Status s = check(lib_->worksheet_write_string(sheet_, 0, lxw_col_t(column++), "#", bold_), -1); !s)
            return s;
    for (size_t c = 0; c < fields_.size(); ++c) {
        const QByteArray text = fields_[c].name.toUtf8();
        if (Status s = check(lib_->worksheet_write_string(sheet_, 0, lxw_col_t(column++), text.constData(), bold_),
                             int(c));
            !s)
            return s;
    }
    lib_->worksheet_freeze_panes(sheet_, 1, 0);
    row_ = 1;
    return {};
}

Status XlsxSink::beginSet(const std::vector<db::Field>& fields) {
    if (!failure_) return failure_;
    if (int(fields.size()) + (options_.rowNumbers ? 1 : 0) > kSheetColumns)
        return failWith(
            QStringLiteral("The result has %1 columns; a workbook sheet holds at most %2. Save as CSV or "
                           "JSON instead.")
                .arg(fields.size())
                .arg(kSheetColumns));
    fields_ = fields;
    kinds_.clear();
    for (const db::Field& f : fields)
        kinds_.push_back(valueKind(f));
    ++sets_;
    sheetsOfSet_ = 0;
    rowNumber_ = 0;
    return startSheet();
}

Status XlsxSink::writeRows(const db::RowBlock& rows) {
    if (!failure_ || !sheet_) return failure_;
    const lxw_col_t first = options_.rowNumbers ? 1 : 0;
    for (int r = 0; r < rows.rowCount(); ++r) {
        if (row_ >= kSheetRows)
            if (Status s = startSheet(); !s) return s;
        ++rowNumber_;
        if (options_.rowNumbers) lib_->worksheet_write_number(sheet_, row_, 0, double(rowNumber_), nullptr);
        for (int c = 0; c < rows.columnCount(); ++c) {
            if (rows.isNull(r, c)) continue; // an empty cell
            const std::string_view text = rows.text(r, c);
            const lxw_col_t column = lxw_col_t(first + lxw_col_t(c));
            const ValueKind kind = kinds_[size_t(c)];
            int error = LXW_NO_ERROR;
            if (kind == ValueKind::Boolean && booleanValue(text)) {
                error = lib_->worksheet_write_boolean(sheet_, row_, column, *booleanValue(text), nullptr);
            } else if (const auto number = kind == ValueKind::Number ? exactDouble(text) : std::nullopt) {
                error = lib_->worksheet_write_number(sheet_, row_, column, *number, nullptr);
            } else {
                scratch_.assign(text);
                error = lib_->worksheet_write_string(sheet_, row_, column, scratch_.c_str(), nullptr);
            }
            if (error != LXW_NO_ERROR)
                if (Status s = check(error, c); !s) return s;
        }
        ++row_;
    }
    return checkRowsWritten(false);
}

Status XlsxSink::finish() {
    if (!failure_ || !book_) return failure_;
    if (sets_ == 0) // a workbook needs a sheet: an empty one for no result
        if (Status s = beginSet({}); !s) return s;
    if (Status s = checkRowsWritten(true); !s) return s;
    const lxw_error error = lib_->workbook_close(book_);
    book_ = nullptr;
    if (error != LXW_NO_ERROR) return check(error, -1);
    failure_ = file_.commit();
    return failure_;
}

} // namespace exports
