#pragma once
// The statement a caret belongs to in a script being edited, found without
// lexing the script from the top each time. The index remembers the starts
// of the statements it has split; a start stays right while the text before
// it is unchanged, so an edit forgets only the starts at or after it, and
// the next question splits from the nearest start before the caret.
//
// The caller tells the index about every change (its offset) and passes the
// script as it is now with each question.

#include "script/StatementSplitter.h"

#include <optional>
#include <vector>

namespace script {

class StatementIndex {
public:
    // Another dialect lexes differently: what is known is forgotten.
    void setDialect(Dialect dialect);
    Dialect dialect() const { return dialect_; }

    // The text changed at offset (everything before it is as it was).
    void textChangedAt(qsizetype offset);
    void clear() { starts_.clear(); }

    // The statement the caret (an offset into script) belongs to: the last
    // one whose first token starts at or before the caret, unless its ';' or
    // GO line ends at or before the caret. The caret may lie past the
    // statement's end, in the blanks and comments before its terminator.
    // Between statements (and before the first) the range is empty and lies
    // where that terminator ends (or where the script's first statement may
    // begin): only blanks and comments stand between it and the caret. The
    // points of an empty range are not set.
    StatementRange statementAround(QStringView script, qsizetype caret);
    // Where lexing may start to read the tokens up to offset as a lexing of
    // the whole script reads them (the start of statementAround()).
    qsizetype lexStart(QStringView script, qsizetype offset);

    // How many statement starts are known, and the last (0 when none).
    size_t knownStarts() const { return starts_.size(); }
    qsizetype lastKnownStart() const { return starts_.empty() ? 0 : starts_.back().offset; }

private:
    struct Found {
        std::optional<StatementRange> last; // the last statement starting at or before the caret
        qsizetype from = 0;                  // where the split began
    };
    Found find(QStringView script, qsizetype caret);

    Dialect dialect_ = Dialect::Generic;
    std::vector<SplitStart> starts_; // in increasing offset
};

} // namespace script
