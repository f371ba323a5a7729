#include "editor/SqlEditor.h"

#include "common/Dialogs.h"
#include "common/Theme.h"
#include "editor/FindReplaceDialog.h"
#include "editor/SqlColours.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexersql.h>

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>

namespace {
constexpr int kBookmarkMarker = 1;
constexpr int kBookmarkMargin = SqlEditor::kSymbolMargin;

// Keys the main window's menus use until it says otherwise (setMenuKeys);
// the editor's own bindings for them are dropped so the menu command wins
// while the editor has the focus.
const QKeySequence kClassicMenuKeys[] = {
    QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::Key_F),
    QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::CTRL | Qt::Key_G), QKeySequence(Qt::CTRL | Qt::Key_B),
    QKeySequence(Qt::SHIFT | Qt::Key_F2), QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F2),
    QKeySequence(Qt::CTRL | Qt::Key_U), QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::CTRL | Qt::Key_P),
    QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence(Qt::CTRL | Qt::Key_T), QKeySequence(Qt::CTRL | Qt::Key_H),
    QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_E), QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F1),
};
// The editor's line cut and line duplicate are not offered: the keys stay free for the menus.
const QKeySequence kDroppedKeys[] = {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::CTRL | Qt::Key_D)};

QList<SqlEditor::MenuKey>& menuKeys() {
    static QList<SqlEditor::MenuKey> keys = [] {
        QList<SqlEditor::MenuKey> k;
        for (const QKeySequence& s : kClassicMenuKeys) k.append({s, SqlEditor::EditAction::None});
        return k;
    }();
    return keys;
}

// The editor command that does what a menu's edit command does.
QsciCommand::Command editorCommandFor(SqlEditor::EditAction a) {
    switch (a) {
    case SqlEditor::EditAction::Undo: return QsciCommand::Undo;
    case SqlEditor::EditAction::Redo: return QsciCommand::Redo;
    case SqlEditor::EditAction::Cut: return QsciCommand::SelectionCut;
    case SqlEditor::EditAction::Copy: return QsciCommand::SelectionCopy;
    case SqlEditor::EditAction::Paste: return QsciCommand::Paste;
    case SqlEditor::EditAction::None: break;
    }
    return QsciCommand::Cancel; // never the same as a menu command
}
} // namespace

SqlEditor::SqlEditor(QWidget* parent) : QsciScintilla(parent) {
    setUtf8(true);
    setEolMode(EolWindows);
    setMarginLineNumbers(0, true);
    setMarginType(kBookmarkMargin, SymbolMargin);
    setMarginWidth(kBookmarkMargin, 14);
    setMarginMarkerMask(kBookmarkMargin, 1 << kBookmarkMarker);
    setMarginSensitivity(kBookmarkMargin, true);
    markerDefine(QsciScintilla::Bookmark, kBookmarkMarker);
    setCaretLineVisible(true);
    setBraceMatching(SloppyBraceMatch);
    setTabWidth(4);
    setWrapMode(WrapNone);
    setScrollWidthTracking(true);
    setScrollWidth(200);
    auto* stock = new QsciLexerSQL(this);
    Theme::instance().onChange(stock, [stock] { editor::applySqlColours(stock); });
    lexer_ = stock;
    Theme::instance().onChange(this, [this] { applyTheme(); });
    setEditorFont(QString(), QString());
    setLexer(lexer_);
    releaseKeysTakenByMenus();
    connect(this, &QsciScintilla::marginClicked, this, [this](int margin, int line, Qt::KeyboardModifiers) {
        if (margin != kBookmarkMargin) return;
        if (markersAtLine(line) & (1 << kBookmarkMarker))
            markerDelete(line, kBookmarkMarker);
        else
            markerAdd(line, kBookmarkMarker);
    });
    connect(this, &QsciScintilla::linesChanged, this, [this] {
        if (margins_) setMarginWidth(0, QStringLiteral("0%1").arg(lines()));
    });
    setMarginWidth(0, QStringLiteral("0000"));
}

SqlEditor::~SqlEditor() { delete findDialog_; }

