#include "assist/CompletionPopup.h"

#include "assist/CatalogCache.h"
#include "assist/CompletionList.h"
#include "assist/KeywordLanguage.h"
#include "assist/ScriptVariables.h"
#include "common/Theme.h"
#include "common/DocumentContext.h"
#include "editor/SqlEditor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

const QString kNoConnection = QStringLiteral("[No Connection]");
const QString kNotSupported = QStringLiteral("Not Supported");
constexpr QSize kPopupSize(330, 250);

// Characters of the word in front of the caret that the popup completes.
bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#') || c == QLatin1Char('@') ||
           c == QLatin1Char('$');
}

// Characters that, typed in a list, extend the word.
bool extendsWord(QChar c, CompletionPopup::List list) {
    if (c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('_') || c == QLatin1Char('#') ||
        c == QLatin1Char(':'))
        return true;
    return c == QLatin1Char('@') && list == CompletionPopup::Variables;
}

long sci(SqlEditor* e, unsigned int message, unsigned long w = 0, long l = 0) {
    return e->SendScintilla(message, w, l);
}

} // namespace

CompletionPopup::CompletionPopup(SqlEditor* editor, QWidget* host, const KeywordLanguage* language,
                                 const DocumentContext& context)
    : QFrame(host), editor_(editor), host_(host), language_(language), context_(context),
      cache_(new CatalogCache(this)) {
    setObjectName(QStringLiteral("completionPopup"));
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    stack_ = new QStackedWidget(this);
    layout->addWidget(stack_, 1);
    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("completionHint"));
    QFont small = hint_->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    hint_->setFont(small);
    hint_->setContentsMargins(4, 2, 4, 2);
    hint_->setTextFormat(Qt::RichText);
    Theme::instance().onChange(hint_, [this] {
        hint_->setStyleSheet(QStringLiteral("color: %1; background: %2;")
                                 .arg(themeColour(Theme::Role::HintText).name(),
                                      themeColour(Theme::Role::HintPaper).name()));
    });
    layout->addWidget(hint_);
    const char* names[] = {"keywordList", "tableList", "columnList", "variableList"};
    for (size_t i = 0; i < lists_.size(); ++i) {
        lists_[i] = new CompletionList(stack_);
        lists_[i]->setObjectName(QLatin1String(names[i]));
        lists_[i]->installEventFilter(this);
        stack_->addWidget(lists_[i]);
        connect(lists_[i], &QAbstractItemView::doubleClicked, this, [this, i](const QModelIndex& index) {
            lists_[i]->setCurrentIndex(index);
            if (!lists_[i]->hasWord()) return dismiss();
            acceptEntry(lists_[i]->currentText(), QStringLiteral(" "));
        });
    }
    hide();
    fillKeywords();
    connect(language_, &KeywordLanguage::loaded, this, &CompletionPopup::fillKeywords);
    // a click anywhere else (the focus leaves the popup) closes it; it
    // follows the word when the editor scrolls
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (isOpen() && now && !isAncestorOf(now)) dismiss();
    });
    for (QScrollBar* bar : {editor_->verticalScrollBar(), editor_->horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            if (isOpen()) place();
        });
}

QString CompletionPopup::connection() const {
    return context_.connectionString();
}

// ---- opening ----

void CompletionPopup::fillKeywords() {
    CompletionList* l = list(Keywords);
    const WordLists& w = language_->lists();
    l->setEntries(w.keywords, EntryKind::Keyword);
    l->addEntries(w.operators, EntryKind::Operator);
    l->addEntries(w.functions, EntryKind::Function);
    l->addEntries(w.dataTypes, EntryKind::DataType);
    if (l->count() == 0) l->setPlaceholder(kNotSupported);
}

void CompletionPopup::placeIntelliPopup() {
    // the word in front of the caret (a selection collapses to the caret)
    const int caret = int(sci(editor_, QsciScintillaBase::SCI_GETCURRENTPOS));
    const int line = int(sci(editor_, QsciScintillaBase::SCI_LINEFROMPOSITION, caret));
    const int lineStart = int(sci(editor_, QsciScintillaBase::SCI_POSITIONFROMLINE, line));
    const QString before = editor_->text(lineStart, caret);
    qsizetype from = before.size();
    while (from > 0 && isWordChar(before[from - 1]))
        --from;
    wordStart_ = lineStart + int(before.left(from).toUtf8().size());
    wordEnd_ = caret;
    selectWord();
    // a choice left from an earlier opening must not stand for a word that
    // matches nothing; the table list keeps its choice for the column list
    for (List which : {Keywords, Columns, Variables})
        list(which)->setCurrentIndex({});
    switchTo(Keywords);
    place();
    show();
    raise();
    locate();
}

void CompletionPopup::showKeywords() {
    if (!isOpen()) placeIntelliPopup();
    switchTo(Keywords);
    locate();
}

