#include "assist/EditorStatements.h"

#include "common/DocumentContext.h"
#include "editor/SqlEditor.h"

#include <QTimer>

namespace {
constexpr int kPauseMs = 400;        // typing has paused
constexpr qsizetype kSlice = 200000; // characters indexed between two events (about a millisecond)

long sci(const SqlEditor* e, unsigned int message, unsigned long w = 0, long l = 0) {
    return const_cast<SqlEditor*>(e)->SendScintilla(message, w, l);
}
} // namespace

EditorStatements::EditorStatements(SqlEditor* editor, const DocumentContext& context)
    : QObject(editor), editor_(editor), context_(context), pause_(new QTimer(this)) {
    pause_->setSingleShot(true);
    pause_->setInterval(kPauseMs);
    connect(pause_, &QTimer::timeout, this, &EditorStatements::indexSlice);
    // UTF-16 offsets of line starts, kept by the editor as the text changes
    sci(editor_, QsciScintillaBase::SCI_ALLOCATELINECHARACTERINDEX, QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16);
    connect(editor_, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int, int, int, int, int, int, int) {
                onModified(position, type);
            });
}

void EditorStatements::onModified(int position, int type) {
    if (!(type & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT))) return;
    textValid_ = false;
    // the text before position is as it was, and so is its length in UTF-16
    index_.textChangedAt(offsetOf(position));
    pause_->start();
}

void EditorStatements::indexSlice() {
    if (!editor_->isVisible()) return;
    prepare();
    const qsizetype until = std::min(text_.size(), index_.lastKnownStart() + kSlice);
    const size_t known = index_.knownStarts();
    index_.statementAround(text_, until);
    // the next slice after other events; a change stops it (and starts the
    // pause again), and so does a slice that found no statement start (one
    // statement longer than a slice: it is read whole when asked about)
    if (until < text_.size() && index_.knownStarts() > known)
        QTimer::singleShot(0, this, [this] {
            if (textValid_ && !pause_->isActive()) indexSlice();
        });
}

const QString& EditorStatements::text() {
    if (!textValid_) {
        text_ = editor_->text();
        textValid_ = true;
    }
    return text_;
}

qsizetype EditorStatements::offsetOf(int position) const {
    const long line = sci(editor_, QsciScintillaBase::SCI_LINEFROMPOSITION, position);
    const long lineStart = sci(editor_, QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    return sci(editor_, QsciScintillaBase::SCI_INDEXPOSITIONFROMLINE, line,
               QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16) +
           sci(editor_, QsciScintillaBase::SCI_COUNTCODEUNITS, lineStart, position);
}

int EditorStatements::positionOf(qsizetype offset) const {
    const long line = sci(editor_, QsciScintillaBase::SCI_LINEFROMINDEXPOSITION, offset,
                          QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16);
    const long lineOffset = sci(editor_, QsciScintillaBase::SCI_INDEXPOSITIONFROMLINE, line,
                                QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16);
    const long lineStart = sci(editor_, QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    return int(sci(editor_, QsciScintillaBase::SCI_POSITIONRELATIVECODEUNITS, lineStart, long(offset - lineOffset)));
}

script::Dialect EditorStatements::dialect() const {
    return script::dialectOf(context_.serverFamily());
}

void EditorStatements::prepare() {
    index_.setDialect(dialect());
    text();
}

assist::StatementContext EditorStatements::contextAt(int position) {
    prepare();
    const qsizetype caret = offsetOf(position);
    return assist::analyzeStatement(text_, index_.statementAround(text_, caret), caret, index_.dialect());
}

script::StatementRange EditorStatements::statementAt(int position) {
    prepare();
    return index_.statementAround(text_, offsetOf(position));
}

bool EditorStatements::isCodeAt(int position) {
    prepare();
    const qsizetype offset = offsetOf(position);
    script::SqlLexer lex(text_, index_.dialect(), index_.lexStart(text_, offset));
    for (script::Token t = lex.next(); t.kind != script::TokenKind::End && t.start <= offset; t = lex.next()) {
        if (offset >= t.end || offset == t.start) continue;
        return t.kind == script::TokenKind::Word || t.kind == script::TokenKind::Number ||
               t.kind == script::TokenKind::Punct || t.kind == script::TokenKind::Semicolon;
    }
    return true;
}
