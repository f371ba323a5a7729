#pragma once
// The help window: the bundled guide in a browser with back, forward and
// contents, a list of the guide's pages, and a search over all pages whose
// hits are listed by page and marked in the page shown.

#include <QHash>
#include <QUrl>
#include <QWidget>

class QAction;
class QLineEdit;
class QListWidget;
class QTextBrowser;
class QTimer;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* host = nullptr);

    // Shows the window (raised) at url.
    void showPage(const QUrl& url);
    // Keeps the window over host's window (a modal dialog, the main window).
    void moveTo(QWidget* host);

    QTextBrowser* browser() const { return browser_; }
    QLineEdit* searchBox() const { return search_; }
    QListWidget* pageList() const { return list_; }

    // The pages holding every word of query, best first (most hits), as
    // "file.htm"; empty for an empty query.
    QStringList search(const QString& query) const;

private:
    void loadPages();
    void showContentsList();
    void showSearchResults();
    void markHits();
    void findNext();
    QString pageOf(const QUrl& url) const;

    QTextBrowser* browser_;
    QLineEdit* search_;
    QListWidget* list_;
    QAction* back_;
    QAction* forward_;
    QTimer* searchDelay_;
    QStringList pages_;              // in contents order
    QHash<QString, QString> titles_; // page -> title
    QHash<QString, QString> texts_;  // page -> plain text, lower case
};
