#pragma once
// Keeps the unsaved-work journal for the main window's documents: every few
// seconds it writes the text of each changed document whose text moved on
// since its last entry; a save or a close drops the entry; at start it
// offers the entries of an earlier session back.

#include <QHash>
#include <QObject>

class MainWindow;
class QTimer;
class QueryDocument;

class JournalKeeper : public QObject {
    Q_OBJECT
public:
    explicit JournalKeeper(MainWindow* window);

    // Starts keeping a journal entry for doc.
    void track(QueryDocument* doc);
    // The document's text is safe on disk: its entry goes until it changes again.
    void markSaved(QueryDocument* doc);
    // The user has decided about the document (closed it): its entry goes.
    void forget(QueryDocument* doc);
    // Writes the entries of changed documents now (normally on the timer).
    void writeNow();
    void stop();
    // Offers the journalled documents of an earlier session back.
    void offerRecovery();

private:
    MainWindow* window_;
    QTimer* timer_;
    QHash<QueryDocument*, QString> ids_;
    QHash<QueryDocument*, quint64> written_; // revision last written
};
