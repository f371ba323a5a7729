#include "assist/CompletionPopup.h"

#include "assist/CatalogCache.h"
#include "assist/CompletionList.h"
#include "assist/ContextSuggestions.h"
#include "assist/EditorStatements.h"
#include "assist/KeywordLanguage.h"
#include "assist/ScriptVariables.h"
#include "common/Theme.h"
#include "common/DocumentContext.h"
#include "editor/SqlEditor.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace {

const QString kNotSupported = QStringLiteral("Not Supported");
constexpr QSize kPopupSize(330, 250);

// Characters of the word in front of the caret that the popup completes.
bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#') || c == QLatin1Char('@') ||
           c == QLatin1Char('$');
}

bool isOpeningQuote(QChar c) {
    return c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[');
}

long sci(SqlEditor* e, unsigned int message, unsigned long w = 0, long l = 0) {
    return e->SendScintilla(message, w, l);
}

} // namespace

CompletionPopup::CompletionPopup(SqlEditor* editor, QWidget* host, const KeywordLanguage* language,
                                 EditorStatements* statements, const DocumentContext& context)
    : QFrame(host), editor_(editor), host_(host), language_(language), statements_(statements), context_(context),
      cache_(new CatalogCache(this)), suggestions_(new ContextSuggestions(cache_, language, this)) {
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
    hint_->setWordWrap(true);
    Theme::instance().onChange(hint_, [this] {
        hint_->setStyleSheet(QStringLiteral("color: %1; background: %2;")
                                 .arg(themeColour(Theme::Role::HintText).name(),
                                      themeColour(Theme::Role::HintPaper).name()));
    });
    layout->addWidget(hint_);
    const char* names[] = {"keywordList", "tableList", "columnList", "variableList", "suggestionList"};
    for (size_t i = 0; i < lists_.size(); ++i) {
        lists_[i] = new CompletionList(stack_);
        lists_[i]->setObjectName(QLatin1String(names[i]));
        lists_[i]->installEventFilter(this);
        stack_->addWidget(lists_[i]);
        connect(lists_[i], &QAbstractItemView::doubleClicked, this, [this, i](const QModelIndex& index) {
            lists_[i]->setCurrentIndex(index);
            if (!lists_[i]->hasWord()) return dismiss();
            acceptEntry(lists_[i]->currentEntry(), i == Suggestions ? QString() : QStringLiteral(" "));
        });
    }
    connect(list(Suggestions)->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CompletionPopup::showHint);
    // an unfocused list (a popup that follows the typing) shows its choice as a focused one does
    QPalette palette = list(Suggestions)->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    list(Suggestions)->setPalette(palette);
    // a popup that follows the typing looks again after every typed
    // character, caret move and (once the editor has applied it) deletion
    editor_->installEventFilter(this);
    connect(editor_, &QsciScintillaBase::SCN_CHARADDED, this, &CompletionPopup::follow);
    connect(editor_, &QsciScintilla::cursorPositionChanged, this, &CompletionPopup::follow);
    connect(editor_, &QsciScintilla::textChanged, this, [this] {
        if (isFollowing()) QTimer::singleShot(0, this, &CompletionPopup::follow);
    });
    hide();
    fillKeywords();
    connect(language_, &KeywordLanguage::loaded, this, &CompletionPopup::fillKeywords);
    // a list read again behind a stale one replaces it in the open popup
    connect(cache_, &CatalogCache::updated, this, [this](const QString& cs) {
        if (!isOpen() || cs != connection()) return;
        if (current_ == Tables) showCatalogs();
        else if (current_ == Suggestions) showSuggestions(following_);
    });
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

QString CompletionPopup::database() const {
    return context_.database();
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

// The word in front of the caret, with a quote that opens it.
std::pair<int, int> CompletionPopup::wordBefore(int caret) const {
    const int line = int(sci(editor_, QsciScintillaBase::SCI_LINEFROMPOSITION, caret));
    const int lineStart = int(sci(editor_, QsciScintillaBase::SCI_POSITIONFROMLINE, line));
    const QString before = editor_->text(lineStart, caret);
    qsizetype from = before.size();
    while (from > 0 && isWordChar(before[from - 1]))
        --from;
    if (from > 0 && isOpeningQuote(before[from - 1])) --from;
    return {lineStart + int(before.left(from).toUtf8().size()), caret};
}

void CompletionPopup::openAtCaret(bool follow) {
    // a selection collapses to the caret
    std::tie(wordStart_, wordEnd_) = wordBefore(int(sci(editor_, QsciScintillaBase::SCI_GETCURRENTPOS)));
    following_ = follow;
    if (!following_) selectWord();
    // a choice left from an earlier opening must not stand for a word that
    // matches nothing; the table list keeps its choice for the column list
    for (List which : {Keywords, Columns, Variables, Suggestions})
        list(which)->setCurrentIndex({});
    place();
    show();
    raise();
}

void CompletionPopup::placeIntelliPopup() {
    openAtCaret(false);
    switchTo(Keywords);
    locate();
}

void CompletionPopup::showKeywords() {
    if (!isOpen()) placeIntelliPopup();
    switchTo(Keywords);
    locate();
}

void CompletionPopup::showVariables() {
    if (!isOpen()) placeIntelliPopup();
    CompletionList* l = list(Variables);
    const QStringList names = assist::buildItem(editor_->text());
    if (names.isEmpty())
        l->setPlaceholder(QStringLiteral("(no variables)"));
    else
        l->setEntries(names, EntryKind::Variable);
    switchTo(Variables);
    locate();
}

void CompletionPopup::switchTo(List which) {
    current_ = which;
    stack_->setCurrentWidget(list(which));
    showHint();
    if (isOpen() && !following_) list(which)->setFocus();
}

void CompletionPopup::showHint() {
    static const char* const hints[] = {
        "<b>Keywords</b> &nbsp; F2 tables · F3 variables",
        "<b>Tables</b> &nbsp; Space/F2 columns · F3 keywords · F5 reread",
        "<b>Columns of %1</b> &nbsp; F2 tables · F3 keywords",
        "<b>Variables</b> &nbsp; F3 keywords",
        "<b>Suggestions</b> &nbsp; Enter/Tab insert · F2 tables · F3 keywords",
    };
    QString hint = QString::fromUtf8(hints[current_]);
    if (current_ == Columns)
        hint = hint.arg(columnsLabel_.isEmpty() ? QStringLiteral("?") : columnsLabel_.toHtmlEscaped());
    const assist::Candidate& entry = list(current_)->currentEntry();
    if (current_ == Suggestions && !entry.detail.isEmpty())
        hint = QStringLiteral("<b>%1</b><br>%2").arg(entry.detail, entry.help);
    hint_->setText(hint);
}

// Selects the first entry that begins with the word, and focuses the list.
void CompletionPopup::locate() {
    CompletionList* l = list(current_);
    l->locate(word());
    if (isOpen() && !following_) l->setFocus();
}

void CompletionPopup::follow() {
    if (!isFollowing()) return;
    const int caret = int(sci(editor_, QsciScintillaBase::SCI_GETCURRENTPOS));
    if (wordBefore(caret).first != wordStart_ || editor_->hasSelectedText()) return dismiss(); // left the word
    wordEnd_ = caret;
    CompletionList* l = list(current_);
    locate();
    if (l->isPlaceholder()) return; // still reading
    const int row = l->currentIndex().row();
    const bool complete = l->hasWord() && l->currentText().compare(word(), Qt::CaseInsensitive) == 0 &&
                          !l->textAt(row + 1).startsWith(word(), Qt::CaseInsensitive);
    if (!l->hasWord() || complete) dismiss(); // nothing left to complete
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
    return typedWord(wordStart_, wordEnd_);
}

QString CompletionPopup::typedWord(int start, int end) const {
    if (end <= start) return QString();
    QString w = editor_->text(start, end);
    if (!w.isEmpty() && isOpeningQuote(w[0])) w.remove(0, 1); // the name is matched without it
    return w;
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

void CompletionPopup::acceptEntry(const assist::Candidate& entry, const QString& suffix) {
    following_ = false; // the replacement moves the caret: nothing to follow
    const bool columnsNext = current_ == Tables && suffix == QLatin1String(".");
    const assist::ColumnSource source = columnsNext ? sourceOfRow(list(Tables)->currentIndex().row())
                                                        : assist::ColumnSource();
    const QString label = entry.text;
    selectWord();
    editor_->replaceSelectedText((entry.insert.isEmpty() ? entry.text : entry.insert) + suffix);
    wordStart_ = wordEnd_ = int(sci(editor_, QsciScintillaBase::SCI_GETCURRENTPOS));
    if (columnsNext) return showColumnsOf(source, label); // the popup stays open with the columns
    hide();
    editor_->setFocus();
}

void CompletionPopup::dismiss() {
    if (!isOpen()) return;
    suggestions_->cancel();
    hide();
    if (std::exchange(following_, false)) return; // the editor kept its caret and focus
    selectWord();
    sci(editor_, QsciScintillaBase::SCI_SETEMPTYSELECTION, wordEnd_);
    editor_->setFocus();
}
