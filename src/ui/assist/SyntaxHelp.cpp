#include "assist/SyntaxHelp.h"

#include "assist/HelpPage.h"
#include "base/Background.h"
#include "editor/SqlEditor.h"

#include <QEvent>
#include <QFile>
#include <QTextBrowser>
#include <QTimer>

namespace {

// The stored text of a page shown from a file or a Qt resource.
QString pageText(const QUrl& url) {
    const QString path =
        url.scheme() == QLatin1String("qrc") ? QLatin1Char(':') + url.path() : url.toLocalFile();
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

} // namespace

SyntaxHelp::SyntaxHelp(SqlEditor* editor, QTextBrowser* browser)
    : QObject(editor), editor_(editor), browser_(browser), startPage_(browser->source()),
      timer_(new QTimer(this)), lookup_(assist::sLocateKeyword) {
    timer_->setSingleShot(true);
    timer_->setInterval(150);
    connect(timer_, &QTimer::timeout, this, &SyntaxHelp::lookUpPending);
    connect(editor_, &QsciScintilla::textChanged, this, &SyntaxHelp::onTextChanged);
    browser_->installEventFilter(this);
}

void SyntaxHelp::setDelay(int milliseconds) {
    timer_->setInterval(milliseconds);
}

void SyntaxHelp::onTextChanged() {
    if (!browser_->isVisible()) return; // no lookups while the help is not showing
    timer_->start();                    // restarts: only a pause in the typing looks up
}

void SyntaxHelp::lookUpPending() {
    if (!browser_->isVisible()) return;
    // the word at the caret as the pause finds it (a change is reported
    // before the caret moves past it)
    int line = 0, index = 0;
    editor_->getCursorPosition(&line, &index);
    const QString word = editor_->wordAt(line, index);
    if (word.size() < 2) return; // a single character says too little
    const int generation = ++generation_;
    ++lookupsStarted_;
    runInBackground<Result<std::optional<KeywordHelp>>>(
        this, [lookup = lookup_, word] { return lookup(word); },
        [this, generation](Result<std::optional<KeywordHelp>> r) {
            // a failed lookup or no match keeps what is shown; a later lookup wins
            if (generation != generation_ || !r || !r.value()) return;
            showHelp(*r.value());
        });
}

void SyntaxHelp::showHelp(const KeywordHelp& help) {
    const QString page = pageText(startPage_);
    if (page.isEmpty()) return; // no page, no placeholders: nothing to show
    const QHash<QString, QString> fragments = {{assist::kSyntaxId, help.title},
                                               {assist::kDescriptionId, help.description},
                                               {assist::kExampleId, help.example}};
    browser_->document()->setBaseUrl(startPage_); // relative links and pictures of the page keep working
    browser_->setHtml(assist::fillPlaceholders(page, fragments));
    shownWord_ = help.name;
    emit helpShown(help.name);
}

void SyntaxHelp::showStartPage() {
    if (shownWord_.isEmpty()) return;
    shownWord_.clear();
    ++generation_; // an answer on its way belongs to the page just left
    browser_->reload();
}

bool SyntaxHelp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == browser_) {
        if (event->type() == QEvent::Resize)
            showStartPage();
        else if (event->type() == QEvent::Show)
            timer_->start(); // the help of the word at the caret
    }
    return QObject::eventFilter(watched, event);
}
