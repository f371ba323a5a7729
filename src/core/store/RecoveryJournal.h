#pragma once
// The unsaved-work journal: every few seconds the text of each changed
// document is written to recovery/ in the state folder (owner-only), with
// its file name. A clean close or a save removes the document's entry; after
// a crash or a kill, the next start finds the entries of the dead process
// and offers them back.

#include "base/Result.h"

#include <QString>
#include <QStringList>

#include <vector>

struct RecoveredDocument {
    QString entryPath;
    QString fileName;  // empty for a document never saved
    QString title;
    QString text;
};

class RecoveryJournal {
public:
    static QString folder();

    // An id for a document of this process.
    static QString newId();
    // Writes (atomically) the entry of a document.
    static Status write(const QString& id, const QString& fileName, const QString& title, const QString& text);
    static void remove(const QString& id);

    // Entries left by processes that are no longer running.
    static std::vector<RecoveredDocument> orphans();
    static void discard(const RecoveredDocument& doc);
};
