#pragma once
// The editor's own writes that nobody waits for: the unsaved-work journal
// and the query history. Their writers record every outcome here. A failure
// is told once per kind (the store and the reason, so a full disk is told
// once, not every few seconds), and told again only after that store was
// written again, which is told too. The writers keep trying meanwhile.
//
// Outcomes may be recorded from any thread; notice() reaches receivers on
// their own thread.

#include "base/Result.h"

#include <QObject>
#include <QSet>

#include <mutex>

class WriteFailures : public QObject {
    Q_OBJECT
public:
    enum class Store { Journal, History };

    static WriteFailures& instance();

    void record(Store store, const Status& outcome);
    // Whether the store's last write failed.
    bool failing(Store store) const;

signals:
    // A line for the status bar and the message pane; problem: a failure
    // (else the store is written again).
    void notice(const QString& text, bool problem);

private:
    WriteFailures() = default;
    struct State {
        bool failing = false;
        QSet<QString> told; // the reasons told since the last success
    };
    mutable std::mutex mutex_;
    State states_[2];
};
