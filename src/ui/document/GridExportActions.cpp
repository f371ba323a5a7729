#include "document/GridExportActions.h"

#include "common/Dialogs.h"
#include "document/ResultGrid.h"
#include "export/ResultExport.h"
#include "run/ResultModel.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>

namespace document {
namespace {

const QString kCsvCrLf = QStringLiteral("CSV, CR LF line ends (*.csv)");
const QString kTsvCrLf = QStringLiteral("Tab-separated values, CR LF line ends (*.tsv)");

// The INSERT's table: asked, offering defaultTable; nullopt when cancelled.
std::optional<QString> askTable(QWidget* parent, const QString& defaultTable, const QString& title) {
    return Dialogs::get().input(parent, QStringLiteral("Table the INSERT statements write into:"), title,
                                defaultTable.isEmpty() ? exports::kDefaultTable : defaultTable);
}

exports::ExportOptions baseOptions() {
    exports::ExportOptions options;
    options.nullText = settings::current().text(settings::Key::ExportNullText);
    return options;
}

} // namespace

QStringList saveFilters() {
    QStringList filters = exports::fileDialogFilters().split(QStringLiteral(";;"));
    filters << kCsvCrLf << kTsvCrLf;
    return filters;
}

bool copyAs(QWidget* parent, ResultGrid* grid, exports::Format format, bool headers, const QString& defaultTable) {
    if (!grid) return false;
    QString table;
    if (format == exports::Format::SqlInsert) {
        const auto asked = askTable(parent, defaultTable, QStringLiteral("Copy as SQL INSERT statements"));
        if (!asked) return false;
        table = *asked;
    }
    const QString text = grid->selectionText(format, headers, table);
    if (text.isEmpty()) return false;
    QApplication::clipboard()->setText(text);
    return true;
}

void saveAs(QWidget* parent, ResultGrid* grid, const QString& folder, const QString& defaultTable) {
    if (!grid) return;
    const QStringList filters = saveFilters();
    QString chosen;
    const QString title = QStringLiteral("Save as...");
    QString path = Dialogs::get().saveFileName(parent, title, filters, folder.isEmpty() ? QDir::homePath() : folder,
                                               &chosen);
    if (path.isEmpty()) return;
    exports::ExportOptions options = baseOptions();
    // The filter picked decides when the name has its ending (or none known);
    // else the name's ending does.
    std::optional<exports::Format> picked;
    for (const exports::FormatInfo& f : exports::formats())
        if (f.filter == chosen) picked = f.format;
    if (chosen == kCsvCrLf || chosen == kTsvCrLf) {
        options.lineEnd = exports::LineEnd::CrLf;
        picked = chosen == kCsvCrLf ? exports::Format::Csv : exports::Format::Tsv;
    }
    if (picked && QFileInfo(path).suffix().isEmpty() && !path.endsWith(QLatin1Char('.'))) {
        // a bare name gets the ending of the format picked, as the script's Save does; the
        // dialog asked about replacing the bare name only, so ask again for the full one
        path += QLatin1Char('.') + exports::info(*picked).extension;
        if (QFileInfo::exists(path) &&
            Dialogs::get().question(parent, QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                                .arg(QFileInfo(path).fileName()),
                                    title, Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
            return;
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    std::optional<exports::Format> format = exports::formatForFileName(path);
    if (picked && (exports::info(*picked).extension == suffix || !format)) format = picked;
    if (!format) {
        Dialogs::get().message(parent,
                               QStringLiteral("%1 has no ending that names a format (.csv, .tsv, .json, .jsonl, "
                                              ".sql, .md, .html, .xlsx, .tab): nothing was saved.")
                                   .arg(QFileInfo(path).fileName()),
                               title);
        return;
    }
    if (*format == exports::Format::SqlInsert) {
        const auto table = askTable(parent, defaultTable, title);
        if (!table) return;
        options.tableName = *table;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Status saved = exports::writeResultFile(*grid->resultModel(), path, *format, options);
    QApplication::restoreOverrideCursor();
    if (!saved)
        Dialogs::get().message(parent, QStringLiteral("The results were not saved to %1.\n%2").arg(path, saved.error()),
                               title);
}

} // namespace document
