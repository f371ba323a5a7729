#pragma once
// Runs the statement under the caret (Ctrl+Enter in the script, "Execute
// Statement at Caret" in the Query menu): the statement splitter finds its
// bounds in the script, its range flashes in the editor, and its text goes
// to the document's run. The selection and the caret stay as they are.
//
// A caret in the blanks or comments between statements takes the nearest
// statement on its line or the line before (else the one starting on its
// line or the line after); with none that close the run gets an empty text
// and says there is nothing to do, as for an empty script.
//
// Statements are split in the lexer dialect of the document's server.

#include "editor/EditorFeature.h"
#include "script/StatementSplitter.h"

#include <optional>

class DocumentContext;
class QTimer;
class RunController;

class StatementAtCaret : public EditorFeature {
    Q_OBJECT
public:
    // The indicator that marks the flashed statement, and for how long.
    static constexpr int kFlashIndicator = 20;
    static constexpr int kFlashMs = 450;

    // runs: the document's runs, which run the statement as they run a script.
    StatementAtCaret(SqlEditor* editor, const DocumentContext& context, RunController* runs);

    void runStatementAtCaret();
    // The statement under the caret in the current script; nullopt when none.
    std::optional<script::StatementRange> statementAtCaret() const;
    // Whether a statement's range is marked in the editor now.
    bool isFlashing() const { return flashed_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<script::StatementRange> statementIn(const QString& script) const;
    void flash(const script::StatementRange& range);
    void clearFlash();

    SqlEditor* editor_;
    const DocumentContext& context_;
    RunController* runs_;
    QTimer* unflash_;
    bool flashed_ = false;
};
