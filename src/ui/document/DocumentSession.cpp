#include "document/DocumentSession.h"

#include "common/Dialogs.h"
#include "common/DocumentContext.h"
#include "document/RunController.h"
#include "run/Session.h"

#include <QEventLoop>

DocumentSession::DocumentSession(RunController* runs, DocumentContext& context, QObject* parent)
    : QObject(parent), runs_(runs), context_(context) {
    connect(runs_, &RunController::runFinished, this,
            [this](const RunRequest&, const RunResult& result, const QDateTime&) { runFinished(result); });
}

DocumentSession::~DocumentSession() = default;

bool DocumentSession::inUse() const { return runs_->isRunning() || (otherUse_ && otherUse_()); }

QString DocumentSession::panelText() const {
    if (aborted_) return QStringLiteral("Transaction Failed");
    if (inTransaction_) return QStringLiteral("In Transaction");
    return open_ ? QStringLiteral("Connected") : QString();
}

void DocumentSession::runFinished(const RunResult& result) {
    lastRunOk_ = !result.isError() && !result.cancelled();
    noteState(result.sessionOpen, result.inTransaction.value_or(false), result.transactionAborted);
}

void DocumentSession::noteState(bool open, bool inTransaction, bool aborted) {
    inTransaction = open && inTransaction;
    aborted = inTransaction && aborted;
    if (open == open_ && inTransaction == inTransaction_ && aborted == aborted_) return;
    open_ = open;
    inTransaction_ = inTransaction;
    aborted_ = aborted;
    emit stateChanged();
}

bool DocumentSession::disconnectSession() {
    if (inUse()) return false;
    context_.session()->close();
    if (open_ || inTransaction_) {
        open_ = inTransaction_ = aborted_ = false;
        emit stateChanged();
    }
    return true;
}

bool DocumentSession::confirmClose(QWidget* parent, Ending ending) {
    const QString keep = ending == Ending::CloseWindow        ? QStringLiteral("keep the window open")
                         : ending == Ending::Disconnect       ? QStringLiteral("stay connected")
                         : ending == Ending::AutoCommitOn     ? QStringLiteral("keep auto-commit off")
                                                               : QStringLiteral("keep the current connection");
    if (ending_) return false; // already ending it for an earlier close
    if (!inTransaction_) return true;
    if (runs_->isRunning()) {
        Dialogs::get().message(parent,
                               QStringLiteral("A run is going in this window, inside a transaction. Stop it or let "
                                              "it end, then close the window."),
                               QStringLiteral("Open Transaction"));
        return false;
    }
    if (aborted_) {
        // A COMMIT would only roll back: offer what it would really do.
        const int choice = Dialogs::get().choose(
            parent,
            QStringLiteral("This window's transaction failed: only a rollback can end it.\n\n"
                           "Roll it back, or %1?")
                .arg(keep),
            QStringLiteral("Open Transaction"), {QStringLiteral("&Roll Back"), QStringLiteral("Cancel")}, 1, 1);
        return choice == 0 && endTransaction(false);
    }
    const int choice = Dialogs::get().choose(
        parent,
        QStringLiteral("This window's session is inside a transaction that has not been committed.\n\n"
                       "Commit it, roll it back, or %1?")
            .arg(keep),
        QStringLiteral("Open Transaction"), {QStringLiteral("&Commit"), QStringLiteral("&Roll Back"), QStringLiteral("Cancel")},
        2, 2); // Enter and Escape keep everything as it is
    if (choice != 0 && choice != 1) return false;
    return endTransaction(choice == 0);
}

bool DocumentSession::autoCommit() const { return context_.autoCommit(); }

bool DocumentSession::setAutoCommit(bool on, QWidget* parent) {
    if (on == context_.autoCommit()) return true;
    if (on && !confirmClose(parent, Ending::AutoCommitOn)) return false;
    context_.setAutoCommit(on);
    emit stateChanged();
    return true;
}

bool DocumentSession::endTransaction(bool commit) {
    if (inUse()) return false;
    ending_ = true;
    lastRunOk_ = false;
    QEventLoop wait;
    const auto done = connect(runs_, &RunController::runningChanged, &wait, [&wait](bool running) {
        if (!running) wait.quit();
    });
    runs_->executeOwnStatement(commit ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    if (runs_->isRunning()) wait.exec(QEventLoop::ExcludeUserInputEvents);
    QObject::disconnect(done);
    ending_ = false;
    if (lastRunOk_)
        outcome_ = commit ? QStringLiteral("The transaction was committed.") : QStringLiteral("The transaction was rolled back.");
    return lastRunOk_;
}