void CompletionPopup::showCatalogs() {
    if (!isOpen()) placeIntelliPopup();
    switchTo(Tables);
    const QString cs = connection();
    if (cs.isEmpty()) {
        list(Tables)->setPlaceholder(kNoConnection);
        return locate();
    }
    const int request = ++tablesRequest_;
    const bool ready = cache_->requestTables(cs, [this, request](const Result<CatalogCache::Tables>& r) {
        if (request != tablesRequest_) return; // a newer request took over
        CompletionList* l = list(Tables);
        if (!r) {
            l->setPlaceholder(r.error().trimmed());
        } else {
            l->setEntries(r->user, EntryKind::Table);
            l->addEntries(r->system, EntryKind::SystemTable);
            if (l->count() == 0) l->setPlaceholder(QStringLiteral("(no tables)"));
        }
        if (isOpen() && current_ == Tables) locate();
    });
    if (!ready) list(Tables)->setPlaceholder(QStringLiteral("Reading tables…"));
}

void CompletionPopup::showCatalogItems() {
    if (!isOpen()) placeIntelliPopup();
    QString table = tableBeforeWord();
    if (table.isEmpty() && list(Tables)->hasWord()) table = list(Tables)->currentText();
    showColumnsOf(table);
}

void CompletionPopup::showColumnsOf(const QString& table) {
    CompletionList* l = list(Columns);
    const QString cs = connection();
    columnsTable_ = table;
    switchTo(Columns); // after columnsTable_: the hint names the table
    if (cs.isEmpty()) {
        l->setPlaceholder(kNoConnection);
        return locate();
    }
    if (table.isEmpty()) {
        l->setPlaceholder(QStringLiteral("(no table chosen: F2 lists the tables)"));
        return locate();
    }
    const int request = ++columnsRequest_;
    const QString database = context_.database();
    const bool ready =
        cache_->requestColumns(cs, database, table, [this, request](const Result<QStringList>& r) {
            if (request != columnsRequest_) return;
            CompletionList* cl = list(Columns);
            if (!r)
                cl->setPlaceholder(r.error().trimmed());
            else if (r->isEmpty())
                cl->setPlaceholder(QStringLiteral("(no columns)"));
            else
                cl->setEntries(*r, EntryKind::Column);
            if (isOpen() && current_ == Columns) locate();
        });
    if (!ready) l->setPlaceholder(QStringLiteral("Reading columns…"));
}

void CompletionPopup::showVariables() {
    if (!isOpen()) placeIntelliPopup();
    CompletionList* l = list(Variables);
    const QStringList names = completion::buildItem(editor_->text());
    if (names.isEmpty())
        l->setPlaceholder(QStringLiteral("(no variables)"));
    else
        l->setEntries(names, EntryKind::Variable);
    switchTo(Variables);
    locate();
}

bool CompletionPopup::catalogIsEmpty() const {
    const QString cs = connection();
    if (cs.isEmpty()) return true;
    const CatalogCache::Tables* t = cache_->cachedTables(cs);
    return t && t->user.isEmpty() && t->system.isEmpty();
}

// The table named before a "." in front of the word ("orders." or
// "dbo.orders." give orders; quoted names lose their quotes).
QString CompletionPopup::tableBeforeWord() const {
    const int line = int(sci(editor_, QsciScintillaBase::SCI_LINEFROMPOSITION, wordStart_));
    const int lineStart = int(sci(editor_, QsciScintillaBase::SCI_POSITIONFROMLINE, line));
    const QString before = editor_->text(lineStart, wordStart_);
    if (!before.endsWith(QLatin1Char('.'))) return {};
    qsizetype end = before.size() - 1, from = end;
    const QChar last = end > 0 ? before[end - 1] : QChar();
    if (last == QLatin1Char('"') || last == QLatin1Char(']') || last == QLatin1Char('`')) {
        const QChar open = last == QLatin1Char(']') ? QLatin1Char('[') : last;
        from = before.lastIndexOf(open, end - 2);
        return from < 0 ? QString() : before.mid(from + 1, end - 2 - from);
    }
    while (from > 0 && isWordChar(before[from - 1]))
        --from;
    return before.mid(from, end - from);
}

void CompletionPopup::switchTo(List which) {
    current_ = which;
    stack_->setCurrentWidget(list(which));
    static const char* const hints[] = {
        "<b>Keywords</b> &nbsp; F2 tables · F3 variables",
        "<b>Tables</b> &nbsp; Space/F2 columns · F3 keywords · F5 reread",
        "<b>Columns of %1</b> &nbsp; F2 tables · F3 keywords",
        "<b>Variables</b> &nbsp; F3 keywords",
    };
    QString hint = QString::fromUtf8(hints[which]);
    if (which == Columns)
        hint = hint.arg(columnsTable_.isEmpty() ? QStringLiteral("?") : columnsTable_.toHtmlEscaped());
    hint_->setText(hint);
    if (isOpen()) list(which)->setFocus();
}

