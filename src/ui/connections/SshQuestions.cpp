#include "connections/SshQuestions.h"

#include "common/Dialogs.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace {

// Runs f on the UI thread and waits for its answer.
template <typename T, typename F> T onUiThread(F f) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) return f();
    T answer{};
    QMetaObject::invokeMethod(
        app, [&] { answer = f(); }, Qt::BlockingQueuedConnection);
    return answer;
}

} // namespace

SshQuestions::SshQuestions(QWidget* window) : window_(window) {
    net::SshPrompts::install(this);
}

SshQuestions::~SshQuestions() {
    if (net::SshPrompts::installed() == this) net::SshPrompts::install(nullptr);
}

bool SshQuestions::trustHostKey(const QString& host, const QString& fingerprints) {
    return onUiThread<bool>([&] {
        return Dialogs::get().question(
                   window_,
                   QStringLiteral(
                       "The SSH jump host %1 is not in your known_hosts file. It shows these keys:\n\n%2\n\n"
                       "Trust it only if these are its keys (ask its administrator, or compare with "
                       "ssh-keygen -lf on the host). Trust it and connect?")
                       .arg(host, fingerprints),
                   QStringLiteral("Unknown SSH Host Key"), Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
    });
}

std::optional<QString> SshQuestions::passphrase(const QString& keyFile) {
    return onUiThread<std::optional<QString>>([&] {
        return Dialogs::get().secret(window_, QStringLiteral("Passphrase for the SSH key %1:").arg(keyFile),
                                     QStringLiteral("SSH Key Passphrase"));
    });
}
