#pragma once
// Ends the editor cleanly on SIGTERM or SIGINT (a logout, `kill`, Ctrl+C in
// the terminal it was started from). The unsaved-work journal is written,
// every statement still running is cancelled on its server, and the exit
// waits for those cancels (a few seconds at most), so an UPDATE the editor
// was running does not go on to commit after the editor has gone. Nothing
// is asked: the journal offers the unsaved scripts back at the next start.
// A second signal ends the process at once.
//
// The signal handler only writes the signal's number to a pipe; the rest
// happens on the UI thread when its event loop (or a dialog's) reads it.
// Once the journal, the cancels and the queued history are done the process
// ends there: every other file the editor keeps is written when it changes,
// and a kept connection's open transaction is rolled back by its server.
// (Leaving through the event loops could be undone by a dialog that is open
// at that moment, and the teardown may touch a desktop bus that hangs.)

#include <QObject>
#include <functional>

class MainWindow;
class QSocketNotifier;

class QuitOnSignal : public QObject {
    Q_OBJECT
public:
    // quit ends the program with an exit status (128 + the signal's
    // number); by default the process ends at once. One at a time.
    explicit QuitOnSignal(MainWindow* window, std::function<void(int status)> quit = {});
    ~QuitOnSignal() override;

    // How long the exit waits for running statements to end once cancelled.
    static constexpr int kCancelWaitMs = 5000;

private:
    void onSignal();

    MainWindow* window_;
    std::function<void(int)> quit_;
    QSocketNotifier* notifier_ = nullptr;
};
