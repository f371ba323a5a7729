#include "store/KeyringSecretStore.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QUuid>
#include <qt6keychain/keychain.h>

struct KeyringSecretStore::JobEnd {
    bool answered = false;
    QKeychain::Error error = QKeychain::NoError;
    QString message;
    QString text;
};

KeyringSecretStore::KeyringSecretStore(QString service, std::chrono::milliseconds timeout)
    : service_(std::move(service)), timeout_(timeout) {}

QString KeyringSecretStore::refusal() const {
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return QStringLiteral("The desktop keyring is reached from the application's main thread only.");
    if (state_ == State::Silent) return reason_;
    return {};
}

KeyringSecretStore::JobEnd KeyringSecretStore::run(QKeychain::Job* job) {
    JobEnd end;
    // The job deletes itself when it finishes, even after we stopped waiting
    // for it; the connection ends with the loop, so a late answer touches
    // nothing of ours.
    job->setAutoDelete(true);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&end, &loop](QKeychain::Job* done) {
        end.answered = true;
        end.error = done->error();
        end.message = done->errorString();
        if (auto* reader = qobject_cast<QKeychain::ReadPasswordJob*>(done)) end.text = reader->textData();
        loop.quit();
    });
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    job->start();
    if (!end.answered) {
        timer.start(timeout_);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!end.answered) {
        state_ = State::Silent;
        reason_ = QStringLiteral("The desktop keyring did not answer within %1 seconds.")
                      .arg(double(timeout_.count()) / 1000.0);
    }
    return end;
}

Failure KeyringSecretStore::failure(const JobEnd& end) {
    if (!end.answered) return fail(reason_);
    const QString detail = end.message.isEmpty() ? QStringLiteral("no reason given") : end.message;
    lastDetail_ = detail;
    switch (end.error) {
    case QKeychain::AccessDeniedByUser:
    case QKeychain::AccessDenied:
        return fail(QStringLiteral("The desktop keyring refused access: %1").arg(detail));
    case QKeychain::NoBackendAvailable:
        state_ = State::Unavailable;
        reason_ = QStringLiteral("No desktop keyring is available: %1").arg(detail);
        return fail(reason_);
    default:
        return fail(QStringLiteral("The desktop keyring failed: %1").arg(detail));
    }
}

Status KeyringSecretStore::probe() {
    // Reading alone proves little: a keyring without an unlocked default
    // collection answers "not found" to reads and refuses every write. So
    // the check writes a throwaway entry, reads it back and removes it.
    const QString key = QStringLiteral("availability-check");
    const QString token = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (Status w = write(key, token); !w) return w;
    const Result<QString> back = read(key);
    if (!back) return fail(back.error());
    if (*back != token)
        return fail(QStringLiteral("The desktop keyring gave back something else than was stored."));
    return remove(key);
}

bool KeyringSecretStore::isAvailable() {
    if (state_ == State::Unknown) {
        if (const QString why = refusal(); !why.isEmpty()) return false; // ask again from the right thread
        lastDetail_.clear();
        const Status checked = probe();
        if (state_ == State::Unknown) state_ = checked ? State::Available : State::Unavailable;
        if (state_ == State::Unavailable)
            reason_ = QStringLiteral("No usable desktop keyring: %1")
                          .arg(lastDetail_.isEmpty() ? checked.error() : lastDetail_);
    }
    return state_ == State::Available;
}

Status KeyringSecretStore::write(const QString& key, const QString& secret) {
    if (const QString why = refusal(); !why.isEmpty()) return fail(why);
    auto* job = new QKeychain::WritePasswordJob(service_);
    job->setKey(key);
    job->setTextData(secret);
    const JobEnd end = run(job);
    if (end.answered && end.error == QKeychain::NoError) return {};
    return failure(end);
}

Result<QString> KeyringSecretStore::read(const QString& key) {
    if (const QString why = refusal(); !why.isEmpty()) return fail(why);
    auto* job = new QKeychain::ReadPasswordJob(service_);
    job->setKey(key);
    const JobEnd end = run(job);
    if (end.answered && end.error == QKeychain::NoError) return end.text;
    if (end.answered && end.error == QKeychain::EntryNotFound)
        return fail(QStringLiteral("The desktop keyring holds no entry \"%1\".").arg(key));
    return failure(end);
}

Status KeyringSecretStore::remove(const QString& key) {
    if (const QString why = refusal(); !why.isEmpty()) return fail(why);
    auto* job = new QKeychain::DeletePasswordJob(service_);
    job->setKey(key);
    const JobEnd end = run(job);
    if (end.answered && (end.error == QKeychain::NoError || end.error == QKeychain::EntryNotFound)) return {};
    return failure(end);
}