// Selects the first entry that begins with the word, and focuses the list.
void CompletionPopup::locate() {
    CompletionList* l = list(current_);
    l->locate(word());
    if (isOpen()) l->setFocus();
}

void CompletionPopup::place() {
    // below the start of the word, or above its line when there is no room below
    const long x = sci(editor_, QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, wordStart_);
    const long y = sci(editor_, QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, wordStart_);
    const int line = int(sci(editor_, QsciScintillaBase::SCI_LINEFROMPOSITION, wordStart_));
    const long height = sci(editor_, QsciScintillaBase::SCI_TEXTHEIGHT, line);
    const QPoint top = editor_->viewport()->mapTo(host_, QPoint(int(x), int(y)));
    const QSize size(std::min(kPopupSize.width(), host_->width()),
                     std::min(kPopupSize.height(), host_->height()));
    int left = top.x() - 22; // the entries' text lines up with the word
    left = std::max(0, std::min(left, host_->width() - size.width()));
    int upper = top.y() + int(height);
    if (upper + size.height() > host_->height()) upper = std::max(0, top.y() - size.height());
    setGeometry(QRect(QPoint(left, upper), size));
}

// ---- the word in the editor ----

QString CompletionPopup::word() const {
    return wordEnd_ > wordStart_ ? editor_->text(wordStart_, wordEnd_) : QString();
}

void CompletionPopup::selectWord() {
    const int length = int(sci(editor_, QsciScintillaBase::SCI_GETLENGTH));
    wordEnd_ = std::min(wordEnd_, length);
    wordStart_ = std::min(wordStart_, wordEnd_);
    sci(editor_, QsciScintillaBase::SCI_SETSEL, wordStart_, wordEnd_);
}

void CompletionPopup::extendWord(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    sci(editor_, QsciScintillaBase::SCI_INSERTTEXT, wordEnd_, reinterpret_cast<long>(bytes.constData()));
    wordEnd_ += int(bytes.size());
    selectWord();
    locate();
}

void CompletionPopup::shortenWord() {
    if (wordEnd_ <= wordStart_) return; // nothing typed: nothing to take back
    const int previous = int(sci(editor_, QsciScintillaBase::SCI_POSITIONBEFORE, wordEnd_));
    sci(editor_, QsciScintillaBase::SCI_DELETERANGE, previous, wordEnd_ - previous);
    wordEnd_ = previous;
    selectWord();
    locate();
}

void CompletionPopup::acceptEntry(const QString& text, const QString& suffix) {
    selectWord();
    editor_->replaceSelectedText(text + suffix);
    wordStart_ = wordEnd_ = int(sci(editor_, QsciScintillaBase::SCI_GETCURRENTPOS));
    if (suffix == QLatin1String(".")) return showColumnsOf(text); // the popup stays open with the columns
    hide();
    editor_->setFocus();
}

void CompletionPopup::dismiss() {
    if (!isOpen()) return;
    hide();
    selectWord();
    sci(editor_, QsciScintillaBase::SCI_SETEMPTYSELECTION, wordEnd_);
    editor_->setFocus();
}

void CompletionPopup::typeIntoEditor(QKeyEvent* e) {
    // the key as typed, without modifiers, so no editor command fires again
    QKeyEvent key(QEvent::KeyPress, e->key(), Qt::NoModifier, e->text(), e->isAutoRepeat(), e->count());
    QCoreApplication::sendEvent(editor_, &key);
}

// ---- keys ----

bool CompletionPopup::eventFilter(QObject* watched, QEvent* event) {
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
        acceptWithKey(e, QStringLiteral(" "));
        return true;
    case Qt::Key_Backspace:
        if (mods) break;
        shortenWord();
        return true;
    case Qt::Key_Escape:
        dismiss();
        return true;
    case Qt::Key_Space:
        if (mods) break;
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

void CompletionPopup::functionKey(int key) {
    if (key == Qt::Key_F5) {
        cache_->refresh();
        if (current_ == Tables)
            showCatalogs();
        else if (current_ == Columns)
            showColumnsOf(columnsTable_);
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
        showCatalogs();
        break;
    case Tables:
        if (list(Tables)->hasWord() || connection().isEmpty()) showColumnsOf(list(Tables)->currentText());
        break;
    case Columns:
        switchTo(Tables); // the same tables as before
        break;
    case Variables:
        break;
    }
}

// Enter and Space: the chosen entry goes in followed by suffix; with a
// placeholder (or nothing chosen) the popup closes and the key is typed.
void CompletionPopup::acceptWithKey(QKeyEvent* e, const QString& suffix) {
    CompletionList* l = list(current_);
    if (!l->hasWord()) {
        dismiss();
        typeIntoEditor(e);
        return;
    }
    acceptEntry(l->currentText(), suffix);
}
