#include "document/StatementAtCaret.h"

#include "common/Theme.h"
#include "common/DocumentContext.h"
#include "document/RunController.h"
#include "editor/SqlEditor.h"

#include <QKeyEvent>
#include <QTimer>

StatementAtCaret::StatementAtCaret(SqlEditor* editor, const DocumentContext& context, RunController* runs)
    : EditorFeature(editor), editor_(editor), context_(context), runs_(runs), unflash_(new QTimer(this)) {
    unflash_->setSingleShot(true);
    connect(unflash_, &QTimer::timeout, this, &StatementAtCaret::clearFlash);
    editor_->indicatorDefine(QsciScintilla::StraightBoxIndicator, kFlashIndicator);
    Theme::instance().onChange(this, [this] {
        QColor fill = themeColour(Theme::Role::StatementFlash), outline = fill;
        fill.setAlpha(110);
        outline.setAlpha(200);
        editor_->setIndicatorForegroundColor(fill, kFlashIndicator);
        editor_->setIndicatorOutlineColor(outline, kFlashIndicator);
    });
    editor_->setIndicatorDrawUnder(true, kFlashIndicator);
    editor_->installEventFilter(this);
}

bool StatementAtCaret::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Return, and Ctrl+Enter on the keypad. Where the main window's menu
    // holds Ctrl+Return as a shortcut, that comes first and this never sees it.
    if (watched == editor_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && mods == Qt::ControlModifier) {
            runStatementAtCaret();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

std::optional<script::StatementRange> StatementAtCaret::statementIn(const QString& script) const {
    int line = 0, index = 0;
    editor_->getCursorPosition(&line, &index); // index counts characters, as the splitter's columns do
    const auto statements = script::splitStatements(script, script::dialectOf(context_.serverFamily()));
    const auto at = script::statementAt(statements, {line, index});
    if (!at) return std::nullopt;
    return statements[*at];
}

std::optional<script::StatementRange> StatementAtCaret::statementAtCaret() const {
    return statementIn(editor_->text());
}

void StatementAtCaret::runStatementAtCaret() {
    if (runs_->isRunning()) return; // one run at a time, as for the whole script
    const QString script = editor_->text();
    const std::optional<script::StatementRange> statement = statementIn(script);
    if (!statement) {
        clearFlash();
        runs_->execute(QString(), {}); // "nothing to do", as for an empty script
        return;
    }
    flash(*statement);
    runs_->execute(statement->textIn(script).toString(), statement->from);
    // The mark stays while a question about the statement is open, then goes.
    unflash_->start(kFlashMs);
}

void StatementAtCaret::flash(const script::StatementRange& range) {
    clearFlash();
    editor_->fillIndicatorRange(range.from.line, range.from.column, range.to.line, range.to.column,
                                kFlashIndicator);
    flashed_ = true;
}

void StatementAtCaret::clearFlash() {
    unflash_->stop();
    if (!flashed_) return;
    editor_->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, kFlashIndicator);
    editor_->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0, editor_->length());
    flashed_ = false;
}
