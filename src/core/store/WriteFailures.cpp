#include "store/WriteFailures.h"

namespace {

// The reason of a failure without the file it names: "Cannot write
// /home/x/recovery/1-ab.json: No space left on device" is of the kind "No
// space left on device", whichever document's entry it was.
QString kindOf(const QString& error) {
    const qsizetype colon = error.lastIndexOf(QLatin1String(": "));
    return (colon < 0 ? error : error.mid(colon + 2)).trimmed();
}

QString failureText(WriteFailures::Store store, const QString& error) {
    return store == WriteFailures::Store::Journal
               ? QStringLiteral("Unsaved scripts could not be kept for recovery after a crash (%1). The editor keeps "
                                "trying; the copy written last is kept.")
                     .arg(error)
               : QStringLiteral("A run could not be added to the query history (%1). It is kept and written when "
                                "the history can be written again.")
                     .arg(error);
}

QString recoveredText(WriteFailures::Store store) {
    return store == WriteFailures::Store::Journal
               ? QStringLiteral("Unsaved scripts are kept for recovery again.")
               : QStringLiteral("The query history is written again, with the runs kept meanwhile.");
}

} // namespace

WriteFailures& WriteFailures::instance() {
    // Never destroyed: the history writer records its last writes while the
    // program's statics go away, in an order nobody controls.
    static WriteFailures* failures = new WriteFailures;
    return *failures;
}

bool WriteFailures::failing(Store store) const {
    std::lock_guard lock(mutex_);
    return states_[int(store)].failing;
}

void WriteFailures::record(Store store, const Status& outcome) {
    QString text;
    bool problem = false;
    {
        std::lock_guard lock(mutex_);
        State& s = states_[int(store)];
        if (outcome.ok()) {
            if (!s.failing) return;
            s.failing = false;
            s.told.clear();
            text = recoveredText(store);
        } else {
            s.failing = true;
            const QString kind = kindOf(outcome.error());
            if (s.told.contains(kind)) return;
            s.told.insert(kind);
            text = failureText(store, outcome.error());
            problem = true;
        }
    }
    emit notice(text, problem);
}
