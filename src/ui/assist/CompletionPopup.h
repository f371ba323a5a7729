#pragma once
// The completion popup of a script editor: a small frame next to the caret
// with five lists (keywords, tables, the columns of one table, the script's
// variables, and the suggestions for the statement at the caret), one shown
// at a time. It completes the word in front of the caret: the word is
// selected in the editor while the popup is open, typing in the list extends
// it (and narrows the choice), and an accepted entry replaces it. Names are
// inserted quoted where the server needs it.
//
// The keyword, table, column and variable lists open on request only (keys
// and menu commands), take the focus and select the word in the editor. The
// suggestions also open by themselves as the user types (CompletionTrigger):
// such a popup leaves the focus in the editor and follows the word as it is
// typed; Up, Down and the page keys move in it, Enter and Tab insert the
// chosen entry (Enter also breaks the line when the word was already
// complete), Esc closes it, and it closes as soon as the caret leaves the
// word or the word matches nothing (or only the entry it already is).
//
// Keys in a list that has the focus:
//   letters, digits, . _ # : (and @ in the variable list)  extend the word
//   Backspace       shortens it
//   Enter           the entry and a blank replace the word; the popup closes
//   Space           table list: the table and "." replace the word and its
//                   columns are listed; other lists: as Enter
//   Esc             closes; the typed word stays, nothing is inserted
//   F2 / F3         switch lists (tables / columns, keywords / variables)
//   F5              reads the tables or columns of the connection again
//   arrows, pages   move in the list
//   Tab, other keys close the popup; a printable character is then typed
// In the suggestions, Enter and Tab insert the entry alone, and Space and
// "." close the popup and are typed. A double-click accepts like Enter. A
// word that matches no entry never accepts one, and a placeholder entry
// ("[No Connection]", "Not Supported", a read in progress or its error) is
// never inserted: Enter or Space then close the popup and type the key.
//
// Table and column names come from the catalogue cache, read off the UI
// thread: the popup opens at once and fills the list when the names arrive.

#include "assist/CompletionCatalog.h"
#include "assist/CompletionCandidates.h"

#include <QFrame>
#include <array>
#include <functional>
#include <vector>

class CatalogCache;
class CompletionList;
class ContextSuggestions;
class DocumentContext;
class EditorStatements;
class KeywordLanguage;
class QKeyEvent;
class QLabel;
class QStackedWidget;
class SqlEditor;

class CompletionPopup : public QFrame {
    Q_OBJECT
public:
    enum List { Keywords = 0, Tables = 1, Columns = 2, Variables = 3, Suggestions = 4 };

    // host: the widget the popup is shown in (the document); statements: the
    // script as code assistance reads it; context: the document's connection
    // and chosen database.
    CompletionPopup(SqlEditor* editor, QWidget* host, const KeywordLanguage* language,
                    EditorStatements* statements, const DocumentContext& context);

    // Opens the popup at the caret with the keyword list.
    void placeIntelliPopup();
    // Show a list, opening the popup first when it is closed.
    void showCatalogs();
    void showCatalogItems(); // the table named before a "." at the caret, else the table list's choice
    void showVariables();
    void showKeywords();
    // The suggestions for the statement at the caret. automatic: opened by
    // typing, following the word with the focus left in the editor; then it
    // opens only when something matches the word (or the catalogue is still
    // being read) and answers whether it did.
    bool showSuggestions(bool automatic = false);

    bool isOpen() const { return isVisible(); }
    // Open by itself, following the typing in the editor.
    bool isFollowing() const { return isOpen() && following_; }
    List currentList() const { return current_; }
    CompletionList* list(List which) const { return lists_[size_t(which)]; }
    CatalogCache* cache() const { return cache_; }
    // The word being completed, as it stands in the editor.
    QString word() const;
    // Whether the connection's tables are known to be none (no connection,
    // or an empty cached list): the catalogue has nothing to offer.
    bool catalogIsEmpty() const;

    // Closes without inserting; the caret goes to the end of the word.
    void dismiss();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // opening, the word, following (CompletionPopup.cpp); the lists the
    // catalogue fills (CompletionCatalogLists.cpp)
    void openAtCaret(bool follow);
    void follow(); // the caret moved while following
    void fillKeywords();
    void switchTo(List which);
    void showColumnsOf(const assist::ColumnSource& source, const QString& label);
    void showSuggestionList(const assist::Candidates& candidates, const QString& error);
    void fillTables(const assist::CatalogTables& tables);
    void showHint();
    void locate();
    void place();
    QString connection() const;
    QString database() const;
    // the word in the editor
    void selectWord();
    void extendWord(const QString& text);
    void shortenWord();
    void acceptEntry(const assist::Candidate& entry, const QString& suffix);
    // The columns' source of the table list's row.
    assist::ColumnSource sourceOfRow(int row) const;
    std::pair<int, int> wordBefore(int caret) const;
    QString typedWord(int start, int end) const; // without an opening quote
    // keys (CompletionKeys.cpp)
    bool handleKey(QKeyEvent* e);
    bool handleEditorKey(QKeyEvent* e); // while following
    void functionKey(int key);
    void acceptWithKey(QKeyEvent* e, const QString& suffix);
    void typeIntoEditor(QKeyEvent* e);

    SqlEditor* editor_;
    QWidget* host_;
    const KeywordLanguage* language_;
    EditorStatements* statements_;
    const DocumentContext& context_;
    CatalogCache* cache_;
    ContextSuggestions* suggestions_;
    QStackedWidget* stack_;
    QLabel* hint_;
    std::array<CompletionList*, 5> lists_{};
    List current_ = Keywords;
    bool following_ = false;
    int wordStart_ = 0; // the word being completed, as byte positions in the editor
    int wordEnd_ = 0;
    QString columnsLabel_;                            // the table whose columns are listed
    std::vector<assist::CatalogTable> tableRows_; // what each row of the table list is
    bool schemasAreDatabases_ = false;                // of the tables listed
    int tablesRequest_ = 0; // the latest request for each list; older answers are dropped
    int columnsRequest_ = 0;
};
