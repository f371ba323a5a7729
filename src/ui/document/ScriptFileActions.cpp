#include "document/ScriptFileActions.h"

#include "common/Dialogs.h"
#include "editor/SqlEditor.h"
#include "script/ScriptFile.h"

#include <Qsci/qsciprinter.h>

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>

ScriptFileActions::ScriptFileActions(SqlEditor* editor, QWidget* dialogParent)
    : QObject(dialogParent), editor_(editor), dialogParent_(dialogParent) {
    connect(editor_, &QsciScintilla::modificationChanged, this, [this] {
        if (isChanged() != lastReported_) {
            lastReported_ = isChanged();
            emit changedStateChanged(lastReported_);
        }
    });
}

QStringList ScriptFileActions::fileFilters() {
    return {QStringLiteral("SQL Files (*.sql)"), QStringLiteral("All Files (*)")};
}

void ScriptFileActions::setFile(const QString& path) {
    fileName_ = path;
    fileTitle_ = QFileInfo(path).fileName();
    emit fileChanged(fileName_);
}

bool ScriptFileActions::isChanged() const { return notOnDisk_ || editor_->isModified(); }

void ScriptFileActions::setChanged(bool changed) {
    if (changed) {
        notOnDisk_ = true;
    } else {
        notOnDisk_ = false;
        editor_->setModified(false);
    }
    if (isChanged() != lastReported_) {
        lastReported_ = isChanged();
        emit changedStateChanged(lastReported_);
    }
}

void ScriptFileActions::markSaved() { setChanged(false); }

QString ScriptFileActions::startFolder() const {
    return fileName_.isEmpty() ? QDir::homePath() : QFileInfo(fileName_).absolutePath();
}

bool ScriptFileActions::load(const QString& path) {
    const QFileInfo info(path);
    if (info.size() > kLargeScriptBytes &&
        Dialogs::get().question(dialogParent_, QStringLiteral("%1 is %2 MB. Opening it may take a while. Open it anyway?")
                                                   .arg(info.fileName())
                                                   .arg(info.size() / (1024 * 1024)),
                                QStringLiteral("Open"), Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return false;
    const Result<ScriptContent> r = readScriptFile(path);
    if (!r) {
        Dialogs::get().message(dialogParent_, r.error(), QStringLiteral("Open"));
        return false;
    }
    lineFeedsOnly_ = r->lineFeedsOnly;
    encoding_ = r->encoding;
    editor_->setEolMode(lineFeedsOnly_ ? QsciScintilla::EolUnix : QsciScintilla::EolWindows);
    // Replaced as one undoable edit, so Undo brings the earlier text back.
    editor_->beginUndoAction();
    editor_->selectAll();
    editor_->removeSelectedText();
    editor_->insert(r->text);
    editor_->endUndoAction();
    editor_->setCursorPosition(0, 0);
    setFile(info.absoluteFilePath());
    markSaved(); // what was opened is what is on disk
    return true;
}

void ScriptFileActions::openNew() {
    if (isChanged() && editor_->length() > 0 && !confirmClose()) return;
    const QString path = Dialogs::get().openFileName(dialogParent_, QStringLiteral("Open"), fileFilters(), startFolder());
    if (!path.isEmpty()) load(path);
}

QString ScriptFileActions::appendedText(const QStringList& lines, const QString& br) {
    QString text = QStringLiteral(" ") + br;
    for (const QString& l : lines) text += l + br;
    return text + QStringLiteral(" ") + br;
}

void ScriptFileActions::openAppend() {
    const QString path =
        Dialogs::get().openFileName(dialogParent_, QStringLiteral("Open Append"), fileFilters(), startFolder());
    if (path.isEmpty()) return;
    const Result<ScriptContent> r = readScriptFile(path);
    if (!r) {
        Dialogs::get().message(dialogParent_, r.error(), QStringLiteral("Open Append"));
        return;
    }
    const QString br = lineFeedsOnly_ ? QStringLiteral("\n") : QStringLiteral("\r\n");
    editor_->append(appendedText(splitScriptLines(r->text), br));
}

bool ScriptFileActions::writeTo(const QString& path) {
    Status w = writeScriptFile(path, editor_->text(), encoding_);
    if (!w && encoding_ == ScriptEncoding::Latin1 &&
        Dialogs::get().question(dialogParent_,
                                QStringLiteral("%1\nThe file was opened as Latin-1. Save it as UTF-8 instead?").arg(w.error()),
                                QStringLiteral("Save"), Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes) {
        encoding_ = ScriptEncoding::Utf8;
        w = writeScriptFile(path, editor_->text(), encoding_);
    }
    if (!w) {
        Dialogs::get().message(dialogParent_, QStringLiteral("The script was not saved.\n%1").arg(w.error()),
                               QStringLiteral("Save"));
        return false;
    }
    markSaved();
    emit saved(path);
    return true;
}

QString ScriptFileActions::askSavePath(const QString& title) {
    QString chosenFilter;
    const QString suggested = fileName_.isEmpty() ? QDir::homePath() : fileName_;
    QString path = Dialogs::get().saveFileName(dialogParent_, title, fileFilters(), suggested, &chosenFilter);
    if (!path.isEmpty() && chosenFilter == fileFilters().first() && QFileInfo(path).suffix().isEmpty() &&
        !path.endsWith(QLatin1Char('.')))
        path += QStringLiteral(".sql");
    return path;
}

void ScriptFileActions::toolbarSave() {
    if (!fileName_.isEmpty()) {
        writeTo(fileName_);
        return;
    }
    const QString path = askSavePath(QStringLiteral("Save"));
    if (path.isEmpty() || !writeTo(path)) return;
    setFile(path);
}

bool ScriptFileActions::menuSave() {
    if (fileName_.isEmpty()) return saveAs();
    return writeTo(fileName_);
}

bool ScriptFileActions::saveAs() {
    const QString path = askSavePath(QStringLiteral("Save As"));
    if (path.isEmpty() || !writeTo(path)) return false;
    setFile(path);
    return true;
}

void ScriptFileActions::printTo(QsciPrinter& p, bool selectionOnly) {
    int from = -1, to = -1;
    if (selectionOnly) {
        const EditorRange r = editor_->selectionRange();
        from = r.startLine;
        to = r.endLine;
    }
    p.printRange(editor_, from, to);
}

void ScriptFileActions::print() {
    QsciPrinter printer(QPrinter::HighResolution);
    printer.setDocName(displayName());
    QPrintDialog dialog(&printer, dialogParent_);
    dialog.setWindowTitle(QStringLiteral("Print"));
    const bool hasSelection = editor_->hasSelectedText();
    if (hasSelection) {
        dialog.setOption(QAbstractPrintDialog::PrintSelection, true);
        dialog.setPrintRange(QAbstractPrintDialog::Selection);
    }
    if (dialog.exec() != QDialog::Accepted) return;
    printTo(printer, hasSelection && dialog.printRange() == QAbstractPrintDialog::Selection);
}

bool ScriptFileActions::confirmClose() {
    if (!isChanged()) return true;
    // The question names the script it is about (several may ask in a row at exit).
    const QString text = QStringLiteral("The code has changed, do you want to save the code first?\n\n%1")
                             .arg(fileName_.isEmpty() ? displayName() : fileName_);
    switch (Dialogs::get().question(dialogParent_, text, QStringLiteral("Save Code"), Dialogs::Buttons::YesNoCancel)) {
    case Dialogs::Answer::Yes: return menuSave();
    case Dialogs::Answer::No: return true;
    case Dialogs::Answer::Cancel: return false;
    }
    return false;
}
