#include "document/ScriptFileActions.h"

#include "editor/SqlEditor.h"
#include "script/ScriptFile.h"
#include "common/Dialogs.h"

#include <Qsci/qsciprinter.h>

#include <QFileInfo>
#include <QPrintDialog>

ScriptFileActions::ScriptFileActions(SqlEditor* editor, QWidget* dialogParent)
    : QObject(dialogParent), editor_(editor), dialogParent_(dialogParent) {}

void ScriptFileActions::setFile(const QString& path) {
    fileName_ = path;
    fileTitle_ = QFileInfo(path).fileName();
    emit fileChanged(fileName_);
}

void ScriptFileActions::setChanged(bool changed) {
    if (changed_ == changed) return;
    changed_ = changed;
    emit changedStateChanged(changed_);
}

QStringList ScriptFileActions::fileFilters() {
    return {QStringLiteral("SQL Files (*.sql)"), QStringLiteral("All Files (*)")};
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
    byteOrderMark_ = r->hadByteOrderMark;
    editor_->setEolMode(lineFeedsOnly_ ? QsciScintilla::EolUnix : QsciScintilla::EolWindows);
    editor_->setText(r->text);
    setFile(info.absoluteFilePath());
    setChanged(true);
    return true;
}

void ScriptFileActions::openNew() {
    const QString path = Dialogs::get().openFileName(dialogParent_, QStringLiteral("Open"), fileFilters());
    if (!path.isEmpty()) load(path);
}

QString ScriptFileActions::appendedText(const QStringList& lines, const QString& br) {
    QString text = QStringLiteral(" ") + br;
    for (const QString& l : lines) text += l + br;
    return text + QStringLiteral(" ") + br;
}

void ScriptFileActions::openAppend() {
    const QString path = Dialogs::get().openFileName(dialogParent_, QStringLiteral("Open Append"), fileFilters());
    if (path.isEmpty()) return;
    const Result<ScriptContent> r = readScriptFile(path);
    if (!r) {
        Dialogs::get().message(dialogParent_, r.error(), QStringLiteral("Open Append"));
        return;
    }
    const QString br = lineFeedsOnly_ ? QStringLiteral("\n") : QStringLiteral("\r\n");
    editor_->append(appendedText(splitScriptLines(r->text), br));
    setChanged(true);
}

bool ScriptFileActions::writeTo(const QString& path) {
    const Status w = writeScriptFile(path, editor_->text(), byteOrderMark_);
    if (!w) {
        Dialogs::get().message(dialogParent_, QStringLiteral("The script was not saved.\n%1").arg(w.error()),
                               QStringLiteral("Save"));
        return false;
    }
    emit saved(path);
    return true;
}

void ScriptFileActions::toolbarSave() {
    if (!fileName_.isEmpty()) {
        writeTo(fileName_);
        return;
    }
    const QString path = Dialogs::get().saveFileName(dialogParent_, QStringLiteral("Save"), fileFilters(), QString());
    if (path.isEmpty() || !writeTo(path)) return;
    setFile(path);
    setChanged(false); // only a save through the dialog clears the flag
}

bool ScriptFileActions::menuSave() {
    if (fileName_.isEmpty()) return saveAs();
    return writeTo(fileName_);
}

bool ScriptFileActions::saveAs() {
    const QString path = Dialogs::get().saveFileName(dialogParent_, QStringLiteral("Save As"), fileFilters(), QString());
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
    printer.setDocName(fileTitle_.isEmpty() ? dialogParent_->windowTitle() : fileTitle_);
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
    if (!changed_) return true;
    switch (Dialogs::get().question(dialogParent_, QStringLiteral("The code has changed, do you want to save the code first?"),
                                    QStringLiteral("Save Code"), Dialogs::Buttons::YesNoCancel)) {
    case Dialogs::Answer::Yes: return menuSave();
    case Dialogs::Answer::No: return true;
    case Dialogs::Answer::Cancel: return false;
    }
    return false;
}
