#include "shell/QuitOnSignal.h"

#include "run/Executor.h"
#include "shell/JournalKeeper.h"
#include "shell/MainWindow.h"
#include "store/HistoryWriter.h"

#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int wakeUp[2] = {-1, -1};          // the handler writes, the UI thread reads
volatile sig_atomic_t received = 0; // signals seen since the watch started
struct sigaction previousInt, previousTerm;

void onEndingSignal(int sig) {
    if (++received > 1) _exit(128 + sig); // asked twice: no more waiting
    const char number = char(sig);
    [[maybe_unused]] const ssize_t written = write(wakeUp[1], &number, 1);
}

} // namespace

QuitOnSignal::QuitOnSignal(MainWindow* window, std::function<void(int)> quit)
    : window_(window), quit_(std::move(quit)) {
    if (!quit_)
        quit_ = [](int status) {
            std::fflush(nullptr);
            _exit(status);
        };
    if (pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0) return; // without a pipe the default action stays
    received = 0;
    notifier_ = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitOnSignal::onSignal);
    struct sigaction action = {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

QuitOnSignal::~QuitOnSignal() {
    if (!notifier_) return;
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    delete notifier_;
    close(wakeUp[0]);
    close(wakeUp[1]);
    wakeUp[0] = wakeUp[1] = -1;
}

void QuitOnSignal::onSignal() {
    char number = 0;
    if (read(wakeUp[0], &number, 1) != 1) return;
    notifier_->setEnabled(false);
    // what is unsaved is kept for the next start, not asked about now
    window_->journal()->writeNow();
    window_->journal()->stop();
    // cancel on the servers, then wait for the runs to end (bounded)
    Executor::waitForAll(kCancelWaitMs);
    HistoryWriter::instance().waitIdle(kCancelWaitMs); // the runs that ended before
    quit_(128 + number);
}
