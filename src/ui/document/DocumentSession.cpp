#include "document/DocumentSession.h"

#include "common/Dialogs.h"
#include "document/RunController.h"
#include "run/Session.h"

#include <QEventLoop>

DocumentSession::DocumentSession(RunController* runs, std::function<Target()> target, QObject* parent)
    : QObject(parent), runs_(runs), target_(std::move(target)), session_(std::make_shared<Session>()) {
    runs_->setSession(session_);
    connect(runs_, &RunController::runFinished, this,
            [this](const RunRequest&, const RunResult& result, const QDateTime&) { runFinished(result); });
}

// A run still going holds the session and closes it on its own thread when it ends.
DocumentSession::~DocumentSession() = default;

QString DocumentSession::panelText() const {
    if (inTransaction_) return QStringLiteral("In Transaction");
    return open_ ? QStringLiteral("Connected") : QString();
}

void DocumentSession::runFinished(const RunResult& result) {
    lastRunOk_ = !result.isError() && !result.cancelled();
    const bool open = result.sessionOpen;
    const bool inTransaction = open && result.inTransaction.value_or(false);
    if (open == open_ && inTransaction == inTransaction_) return;
    open_ = open;
    inTransaction_ = inTransaction;
    emit stateChanged();
}

bool DocumentSession::disconnectSession() {
    if (runs_->isRunning()) return false;
    session_->close();
    if (open_ || inTransaction_) {
        open_ = inTransaction_ = false;
        emit stateChanged();
    }
    return true;
}

bool DocumentSession::confirmClose(QWidget* parent) {
    if (!inTransaction_) return true;
    const int choice = Dialogs::get().choose(
        parent,
        QStringLiteral("This window's session is inside a transaction that has not been committed.\n\n"
                       "Commit it, roll it back, or keep the window open?"),
        QStringLiteral("Open Transaction"), {QStringLiteral("&Commit"), QStringLiteral("&Roll Back"), QStringLiteral("Cancel")});
    if (choice != 0 && choice != 1) return false;
    return endTransaction(choice == 0);
}

bool DocumentSession::endTransaction(bool commit) {
    if (runs_->isRunning()) return false;
    const Target t = target_();
    QEventLoop wait;
    const auto done = connect(runs_, &RunController::runningChanged, &wait, [&wait](bool running) {
        if (!running) wait.quit();
    });
    runs_->executeOwnStatement(t.connectionString, t.database,
                               commit ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    if (runs_->isRunning()) wait.exec();
    QObject::disconnect(done);
    return lastRunOk_ && !runs_->isRunning();
}
