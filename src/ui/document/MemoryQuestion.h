#pragma once
// The question asked when what a document holds passes the memory limit
// (resultmemorylimit): keep going, stop and drop it, or stop and keep what
// is there. The rows of a run and an external tool's output ask it alike.

#include "run/RunEngine.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace document {

struct MemorySubject {
    QString holder;      // what takes the memory, with its verb: "The rows of this run take"
    QString choices;     // the question's last sentence
    QStringList buttons; // keep going, stop, stop and keep
};

MemorySubject runRowsSubject();
MemorySubject toolOutputSubject(const QString& program);

// Closing the question keeps what is there and takes no more.
MemoryAnswer askAboutMemory(QWidget* parent, const MemorySubject& subject, qint64 heldBytes,
                            qint64 limitBytes);

} // namespace document
