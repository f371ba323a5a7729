#pragma once
// The script editor of a query document (and the base of its text panes):
// QScintilla with the operations the document calls, the numbered editor
// commands (168 go to line, 170 find and replace, 178 find, 204-207
// bookmarks) and the application-wide commands 1000-1003.

#include <Qsci/qsciscintilla.h>

#include <QHash>
#include <QPointer>

#include <functional>

#include "editor/FindReplaceDialog.h"

class QsciCommand;

// A selection as the editor counts it: lines and columns from 0.
struct EditorRange {
    int startLine = 0, startColumn = 0, endLine = 0, endColumn = 0;
};

class SqlEditor : public QsciScintilla {
    Q_OBJECT
public:
    // Editor command numbers passed to executeCmd.
    enum Command { GoToLine = 168, Replace = 170, Find = 178, ToggleBookmark = 204, PreviousBookmark = 205,
                   NextBookmark = 206, ClearBookmarks = 207 };
    // Application-wide commands, fired by their keys in any script editor.
    enum AppCommand { CodeSense = 1000, CatalogSense = 1001, EscapeStop = 1002, TestCommand = 1003 };
    // The margin of line symbols (bookmarks, and marks other features add to its mask).
    static constexpr int kSymbolMargin = 1;

    explicit SqlEditor(QWidget* parent = nullptr);
    ~SqlEditor() override;

    void executeCmd(int command, bool argument = false);

    EditorRange selectionRange() const;
    void setSelectionRange(const EditorRange& r, bool scrollIntoView = true);
    QString wordAt(int line, int column) const;
    bool canCut() const { return hasSelectedText() && !isReadOnly(); }
    bool canCopy() const { return hasSelectedText(); }
    bool canPaste() const;

    void setSyntaxColouring(bool on);
    void setConvertTabs(bool on);
    // The lexer used while syntax colouring is on (the stock SQL lexer until
    // a document gives its own; the editor does not take ownership).
    void setLanguage(QsciLexer* language);
    // Font by name and point size; an empty or unknown name gives the system
    // monospace font, an empty or invalid size 10 pt.
    void setEditorFont(const QString& family, const QString& pointSize);
    // The font for a family and size as settings give them: a fixed-pitch
    // font when the family is unknown, 10 points when the size is not a
    // number from 4 to 96.
    static QFont fontFromSettings(const QString& family, const QString& pointSize);
    QFont editorFont() const { return font_; }

    // Line numbers and the bookmark margin (off for the text panes).
    void setMarginsVisible(bool on);

    // Appends text to a read-only pane as well.
    void appendText(const QString& text);
    // Replaces the selection with start + highlight + end and leaves the
    // highlight selected, ready to be typed over (object snippets).
    void insertColumn(const QString& start, const QString& highlight, const QString& end);

    int bookmarkCount() const;
    FindReplaceDialog* findDialog() const { return findDialog_; }

    // The keys of the application commands, for menus and tests.
    static QKeySequence appCommandKey(AppCommand command);

    // What a menu command on a key does, when it is one the editor has too.
    enum class EditAction { None, Undo, Redo, Cut, Copy, Paste };
    struct MenuKey {
        QKeySequence key;
        EditAction sameAs = EditAction::None;
    };
    // The keys the main window's menus hold now, in every editor: the
    // editor's own binding of such a key is dropped so the menu command
    // wins, unless it does the same edit. Until this is called the menus'
    // classic keys are taken.
    static void setMenuKeys(const QList<MenuKey>& keys);

    // Who carries out the application commands fired in this editor; it
    // answers whether it did. A command nobody carries out (no handler, or a
    // feature that is not available now) lets the key type what it types:
    // Shift+Space without completion is a space.
    void setAppCommandHandler(std::function<bool(AppCommand)> handler) { appCommandHandler_ = std::move(handler); }

signals:
    // Alt+X: run the script.
    void executeRequested();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void openFindDialog(bool withReplace);
    void goToLineDialog();
    void releaseKeysTakenByMenus();
    // The theme's colours for the editor's own surfaces (margins, caret, selection, braces).
    void applyTheme();

    QFont font_;
    bool colouring_ = true;
    bool margins_ = true;
    QPointer<FindReplaceDialog> findDialog_;
    std::function<bool(AppCommand)> appCommandHandler_;
    QsciLexer* lexer_ = nullptr;
    // each command's key and alternate key as the editor made them
    QHash<QsciCommand*, std::pair<int, int>> ownKeys_;
};
