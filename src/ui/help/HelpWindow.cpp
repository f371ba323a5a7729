#include "help/HelpWindow.h"

#include "common/Theme.h"
#include "help/Help.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QStringList queryWords(const QString& query) {
    return query.toLower().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

constexpr int kPageRole = Qt::UserRole;

} // namespace

HelpWindow::HelpWindow(QWidget* host) : QWidget(host, Qt::Window) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("SQL Query Editor Help"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    resize(980, 700);

    auto* bar = new QToolBar(this);
    bar->setIconSize(QSize(18, 18));
    back_ = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Back"));
    back_->setShortcut(QKeySequence::Back);
    back_->setEnabled(false);
    forward_ = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Forward"));
    forward_->setShortcut(QKeySequence::Forward);
    forward_->setEnabled(false);
    QAction* contents =
        bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Contents"));
    bar->addSeparator();
    search_ = new QLineEdit(bar);
    search_->setObjectName(QStringLiteral("helpSearch"));
    search_->setPlaceholderText(QStringLiteral("Search the help"));
    search_->setClearButtonEnabled(true);
    search_->setMaximumWidth(320);
    bar->addWidget(search_);
    QAction* next = bar->addAction(QStringLiteral("Find Next"));
    next->setShortcut(QKeySequence::FindNext);
    QAction* focusSearch = new QAction(this);
    focusSearch->setShortcut(QKeySequence::Find);
    addAction(focusSearch);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("helpPages"));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(true);
    Theme::usePageColours(browser_);
    // The pages' style sheet: the browser does not follow their <link>.
    QFile css(QStringLiteral(":/help/help.css"));
    if (css.open(QIODevice::ReadOnly))
        browser_->document()->setDefaultStyleSheet(QString::fromUtf8(css.readAll()));
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(list_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 1);
    split->setSizes({230, 750});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(split, 1);

    searchDelay_ = new QTimer(this);
    searchDelay_->setSingleShot(true);
    searchDelay_->setInterval(150);

    connect(back_, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(forward_, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
    connect(contents, &QAction::triggered, this, [this] { browser_->setSource(help::topicUrl(QString())); });
    connect(next, &QAction::triggered, this, &HelpWindow::findNext);
    connect(focusSearch, &QAction::triggered, this, [this] {
        search_->setFocus();
        search_->selectAll();
    });
    connect(search_, &QLineEdit::textChanged, searchDelay_, qOverload<>(&QTimer::start));
    connect(searchDelay_, &QTimer::timeout, this, &HelpWindow::showSearchResults);
    connect(search_, &QLineEdit::returnPressed, this, [this] {
        searchDelay_->stop();
        showSearchResults();
        // Enter opens the best page, or goes on to the next hit once it is shown
        QListWidgetItem* best = list_->count() ? list_->item(0) : nullptr;
        const QString page = best ? best->data(kPageRole).toString() : QString();
        if (!page.isEmpty() && page != pageOf(browser_->source()))
            list_->setCurrentItem(best);
        else
            findNext();
    });
    connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        const QString page = item ? item->data(kPageRole).toString() : QString();
        if (page.isEmpty() || page == pageOf(browser_->source())) return;
        browser_->setSource(help::topicUrl(page));
        if (!search_->text().trimmed().isEmpty()) findNext(); // to the first hit
    });
    connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        markHits();
        const QString page = pageOf(url);
        for (int i = 0; i < list_->count(); ++i)
            if (list_->item(i)->data(kPageRole).toString() == page) {
                const QSignalBlocker quiet(list_);
                list_->setCurrentRow(i);
            }
    });
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);

    loadPages();
    showContentsList();
}

void HelpWindow::loadPages() {
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"),
                                          QRegularExpression::CaseInsensitiveOption);
    pages_ = help::pages();
    for (const QString& page : pages_) {
        QFile f(QStringLiteral(":/help/") + page);
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QString html = QString::fromUtf8(f.readAll());
        const QString t = title.match(html).captured(1).trimmed();
        titles_.insert(page, t.isEmpty() ? page : t);
        texts_.insert(page, QTextDocumentFragment::fromHtml(html).toPlainText().toLower());
    }
}

QString HelpWindow::pageOf(const QUrl& url) const {
    return url.fileName();
}

QStringList HelpWindow::search(const QString& query) const {
    const QStringList words = queryWords(query);
    if (words.isEmpty()) return {};
    std::vector<std::pair<qsizetype, QString>> hits;
    for (const QString& page : pages_) {
        const QString& text = texts_.value(page);
        qsizetype total = 0;
        bool all = true;
        for (const QString& w : words) {
            const qsizetype n = text.count(w);
            if (n == 0) {
                all = false;
                break;
            }
            total += n;
        }
        if (all) hits.emplace_back(total, page);
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    QStringList result;
    for (const auto& hit : hits)
        result << hit.second;
    return result;
}

void HelpWindow::showContentsList() {
    const QSignalBlocker quiet(list_);
    list_->clear();
    for (const QString& page : pages_) {
        auto* item = new QListWidgetItem(titles_.value(page, page), list_);
        item->setData(kPageRole, page);
        if (page == pageOf(browser_->source())) list_->setCurrentItem(item);
    }
}

void HelpWindow::showSearchResults() {
    const QString query = search_->text().trimmed();
    markHits();
    if (query.isEmpty()) {
        showContentsList();
        return;
    }
    const QSignalBlocker quiet(list_);
    list_->clear();
    const QStringList found = search(query);
    for (const QString& page : found) {
        auto* item = new QListWidgetItem(titles_.value(page, page), list_);
        item->setData(kPageRole, page);
    }
    if (found.isEmpty()) {
        auto* none = new QListWidgetItem(QStringLiteral("No page mentions \"%1\"").arg(query), list_);
        none->setFlags(Qt::NoItemFlags);
    }
}

void HelpWindow::markHits() {
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat format;
    format.setBackground(Theme::colour(Theme::Role::SearchMatchPaper, false));
    format.setForeground(Theme::colour(Theme::Role::SearchMatchText, false));
    for (const QString& w : queryWords(search_->text())) {
        QTextCursor c(browser_->document());
        while (!(c = browser_->document()->find(w, c)).isNull()) {
            QTextEdit::ExtraSelection s;
            s.cursor = c;
            s.format = format;
            marks << s;
        }
    }
    browser_->setExtraSelections(marks);
}

void HelpWindow::findNext() {
    const QStringList words = queryWords(search_->text());
    if (words.isEmpty()) return;
    if (!browser_->find(words.first())) { // from the top again
        browser_->moveCursor(QTextCursor::Start);
        browser_->find(words.first());
    }
}

void HelpWindow::moveTo(QWidget* host) {
    if (parentWidget() == host) return;
    const QRect place = geometry();
    setParent(host, Qt::Window);
    setGeometry(place);
}

void HelpWindow::showPage(const QUrl& url) {
    if (url.isEmpty()) return;
    if (browser_->source() == url)
        browser_->reload();
    else
        browser_->setSource(url);
    show();
    raise();
    activateWindow();
}
