#include "assist/CompletionTrigger.h"

#include "assist/CompletionPopup.h"
#include "editor/SqlEditor.h"
#include "settings/Settings.h"

namespace {

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('#');
}

// A name or a quoted name ends here: what a "." may qualify.
bool endsName(QChar c) {
    return isNameChar(c) || c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char(']');
}

} // namespace

CompletionTrigger::CompletionTrigger(SqlEditor* editor, CompletionPopup* popup)
    : EditorFeature(editor), popup_(popup) {
    settingsChanged(settings::current());
    connect(editor, &QsciScintillaBase::SCN_CHARADDED, this, &CompletionTrigger::onCharAdded);
}

void CompletionTrigger::settingsChanged(const settings::Snapshot& s) {
    afterDot_ = s.flag(settings::Key::AutoCompleteDot);
    afterWord_ = s.flag(settings::Key::AutoCompleteWord);
}

void CompletionTrigger::onCharAdded(int ch) {
    SqlEditor* e = editor();
    if (popup_->isOpen() || e->isReadOnly()) return;
    const QChar typed(ch);
    const bool dot = typed == QLatin1Char('.');
    if (!dot && !(typed.isLetter() || typed == QLatin1Char('_'))) return;
    if (!(dot ? afterDot_ : afterWord_)) return;

    // the line up to the caret, and what follows it
    const int caret = int(e->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    const int line = int(e->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, caret));
    const int lineStart = int(e->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line));
    const QString before = e->text(lineStart, caret);
    const int next = int(e->SendScintilla(QsciScintillaBase::SCI_GETCHARAT, caret));
    if (next > 0 && isNameChar(QChar(next))) return; // inside a word being edited
    if (dot) {
        if (before.size() < 2 || !endsName(before[before.size() - 2])) return;
        if (before[before.size() - 2].isDigit()) { // 1. is a number
            qsizetype from = before.size() - 2;
            while (from > 0 && isNameChar(before[from - 1]))
                --from;
            if (before[from].isDigit()) return;
        }
    } else {
        // exactly the second character of a word that starts with a letter
        qsizetype from = before.size();
        while (from > 0 && isNameChar(before[from - 1]))
            --from;
        const qsizetype length = before.size() - from;
        if (length != 2 || !(before[from].isLetter() || before[from] == QLatin1Char('_'))) return;
        if (from > 0 && (before[from - 1] == QLatin1Char('@') || before[from - 1] == QLatin1Char(':'))) return;
    }
    popup_->showSuggestions(true);
}
