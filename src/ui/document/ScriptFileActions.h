#pragma once
// A document's file commands: open a script, append a file, the toolbar and
// menu saves, save as, print and the question before closing. Dialogs go
// through the Dialogs seam. A failed save is reported and leaves the old file
// and the document's state as they were.

#include <QObject>
#include <QString>

class QsciPrinter;
class QueryDocument;

class ScriptFileActions : public QObject {
    Q_OBJECT
public:
    explicit ScriptFileActions(QueryDocument* doc);

    static QStringList fileFilters(); // "SQL Files (*.sql)", "All Files (*)"

    void openNew();
    void openAppend();
    // Opens path into the document (used by the command line and restore too).
    bool load(const QString& path);
    // The text appended for a file's lines: blank CR LF, each line CR LF, blank CR LF.
    static QString appendedText(const QStringList& lines, const QString& lineBreak);

    void toolbarSave();
    // Menu "Save": to the document's file, else Save As. True when saved.
    bool menuSave();
    bool saveAs();
    void print();
    void printTo(QsciPrinter& printer, bool selectionOnly);

    // Asks before a changed document closes: Yes saves (and the close goes on
    // only when the save went through), No discards, Cancel keeps it open.
    bool confirmClose();

    bool lineFeedsOnly() const { return lineFeedsOnly_; }
    QString lastError() const { return lastError_; }

signals:
    void saved(const QString& path);

private:
    bool writeTo(const QString& path);
    QueryDocument* doc_;
    bool lineFeedsOnly_ = false;
    bool byteOrderMark_ = false;
    QString lastError_;
};
