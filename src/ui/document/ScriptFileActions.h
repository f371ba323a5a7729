#pragma once
// A document's script file: which file the script belongs to, whether the
// text differs from what was last opened or saved, the encoding and line
// breaks the file had, and the file commands (open, append, the toolbar and
// menu saves, save as, print, the question before closing or replacing).
// Dialogs go through the Dialogs seam. A failed save is reported and leaves
// the old file and the document's state as they were.

#include "script/ScriptEncoding.h"

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
    // The name questions use: the file's name, else the document's own ("Query1").
    void setUntitledName(const QString& name) { untitledName_ = name; }
    QString displayName() const { return fileTitle_.isEmpty() ? untitledName_ : fileTitle_; }
    // Whether the text differs from what was last opened or saved (undoing
    // back to that point makes it unchanged again).
    bool isChanged() const;
    // true marks text that is not on disk (a restored script); false makes
    // the current text the saved state.
    void setChanged(bool changed);
    bool lineFeedsOnly() const { return lineFeedsOnly_; }
    ScriptEncoding encoding() const { return encoding_; }

    // ---- commands ----
    // Asks first when the current script has unsaved changes.
    void openNew();
    void openAppend();
    // Opens path into the document (used by the command line and restore too).
    // The replaced text stays in the editor's undo history.
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
    // The folder a file dialog opens in: the script's own, else the user's home.
    QString startFolder() const;
    // The save dialog; adds ".sql" when the SQL filter was chosen and the name has no extension.
    QString askSavePath(const QString& title);
    void markSaved();

    SqlEditor* editor_;
    QWidget* dialogParent_;
    QString fileName_, fileTitle_;
    QString untitledName_;
    bool notOnDisk_ = false; // text restored from elsewhere, never saved here
    bool lastReported_ = false;
    bool lineFeedsOnly_ = false;
    ScriptEncoding encoding_ = ScriptEncoding::Utf8;
};
