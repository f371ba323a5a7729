#include "shell/JournalKeeper.h"

#include "common/Dialogs.h"
#include "document/QueryDocument.h"
#include "shell/MainWindow.h"
#include "store/RecoveryJournal.h"
#include "store/WriteFailures.h"

#include <QTimer>

#include <optional>

namespace {
constexpr int kJournalIntervalMs = 3000;
} // namespace

JournalKeeper::JournalKeeper(MainWindow* window) : QObject(window), window_(window), timer_(new QTimer(this)) {
    timer_->setInterval(kJournalIntervalMs);
    connect(timer_, &QTimer::timeout, this, &JournalKeeper::writeNow);
    timer_->start();
}

void JournalKeeper::track(QueryDocument* doc) {
    ids_.insert(doc, RecoveryJournal::newId());
    connect(doc, &QObject::destroyed, this, [this, doc] { forget(doc); });
}

void JournalKeeper::markSaved(QueryDocument* doc) {
    written_[doc] = doc->revision();
    if (ids_.contains(doc)) RecoveryJournal::remove(ids_[doc]);
}

void JournalKeeper::forget(QueryDocument* doc) {
    written_.remove(doc);
    if (ids_.contains(doc)) RecoveryJournal::remove(ids_.take(doc));
}

void JournalKeeper::stop() { timer_->stop(); }

void JournalKeeper::writeNow() {
    std::optional<Status> outcome; // of this round: its first failure, else a success
    for (QueryDocument* doc : window_->documents()) {
        if (!doc->isChanged() || doc->editor()->length() == 0) continue;
        if (written_.contains(doc) && written_[doc] == doc->revision()) continue;
        // A failed write leaves the entry written last, and is tried again on the next tick.
        const Status written =
            RecoveryJournal::write(ids_.value(doc), doc->fileName(), doc->windowTitle(), doc->editor()->text());
        if (written.ok())
            written_[doc] = doc->revision();
        if (!outcome || (outcome->ok() && !written.ok())) outcome = written;
    }
    if (outcome) WriteFailures::instance().record(WriteFailures::Store::Journal, *outcome);
}

void JournalKeeper::offerRecovery() {
    const auto found = RecoveryJournal::orphans();
    if (found.empty()) return;
    const QString question =
        found.size() == 1
            ? QStringLiteral("An unsaved script from an earlier session was found (%1). Restore it?").arg(found[0].title)
            : QStringLiteral("%1 unsaved scripts from an earlier session were found. Restore them?").arg(found.size());
    const bool restore = Dialogs::get().question(window_, question, QStringLiteral("Restore Unsaved Work"),
                                                 Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
    for (const RecoveredDocument& r : found) {
        if (restore) {
            QueryDocument* doc = window_->emptyDocument();
            doc->editor()->setText(r.text);
            if (!r.fileName.isEmpty()) doc->setFile(r.fileName);
            doc->setChanged(true);
        }
        RecoveryJournal::discard(r);
    }
    if (restore) writeNow();
}