void SqlEditor::applyTheme() {
    using Role = Theme::Role;
    setPaper(themeColour(Role::Paper)); // used while no lexer colours the text
    setColor(themeColour(Role::Text));
    setMarginsForegroundColor(themeColour(Role::MarginText));
    setMarginsBackgroundColor(themeColour(Role::MarginPaper));
    setFoldMarginColors(themeColour(Role::MarginPaper), themeColour(Role::MarginPaper));
    setMarkerBackgroundColor(themeColour(Role::Bookmark), kBookmarkMarker);
    setCaretLineBackgroundColor(themeColour(Role::CaretLine));
    setCaretForegroundColor(themeColour(Role::Caret));
    setSelectionBackgroundColor(themeColour(Role::Selection));
    setMatchedBraceForegroundColor(themeColour(Role::BraceText));
    setMatchedBraceBackgroundColor(themeColour(Role::BracePaper));
    setUnmatchedBraceForegroundColor(themeColour(Role::BadBraceText));
    setUnmatchedBraceBackgroundColor(themeColour(Role::Paper));
}

void SqlEditor::setMarginsVisible(bool on) {
    margins_ = on;
    setMarginWidth(0, on ? QStringLiteral("0%1").arg(lines()) : QString());
    setMarginWidth(kBookmarkMargin, on ? 14 : 0);
    if (!on) setMarginWidth(0, 0);
}

void SqlEditor::releaseKeysTakenByMenus() {
    const QList<QsciCommand*> commands = standardCommands()->commands();
    if (ownKeys_.isEmpty())
        for (QsciCommand* cmd : commands) ownKeys_.insert(cmd, {cmd->key(), cmd->alternateKey()});
    auto taken = [](QsciCommand* cmd, int code) {
        if (code == 0) return false;
        for (const QKeySequence& k : kDroppedKeys)
            if (k[0].toCombined() == code) return true;
        for (const MenuKey& m : menuKeys())
            // a menu's Undo on the editor's Undo key may stay the editor's: it does the same
            if (!m.key.isEmpty() && m.key[0].toCombined() == code &&
                editorCommandFor(m.sameAs) != cmd->command())
                return true;
        return false;
    };
    for (QsciCommand* cmd : commands) {
        const auto [key, alternate] = ownKeys_.value(cmd);
        cmd->setKey(taken(cmd, key) ? 0 : key);
        cmd->setAlternateKey(taken(cmd, alternate) ? 0 : alternate);
    }
}

void SqlEditor::setMenuKeys(const QList<MenuKey>& keys) {
    menuKeys() = keys;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* editor = qobject_cast<SqlEditor*>(w)) editor->releaseKeysTakenByMenus();
}

QKeySequence SqlEditor::appCommandKey(AppCommand command) {
    switch (command) {
    case CodeSense: return QKeySequence(Qt::CTRL | Qt::Key_Space);
    case CatalogSense: return QKeySequence(Qt::SHIFT | Qt::Key_Space);
    case EscapeStop: return QKeySequence(Qt::Key_Escape);
    case TestCommand: return QKeySequence(); // registered without a usable key
    }
    return {};
}

void SqlEditor::keyPressEvent(QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier |
                                                         Qt::MetaModifier);
    if (e->key() == Qt::Key_X && mods == Qt::AltModifier) {
        emit executeRequested();
        return;
    }
    const QKeySequence pressed(e->keyCombination());
    for (AppCommand c : {CodeSense, CatalogSense, EscapeStop})
        if (pressed == appCommandKey(c) && appCommandHandler_ && appCommandHandler_(c)) return;
    QsciScintilla::keyPressEvent(e);
}

void SqlEditor::executeCmd(int command, bool) {
    int line = 0, index = 0;
    getCursorPosition(&line, &index);
    switch (command) {
    case GoToLine: goToLineDialog(); break;
    case Replace: openFindDialog(true); break;
    case Find: openFindDialog(false); break;
    case ToggleBookmark:
        if (markersAtLine(line) & (1 << kBookmarkMarker))
            markerDelete(line, kBookmarkMarker);
        else
            markerAdd(line, kBookmarkMarker);
        break;
    case NextBookmark: {
        int next = markerFindNext(line + 1, 1 << kBookmarkMarker);
        if (next < 0) next = markerFindNext(0, 1 << kBookmarkMarker); // wrap around
        if (next >= 0) setCursorPosition(next, 0), ensureLineVisible(next);
        break;
    }
    case PreviousBookmark: {
        int prev = line > 0 ? markerFindPrevious(line - 1, 1 << kBookmarkMarker) : -1;
        if (prev < 0) prev = markerFindPrevious(lines() - 1, 1 << kBookmarkMarker);
        if (prev >= 0) setCursorPosition(prev, 0), ensureLineVisible(prev);
        break;
    }
    case ClearBookmarks: markerDeleteAll(kBookmarkMarker); break;
    default: break;
    }
}

