#pragma once
// The completion popup of a script editor: a small frame next to the caret
// with four lists (keywords, tables, the columns of one table, the script's
// variables), one shown at a time. It opens only on request and completes
// the word in front of the caret: the word is selected in the editor while
// the popup is open, typing in the list extends it (and narrows the choice),
// and an accepted entry replaces it.
//
// Keys in a list:
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
// A double-click accepts like Enter. A placeholder entry ("[No Connection]",
// "Not Supported", a read in progress or its error) is never inserted:
// Enter or Space on it close the popup and type the key.
//
// Table and column names come from the catalogue cache, read off the UI
// thread: the popup opens at once and fills the list when the names arrive.

#include <QFrame>
#include <array>
#include <functional>

class CatalogCache;
class CompletionList;
class DocumentContext;
class KeywordLanguage;
class QKeyEvent;
class QLabel;
class QStackedWidget;
class SqlEditor;

class CompletionPopup : public QFrame {
    Q_OBJECT
public:
    enum List { Keywords = 0, Tables = 1, Columns = 2, Variables = 3 };

    // host: the widget the popup is shown in (the document); context: the
    // document's connection and chosen database.
    CompletionPopup(SqlEditor* editor, QWidget* host, const KeywordLanguage* language,
                    const DocumentContext& context);

    // Opens the popup at the caret with the keyword list.
    void placeIntelliPopup();
    // Show a list, opening the popup first when it is closed.
    void showCatalogs();
    void showCatalogItems(); // the table before a "." at the caret, else the table list's choice
    void showVariables();
    void showKeywords();

    bool isOpen() const { return isVisible(); }
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
    void fillKeywords();
    void switchTo(List which);
    void showColumnsOf(const QString& table);
    void fillTables();
    void fillColumns(const QString& table);
    void locate();
    void place();
    bool handleKey(QKeyEvent* e);
    void functionKey(int key);
    void extendWord(const QString& text);
    void shortenWord();
    void acceptEntry(const QString& text, const QString& suffix);
    void acceptWithKey(QKeyEvent* e, const QString& suffix);
    void typeIntoEditor(QKeyEvent* e);
    void selectWord();
    QString tableBeforeWord() const;
    QString connection() const;

    SqlEditor* editor_;
    QWidget* host_;
    const KeywordLanguage* language_;
    const DocumentContext& context_;
    CatalogCache* cache_;
    QStackedWidget* stack_;
    QLabel* hint_;
    std::array<CompletionList*, 4> lists_{};
    List current_ = Keywords;
    int wordStart_ = 0; // the word being completed, as byte positions in the editor
    int wordEnd_ = 0;
    QString columnsTable_;
    int tablesRequest_ = 0; // the latest request for each list; older answers are dropped
    int columnsRequest_ = 0;
};
