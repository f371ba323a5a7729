#pragma once
// A document's session as the window shows it: whether its connection is
// kept open and whether it is inside a transaction, the "Disconnect"
// command, and the question before a document with an open transaction
// closes (Commit / Roll Back / Cancel). The connection itself is the core's
// Session, used by the document's runs on their own thread.

#include <QObject>
#include <QString>

#include <functional>

#include <utility>

class DocumentContext;
class QWidget;
class RunController;
struct RunResult;

class DocumentSession : public QObject {
    Q_OBJECT
public:
    // runs: the document's run controller (a COMMIT or ROLLBACK runs on the
    // context's kept session).
    DocumentSession(RunController* runs, DocumentContext& context, QObject* parent = nullptr);
    ~DocumentSession() override;

    bool isOpen() const { return open_; }
    bool inTransaction() const { return inTransaction_; }
    // What the status panel shows: empty, "Connected", "In Transaction" or
    // "Transaction Failed" (only a rollback can end it).
    QString panelText() const;

    // Closes the kept connection (not during a run); an open transaction is
    // rolled back by the server. Returns false when a run is going.
    bool disconnectSession();
    // Whether the document may close: asks what to do with an open
    // transaction, and commits or rolls it back before saying yes. A failed
    // COMMIT keeps the document open with the error shown. While the COMMIT
    // runs the window repaints but takes no input, so nothing can close or
    // change the document meanwhile.
    // For Disconnect and a change of connection the question offers to
    // stay connected instead.
    enum class Ending { CloseWindow, Disconnect, ChangeConnection, AutoCommitOn };
    bool confirmClose(QWidget* parent, Ending ending = Ending::CloseWindow);
    // What the last confirmClose did with the transaction ("The transaction
    // was committed."), or empty; cleared by reading it.
    QString takeOutcome() { return std::exchange(outcome_, QString()); }

    // Auto-commit of the document's runs (on by default). Off, the session
    // opens a transaction at the first statement of a run, which Commit or
    // Roll Back ends. Turning it back on inside a transaction asks first
    // (Commit / Roll Back / Cancel); false when the user kept it off.
    bool autoCommit() const;
    bool setAutoCommit(bool on, QWidget* parent);
    // Ends the open transaction (the toolbar's Commit and Roll Back); true
    // when it succeeded. Nothing happens outside a transaction or during a run.
    bool commit() { return inTransaction_ && endTransaction(true); }
    bool rollBack() { return inTransaction_ && endTransaction(false); }

    // Besides runs, what else may be using the kept connection (a plan being
    // read): while it does, the session is neither closed nor ended.
    void setOtherUse(std::function<bool()> inUse) { otherUse_ = std::move(inUse); }
    // What the session is after a run, or after a plan read on it.
    void noteState(bool open, bool inTransaction, bool aborted);

signals:
    void stateChanged();

private:
    void runFinished(const RunResult& result);
    // Runs COMMIT or ROLLBACK through the document's runs and waits for it
    // (the window keeps answering); true when it succeeded.
    bool endTransaction(bool commit);

    bool inUse() const;

    RunController* runs_;
    std::function<bool()> otherUse_;
    DocumentContext& context_;
    bool open_ = false;
    bool inTransaction_ = false;
    bool aborted_ = false;  // the transaction failed
    bool ending_ = false;   // a COMMIT or ROLLBACK of a close is running
    QString outcome_;
    bool lastRunOk_ = true; // the last run ended without an error or a stop
};
