#pragma once
// The grid's copy and save commands, on the grid in front: "Copy As" a
// selection in a copyable export format (with or without the column
// names), and "Save as..." of every shown row in any export format, written
// atomically, a failure said in a message. SQL INSERT statements ask for
// their table, offering the one the query read.

#include "export/ExportFormat.h"

#include <QString>

class QWidget;
class ResultGrid;

namespace document {

// Copies the grid's selection in format to the clipboard. defaultTable:
// offered when format is SQL INSERT (the user may change it; Cancel copies
// nothing). False when nothing was copied.
bool copyAs(QWidget* parent, ResultGrid* grid, exports::Format format, bool headers, const QString& defaultTable);

// Asks for a file and writes the grid's shown rows to it in the format its
// name (or the chosen filter) asks for. folder: where the dialog starts.
void saveAs(QWidget* parent, ResultGrid* grid, const QString& folder, const QString& defaultTable);

// The save dialog's filters: every format, then CSV and TSV with CR LF line ends.
QStringList saveFilters();

} // namespace document
