#include "document/MemoryQuestion.h"

#include "common/Dialogs.h"

namespace document {

MemorySubject runRowsSubject() {
    return {QStringLiteral("The rows of this run take"),
            QStringLiteral("Keep fetching, stop the run and drop the rows, or stop and keep the rows fetched so far?"),
            {QStringLiteral("Keep &Fetching"), QStringLiteral("&Stop"), QStringLiteral("Stop and &Keep Rows")}};
}

MemorySubject toolOutputSubject(const QString& program) {
    return {QStringLiteral("The output of %1 takes").arg(program),
            QStringLiteral("Keep reading, stop and drop the output, or stop and keep the output read so far?"),
            {QStringLiteral("Keep &Reading"), QStringLiteral("&Stop"), QStringLiteral("Stop and &Keep Output")}};
}

MemoryAnswer askAboutMemory(QWidget* parent, const MemorySubject& subject, qint64 heldBytes, qint64 limitBytes) {
    const auto megabytes = [](qint64 bytes) { return QString::number((bytes + (1 << 19)) >> 20); };
    const QString text = QStringLiteral("%1 %2 MB of memory, past the limit of %3 MB (resultmemorylimit in the "
                                        "[OPTIONS] section of config.ini).\n\n%4")
                             .arg(subject.holder, megabytes(heldBytes), megabytes(limitBytes), subject.choices);
    switch (Dialogs::get().choose(parent, text, QStringLiteral("Memory limit reached"), subject.buttons)) {
    case 0: return MemoryAnswer::KeepFetching;
    case 1: return MemoryAnswer::Stop;
    default: return MemoryAnswer::StopAndKeep;
    }
}

} // namespace document
