#pragma once
// Tools > "Import CSV...": a CSV file into a new or an existing table of the
// document's connection. The file's delimiter, quote, header and encoding
// are detected and shown, each can be changed, and the preview follows. The
// table named is looked up off the UI thread: a new one gets a column per
// field with its guessed type (both can be changed); an existing one shows
// its columns, each fed by the field of its name (or none: its default).
// "Import" loads the rows off the UI thread with progress; "Stop" ends it
// and nothing of it stays. A bad row stops the import (nothing stays), or,
// with "Skip bad rows", is left out and listed.

#include "import/CsvImport.h"

#include <QDialog>

class CsvImportRun;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

class CsvImportDialog : public QDialog {
    Q_OBJECT
public:
    // The import goes to connectionString (database: the one chosen, if any).
    CsvImportDialog(const QString& connectionString, const QString& database, QWidget* parent = nullptr);

    // Opens file: detects its format and shows its first rows.
    void setFile(const QString& file);
    // Names the target table and reads whether it exists (and its columns).
    void setTable(const QString& table);
    void startImport();
    void stopImport();
    bool isBusy() const;

    // For tests: the parts the user works with.
    QTableWidget* preview() const { return preview_; }
    QTableWidget* columns() const { return columns_; }
    QComboBox* delimiter() const { return delimiter_; }
    QCheckBox* header() const { return header_; }
    QLineEdit* nullMarker() const { return null_; }
    QCheckBox* skipBadRows() const { return skip_; }
    QLabel* status() const { return status_; }
    QPlainTextEdit* badRows() const { return bad_; }
    bool tableExists() const { return exists_; }

signals:
    void tableRead();
    void importFinished(const csv::ImportResult& result);

private:
    csv::Format chosenFormat() const;
    void showFormat(const csv::Format& f);
    void readPreview(std::optional<csv::Format> format);
    void fillColumns();
    std::vector<csv::ImportColumn> chosenColumns() const;
    void finish(const csv::ImportResult& result);
    void setWorking(bool working);

    QString connectionString_, database_;
    QString file_;
    csv::Preview previewData_;
    QStringList tableColumns_;
    bool exists_ = false;
    int reading_ = 0;
    bool updating_ = false;

    QLineEdit* fileEdit_;
    QComboBox* delimiter_;
    QComboBox* quote_;
    QCheckBox* header_;
    QComboBox* encoding_;
    QLineEdit* null_;
    QLineEdit* table_;
    QTableWidget* preview_;
    QTableWidget* columns_;
    QCheckBox* skip_;
    QProgressBar* progress_;
    QLabel* status_;
    QPlainTextEdit* bad_;
    QPushButton* importButton_;
    QPushButton* stopButton_;
    CsvImportRun* run_;
};
