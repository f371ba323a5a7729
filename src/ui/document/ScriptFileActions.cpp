#include "document/ScriptFileActions.h"

#include "document/QueryDocument.h"
#include "script/ScriptFile.h"
#include "common/Dialogs.h"

#include <Qsci/qsciprinter.h>

#include <QFileInfo>
#include <QPrintDialog>

ScriptFileActions::ScriptFileActions(QueryDocument* doc) : QObject(doc), doc_(doc) {}

QStringList ScriptFileActions::fileFilters() {
    return {QStringLiteral("SQL Files (*.sql)"), QStringLiteral("All Files (*)")};
}

bool ScriptFileActions::load(const QString& path) {
    const QFileInfo info(path);
    if (info.size() > kLargeScriptBytes &&
        Dialogs::get().question(doc_, QStringLiteral("%1 is %2 MB. Opening it may take a while. Open it anyway?")
                                          .arg(info.fileName())
                                          .arg(info.size() / (1024 * 1024)),
                                QStringLiteral("Open"), Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return false;
    const ScriptReadResult r = readScriptFile(path);
    if (!r.ok) {
        Dialogs::get().message(doc_, r.error, QStringLiteral("Open"));
        return false;
    }
    lineFeedsOnly_ = r.script.lineFeedsOnly;
    byteOrderMark_ = r.script.hadByteOrderMark;
    doc_->editor()->setEolMode(lineFeedsOnly_ ? QsciScintilla::EolUnix : QsciScintilla::EolWindows);
    doc_->editor()->setText(r.script.text);
    doc_->setFile(info.absoluteFilePath());
    doc_->setChanged(true);
    return true;
}

void ScriptFileActions::openNew() {
    const QString path = Dialogs::get().openFileName(doc_, QStringLiteral("Open"), fileFilters());
    if (!path.isEmpty()) load(path);
}

QString ScriptFileActions::appendedText(const QStringList& lines, const QString& br) {
    QString text = QStringLiteral(" ") + br;
    for (const QString& l : lines) text += l + br;
    return text + QStringLiteral(" ") + br;
}

void ScriptFileActions::openAppend() {
    const QString path = Dialogs::get().openFileName(doc_, QStringLiteral("Open Append"), fileFilters());
    if (path.isEmpty()) return;
    const ScriptReadResult r = readScriptFile(path);
    if (!r.ok) {
        Dialogs::get().message(doc_, r.error, QStringLiteral("Open Append"));
        return;
    }
    const QString br = lineFeedsOnly_ ? QStringLiteral("\n") : QStringLiteral("\r\n");
    doc_->editor()->append(appendedText(splitScriptLines(r.script.text), br));
    doc_->setChanged(true);
}

bool ScriptFileActions::writeTo(const QString& path) {
    const ScriptWriteResult w = writeScriptFile(path, doc_->editor()->text(), byteOrderMark_);
    if (!w.ok) {
        lastError_ = w.error;
        Dialogs::get().message(doc_, QStringLiteral("The script was not saved.\n%1").arg(w.error),
                               QStringLiteral("Save"));
        return false;
    }
    lastError_.clear();
    emit saved(path);
    return true;
}

void ScriptFileActions::toolbarSave() {
    if (!doc_->fileName().isEmpty()) {
        writeTo(doc_->fileName());
        return;
    }
    const QString path = Dialogs::get().saveFileName(doc_, QStringLiteral("Save"), fileFilters(), QString());
    if (path.isEmpty() || !writeTo(path)) return;
    doc_->setFile(path);
    doc_->setChanged(false); // only a save through the dialog clears the flag
}

bool ScriptFileActions::menuSave() {
    if (doc_->fileName().isEmpty()) return saveAs();
    return writeTo(doc_->fileName());
}

bool ScriptFileActions::saveAs() {
    const QString path = Dialogs::get().saveFileName(doc_, QStringLiteral("Save As"), fileFilters(), QString());
    if (path.isEmpty() || !writeTo(path)) return false;
    doc_->setFile(path);
    return true;
}

void ScriptFileActions::printTo(QsciPrinter& p, bool selectionOnly) {
    int from = -1, to = -1;
    if (selectionOnly) {
        const EditorRange r = doc_->editor()->selectionRange();
        from = r.startLine;
        to = r.endLine;
    }
    p.printRange(doc_->editor(), from, to);
}

void ScriptFileActions::print() {
    QsciPrinter printer(QPrinter::HighResolution);
    printer.setDocName(doc_->fileTitle().isEmpty() ? doc_->windowTitle() : doc_->fileTitle());
    QPrintDialog dialog(&printer, doc_);
    dialog.setWindowTitle(QStringLiteral("Print"));
    const bool hasSelection = doc_->editor()->hasSelectedText();
    if (hasSelection) {
        dialog.setOption(QAbstractPrintDialog::PrintSelection, true);
        dialog.setPrintRange(QAbstractPrintDialog::Selection);
    }
    if (dialog.exec() != QDialog::Accepted) return;
    printTo(printer, hasSelection && dialog.printRange() == QAbstractPrintDialog::Selection);
}

bool ScriptFileActions::confirmClose() {
    if (!doc_->getChanged()) return true;
    switch (Dialogs::get().question(doc_, QStringLiteral("The code has changed, do you want to save the code first?"),
                                    QStringLiteral("Save Code"), Dialogs::Buttons::YesNoCancel)) {
    case Dialogs::Answer::Yes: return menuSave();
    case Dialogs::Answer::No: return true;
    case Dialogs::Answer::Cancel: return false;
    }
    return false;
}