int SqlEditor::bookmarkCount() const {
    int n = 0;
    for (int l = markerFindNext(0, 1 << kBookmarkMarker); l >= 0; l = markerFindNext(l + 1, 1 << kBookmarkMarker)) ++n;
    return n;
}

void SqlEditor::goToLineDialog() {
    int line = 0, index = 0;
    getCursorPosition(&line, &index);
    const auto target = Dialogs::get().inputNumber(this, QStringLiteral("Line number (1 - %1):").arg(lines()),
                                                   QStringLiteral("Go to Line"), line + 1, 1, std::max(1, lines()));
    if (!target) return;
    setCursorPosition(*target - 1, 0);
    ensureLineVisible(*target - 1);
    setFocus();
}

void SqlEditor::openFindDialog(bool withReplace) {
    if (!findDialog_) findDialog_ = new FindReplaceDialog(this);
    findDialog_->showFor(withReplace, hasSelectedText() && !selectedText().contains(QLatin1Char('\n'))
                                          ? selectedText()
                                          : wordAt(selectionRange().startLine, selectionRange().startColumn));
}

EditorRange SqlEditor::selectionRange() const {
    EditorRange r;
    if (hasSelectedText()) {
        getSelection(&r.startLine, &r.startColumn, &r.endLine, &r.endColumn);
    } else {
        getCursorPosition(&r.startLine, &r.startColumn);
        r.endLine = r.startLine;
        r.endColumn = r.startColumn;
    }
    return r;
}

void SqlEditor::setSelectionRange(const EditorRange& r, bool scrollIntoView) {
    setSelection(r.startLine, r.startColumn, r.endLine, r.endColumn);
    if (scrollIntoView) ensureLineVisible(r.endLine);
}

QString SqlEditor::wordAt(int line, int column) const { return wordAtLineIndex(line, column); }

bool SqlEditor::canPaste() const {
    if (isReadOnly()) return false;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText();
}

void SqlEditor::setSyntaxColouring(bool on) {
    colouring_ = on;
    setLexer(on ? lexer_ : nullptr);
    applyTheme(); // a new lexer resets the margins' colours
    setEditorFont(font_.family(), QString::number(font_.pointSize()));
}

void SqlEditor::setLanguage(QsciLexer* language) {
    QsciLexer* old = lexer_;
    lexer_ = language;
    setSyntaxColouring(colouring_); // attaches it (when colouring is on) and gives it the font
    if (old && old != language && old->parent() == this) delete old;
}

void SqlEditor::setConvertTabs(bool on) { setIndentationsUseTabs(!on); }

QFont SqlEditor::fontFromSettings(const QString& family, const QString& pointSize) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!family.trimmed().isEmpty() && QFontDatabase::hasFamily(family.trimmed())) f.setFamily(family.trimmed());
    bool ok = false;
    const double size = pointSize.trimmed().toDouble(&ok);
    f.setPointSizeF(ok && size >= 4 && size <= 96 ? size : 10);
    return f;
}

void SqlEditor::setEditorFont(const QString& family, const QString& pointSize) {
    const QFont f = fontFromSettings(family, pointSize);
    font_ = f;
    setFont(f);
    setMarginsFont(f);
    if (lexer_) {
        lexer_->setDefaultFont(f);
        // keep the lexer's bold keywords and italic comments in the chosen family and size
        for (int style = 0; style < 128; ++style) {
            QFont sf = lexer_->font(style);
            sf.setFamily(f.family());
            sf.setPointSizeF(f.pointSizeF());
            lexer_->setFont(sf, style);
        }
    }
}

void SqlEditor::appendText(const QString& text) {
    const bool ro = isReadOnly();
    if (ro) setReadOnly(false);
    append(text);
    if (ro) setReadOnly(true);
}

void SqlEditor::insertColumn(const QString& start, const QString& highlight, const QString& end) {
    const EditorRange before = selectionRange();
    // the selection's start as the editor counts it (the earlier end when selected backwards)
    int line = before.startLine, column = before.startColumn;
    if (before.endLine < line || (before.endLine == line && before.endColumn < column)) {
        line = before.endLine;
        column = before.endColumn;
    }
    replaceSelectedText(start + highlight + end);
    // Columns are counted in characters of the line; start and highlight are
    // single-line texts in every stored snippet.
    EditorRange r{line, column + int(start.size()), line, column + int(start.size() + highlight.size())};
    setSelectionRange(r, true);
    setFocus();
}
