#pragma once
// A document's script file: which file the script belongs to, whether the
// text has changed since, how the file was encoded, and the file commands
// (open, append, the toolbar and menu saves, save as, print, the question
// before closing). Dialogs go through the Dialogs seam. A failed save is
// reported and leaves the old file and the document's state as they were.

#include <QObject>
#include <QString>

class QsciPrinter;
class QWidget;
class SqlEditor;

class ScriptFileActions : public QObject {
    Q_OBJECT
public:
    // dialogParent owns the dialogs this shows (the document).
    ScriptFileActions(SqlEditor* editor, QWidget* dialogParent);

    static QStringList fileFilters(); // "SQL Files (*.sql)", "All Files (*)"

    // ---- the file and its state ----
    QString fileName() const { return fileName_; }   // full path; empty for a new script
    QString fileTitle() const { return fileTitle_; } // the file's name without folder
    void setFile(const QString& path);
    bool isChanged() const { return changed_; }
    void setChanged(bool changed);
    bool lineFeedsOnly() const { return lineFeedsOnly_; }

    // ---- commands ----
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

signals:
    void fileChanged(const QString& path); // the script now belongs to another file
    void saved(const QString& path);
    void changedStateChanged(bool changed);

private:
    bool writeTo(const QString& path);
    SqlEditor* editor_;
    QWidget* dialogParent_;
    QString fileName_, fileTitle_;
    bool changed_ = true; // a new document counts as changed
    bool lineFeedsOnly_ = false;
    bool byteOrderMark_ = false;
};
