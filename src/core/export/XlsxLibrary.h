#pragma once
// libxlsxwriter, loaded the first time a workbook is saved: the editor
// starts and idles without it and its zip and crypto libraries in memory
// (about 1.6 MB of pages that every start would touch), and a machine
// without it still saves every other format. Calls go through the table:
// xlsx()->workbook_new_opt(...).

#include <xlsxwriter.h>

#include <QString>

namespace exports {

#define SQLQE_XLSX_FUNCTIONS(X)                                                                                    \
    X(format_set_bold) X(lxw_strerror) X(lxw_workbook_free) X(lxw_worksheet_write_single_row)                      \
    X(workbook_add_format) X(workbook_add_worksheet) X(workbook_close) X(workbook_new_opt)                         \
    X(worksheet_freeze_panes) X(worksheet_write_boolean) X(worksheet_write_number) X(worksheet_write_string)

#define SQLQE_XLSX_DECLARE(name) decltype(&::name) name = nullptr;
struct XlsxLibrary {
    SQLQE_XLSX_FUNCTIONS(SQLQE_XLSX_DECLARE)
};
#undef SQLQE_XLSX_DECLARE

// The loaded library (once, kept for the life of the process), or nullptr
// when it cannot be loaded; then xlsxLoadError() says why, for the user.
const XlsxLibrary* xlsx();
QString xlsxLoadError();
// Whether the library is in the process yet (tests: a start does not load it).
bool xlsxLoaded();

} // namespace exports
