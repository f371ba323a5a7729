// The keys of the completion popup's lists (see CompletionPopup.h).
#include "assist/CatalogCache.h"
#include "assist/CompletionList.h"
#include "assist/CompletionPopup.h"
#include "editor/SqlEditor.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

// Characters that, typed in a list, extend the word.
bool extendsWord(QChar c, CompletionPopup::List list) {
    if (list == CompletionPopup::Suggestions) // a dot starts the next name: the popup closes and it is typed
        return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#') || c == QLatin1Char('$');
    if (c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('_') || c == QLatin1Char('#') ||
        c == QLatin1Char(':'))
        return true;
    return c == QLatin1Char('@') && list == CompletionPopup::Variables;
}

} // namespace

bool CompletionPopup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_) {
        if (event->type() == QEvent::KeyPress && isFollowing()) return handleEditorKey(static_cast<QKeyEvent*>(event));
        return QFrame::eventFilter(watched, event);
    }
    if (watched != list(current_)) return QFrame::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // keys the popup uses win over the main window's shortcuts (F5 runs the script there)
        // (other function keys and Ctrl/Alt combinations keep their menu commands)
        auto* k = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
        const bool functionKey = k->key() >= Qt::Key_F1 && k->key() <= Qt::Key_F35;
        const bool ours =
            functionKey ? mods == Qt::NoModifier &&
                              (k->key() == Qt::Key_F2 || k->key() == Qt::Key_F3 || k->key() == Qt::Key_F5)
                        : !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (ours) event->accept();
        return ours;
    }
    if (event->type() == QEvent::KeyPress) return handleKey(static_cast<QKeyEvent*>(event));
    return QFrame::eventFilter(watched, event);
}

bool CompletionPopup::handleKey(QKeyEvent* e) {
    const Qt::KeyboardModifiers mods =
        e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool suggestions = current_ == Suggestions;
    switch (e->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true; // a modifier on its own does nothing
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return false; // the list moves
    case Qt::Key_F2:
    case Qt::Key_F3:
    case Qt::Key_F5:
        if (e->modifiers() & ~Qt::KeypadModifier) break;
        functionKey(e->key());
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods) break;
        acceptWithKey(e, suggestions ? QString() : QStringLiteral(" "));
        return true;
    case Qt::Key_Tab:
        if (mods || !suggestions) break;
        acceptWithKey(e, QString());
        return true;
    case Qt::Key_Backspace:
        if (mods) break;
        shortenWord();
        return true;
    case Qt::Key_Escape:
        dismiss();
        return true;
    case Qt::Key_Space:
        if (mods || suggestions) break;
        acceptWithKey(e, current_ == Tables ? QStringLiteral(".") : QStringLiteral(" "));
        return true;
    default:
        break;
    }
    const QString text = e->text();
    if (!mods && text.size() == 1 && extendsWord(text[0], current_)) {
        extendWord(text);
        return true;
    }
    // any other key closes the popup; a printable character is typed as usual
    dismiss();
    if (!mods && !text.isEmpty() && text[0].isPrint()) typeIntoEditor(e);
    return true;
}

bool CompletionPopup::handleEditorKey(QKeyEvent* e) {
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::ShiftModifier))
        return false;
    CompletionList* l = list(current_);
    switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        QCoreApplication::sendEvent(l, e); // moves in the list; the caret stays
        return true;
    case Qt::Key_Escape:
        dismiss();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab: {
        if (!l->hasWord()) return false; // the editor's own key
        const bool complete = l->currentText().compare(word(), Qt::CaseInsensitive) == 0;
        acceptEntry(l->currentEntry(), QString());
        // a word typed in full: Enter also breaks the line
        return !(complete && e->key() != Qt::Key_Tab);
    }
    default:
        return false; // typed into the editor; the popup follows
    }
}

void CompletionPopup::functionKey(int key) {
    if (key == Qt::Key_F5) {
        cache_->refresh();
        if (current_ == Tables)
            showCatalogs();
        else if (current_ == Columns)
            showCatalogItems();
        else if (current_ == Suggestions)
            showSuggestions(false);
        return;
    }
    if (key == Qt::Key_F3) {
        if (current_ == Keywords)
            showVariables();
        else
            showKeywords();
        return;
    }
    switch (current_) { // F2
    case Keywords:
    case Suggestions:
        showCatalogs();
        break;
    case Tables:
        if (list(Tables)->hasWord() || connection().isEmpty())
            showColumnsOf(sourceOfRow(list(Tables)->currentIndex().row()), list(Tables)->currentText());
        break;
    case Columns:
        switchTo(Tables); // the same tables as before
        break;
    case Variables:
        break;
    }
}

// Enter and Space: the chosen entry goes in followed by suffix; with a
// placeholder, nothing chosen or a word that matches nothing, the popup
// closes and the key is typed.
void CompletionPopup::acceptWithKey(QKeyEvent* e, const QString& suffix) {
    CompletionList* l = list(current_);
    if (!l->hasWord()) {
        dismiss();
        typeIntoEditor(e);
        return;
    }
    acceptEntry(l->currentEntry(), suffix);
}

void CompletionPopup::typeIntoEditor(QKeyEvent* e) {
    // the key as typed, without modifiers, so no editor command fires again
    QKeyEvent key(QEvent::KeyPress, e->key(), Qt::NoModifier, e->text(), e->isAutoRepeat(), e->count());
    QCoreApplication::sendEvent(editor_, &key);
}
