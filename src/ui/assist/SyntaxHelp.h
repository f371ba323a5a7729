#pragma once
// Keyword help that follows the typing: while the help browser is showing,
// the word at the caret (two characters or more) is looked up in the
// keyword catalogue by its beginning, and the start page is shown with its
// "syntax", "description" and "example" placeholders filled from the best
// match. The lookup waits for a short pause in the typing and runs off the
// UI thread, so typing never waits on it; a word that matches nothing
// leaves the help shown before. Resizing the browser brings back the start
// page as stored.

#include "assist/KeywordCatalogue.h"

#include <QObject>
#include <QUrl>
#include <functional>
#include <optional>

class QTextBrowser;
class QTimer;
class SqlEditor;

class SyntaxHelp : public QObject {
    Q_OBJECT
public:
    using Lookup = std::function<Result<std::optional<KeywordHelp>>(const QString& word)>;

    // The browser must show the start page (its source) when attached.
    SyntaxHelp(SqlEditor* editor, QTextBrowser* browser);

    // The lookup used (the keyword catalogue's by default); runs on a worker thread.
    void setLookup(Lookup lookup) { lookup_ = std::move(lookup); }
    // The pause after the last change before a lookup starts.
    void setDelay(int milliseconds);
    int lookupsStarted() const { return lookupsStarted_; }
    // The word whose help is shown, empty while the start page is unfilled.
    QString shownWord() const { return shownWord_; }

    // Shows the help of a word that was found (also used by the lookup).
    void showHelp(const KeywordHelp& help);
    // Brings back the start page as stored.
    void showStartPage();

signals:
    void helpShown(const QString& word);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onTextChanged();
    void lookUpPending();

    SqlEditor* editor_;
    QTextBrowser* browser_;
    QUrl startPage_;
    QTimer* timer_;
    Lookup lookup_;
    QString shownWord_;
    int generation_ = 0;
    int lookupsStarted_ = 0;
};
