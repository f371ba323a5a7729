#include "net/SshProcess.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QProcess>
#include <QThread>
#include <atomic>
#include <csignal>
#include <mutex>
#include <sys/prctl.h>

namespace net {

struct SshProcess::State {
    std::mutex mutex;
    QProcess* process = nullptr; // owned by the tunnels' thread
    QByteArray errorOutput;
    QString startError;
    bool running = false;
};

namespace {

constexpr int kEndWaitMs = 2000;

// The thread every tunnel process lives on. Made on first use (and kept:
// it is stopped, with whatever still runs on it, when the application
// object goes).
class TunnelThread {
public:
    static QObject* home() {
        static TunnelThread* made = [] {
            qAddPostRoutine(stop);
            return current = new TunnelThread;
        }();
        return &made->home_;
    }

private:
    TunnelThread() {
        home_.moveToThread(&thread_);
        thread_.setObjectName(QStringLiteral("ssh tunnels"));
        thread_.start();
    }
    static void stop() {
        current->stopped_ = true;
        current->thread_.quit();
        current->thread_.wait();
    }

public:
    static bool stopped() { return current && current->stopped_; }

private:
    static inline TunnelThread* current = nullptr;
    std::atomic<bool> stopped_{false};
    QThread thread_;
    QObject home_;
};

// Runs f on the tunnels' thread and waits for it; nothing once the
// application object is gone (its processes ended with the thread).
template <typename F> void onTunnelThread(F f) {
    QObject* home = TunnelThread::home();
    if (TunnelThread::stopped()) return;
    QMetaObject::invokeMethod(home, std::move(f), Qt::BlockingQueuedConnection);
}

} // namespace

SshProcess::SshProcess(const QString& program, const QStringList& arguments,
                       const QProcessEnvironment& environment)
    : state_(std::make_shared<State>()) {
    onTunnelThread([state = state_, program, arguments, environment] {
        auto* p = new QProcess;
        p->setProgram(program);
        p->setArguments(arguments);
        p->setProcessEnvironment(environment);
        p->setStandardInputFile(QProcess::nullDevice());
        p->setStandardOutputFile(QProcess::nullDevice());
        // ends with the thread that started it: the tunnels' thread, which
        // lives as long as the program
        p->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        QObject::connect(p, &QProcess::readyReadStandardError, p, [state, p] {
            std::lock_guard lock(state->mutex);
            state->errorOutput += p->readAllStandardError();
        });
        QObject::connect(p, &QProcess::finished, p, [state, p] {
            std::lock_guard lock(state->mutex);
            state->errorOutput += p->readAllStandardError();
            state->running = false;
        });
        p->start();
        const bool started = p->waitForStarted(5000);
        std::lock_guard lock(state->mutex);
        state->process = p;
        state->running = started && p->state() == QProcess::Running;
        if (!started) state->startError = p->errorString();
    });
}

SshProcess::~SshProcess() {
    onTunnelThread([state = state_] {
        QProcess* p = nullptr;
        {
            std::lock_guard lock(state->mutex);
            std::swap(p, state->process);
            state->running = false;
        }
        if (!p) return;
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(kEndWaitMs)) {
                p->kill();
                p->waitForFinished(kEndWaitMs);
            }
        }
        delete p;
    });
}

bool SshProcess::isRunning() const {
    std::lock_guard lock(state_->mutex);
    return state_->running;
}

QString SshProcess::errorOutput() const {
    std::lock_guard lock(state_->mutex);
    return QString::fromLocal8Bit(state_->errorOutput);
}

QString SshProcess::startError() const {
    std::lock_guard lock(state_->mutex);
    return state_->startError;
}

} // namespace net
