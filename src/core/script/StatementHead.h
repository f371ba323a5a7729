#pragma once
// What the first words of a statement say about the rest of it: whether it
// defines a routine whose body runs later (CREATE or ALTER PROCEDURE,
// FUNCTION, TRIGGER, RULE, EVENT, PACKAGE), prepares a statement for later
// (PREPARE), grants or comments (GRANT, REVOKE, COMMENT ON), and whether it
// is an EXPLAIN, with ANALYZE or without. Checks that look into a
// statement's words (changes without WHERE, parameters) leave such bodies
// alone.
//
// Fed the statement's significant tokens in order; looks at the first few
// only.

#include "script/SqlLexer.h"

namespace script {

class StatementHead {
public:
    // Notes t, the next significant token of the statement.
    void feed(QStringView text, const Token& t) {
        if (count_++ >= kHead) return;
        if (count_ == 1) {
            creates_ = SqlLexer::isAnyWord(text, t, {"CREATE", "ALTER"});
            explain_ = SqlLexer::isWord(text, t, "EXPLAIN");
            deferred_ = SqlLexer::isAnyWord(text, t, {"GRANT", "REVOKE", "PREPARE", "COMMENT"});
        } else if (creates_) {
            deferred_ = deferred_ || SqlLexer::isAnyWord(text, t, {"PROCEDURE", "PROC", "FUNCTION", "TRIGGER", "RULE",
                                                                   "EVENT", "PACKAGE"});
        } else if (explain_) {
            analyze_ = analyze_ || SqlLexer::isAnyWord(text, t, {"ANALYZE", "ANALYSE"});
        }
    }
    // A new statement starts.
    void reset() { *this = StatementHead(); }

    // The statement's words are a body or text kept for later, not run now.
    bool defersItsBody() const { return deferred_; }
    bool isExplain() const { return explain_; }
    bool explainAnalyzes() const { return analyze_; }

private:
    static constexpr int kHead = 12; // tokens that can say what a statement defines

    int count_ = 0;
    bool creates_ = false, explain_ = false, analyze_ = false, deferred_ = false;
};

} // namespace script
