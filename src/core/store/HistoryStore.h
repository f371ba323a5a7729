#pragma once
// The query history (table history of the resource database): one entry per
// run of a document's script, newest first.
//
// An entry names its connection by the saved connection's name or by the
// connection string with every password masked; no password is ever
// written. The script is kept as the user wrote it, unless it is longer than
// kMaxTextChars: then only its length is kept, so a cut script can never be
// inserted back and run by mistake.
//
// Every operation opens vsql.db, does its work with bound parameters and
// closes it again. The store blocks on the file: the editor calls it from
// HistoryWriter's thread and from background reads, never from the UI thread.

#include "base/Result.h"

#include <QDateTime>
#include <QString>

#include <vector>

struct HistoryEntry {
    qint64 id = 0;
    QDateTime started; // when the run began (UTC)
    qint64 durationMs = 0;
    QString connection; // the saved connection's name, or the string without its passwords
    QString database;   // the database chosen for the run; empty: the connection's own
    qint64 rows = 0;
    QString outcome;    // how the run ended, a word such as "Success" or "Failed"
    QString message;    // the closing message in one line
    // The script; in a listing only its first kPreviewChars characters. Empty
    // when the script was too long to keep.
    QString text;
    qint64 textLength = 0; // characters of the whole script

    bool textKept() const;
    // The listing holds the whole script (no fullText() needed).
    bool textComplete() const { return textKept() && text.size() == textLength; }
};

class HistoryStore {
public:
    static constexpr qint64 kDefaultLimit = 5000;
    static constexpr qsizetype kMaxTextChars = 1'000'000;
    static constexpr qsizetype kPreviewChars = 2000;

    // The store in file; empty: vsql.db of the current application home,
    // looked up now (so a queued write still goes to the home it was made in).
    explicit HistoryStore(QString file = QString());
    const QString& file() const { return file_; }

    // Adds the entry and keeps only the newest limit entries; a limit of 0
    // adds nothing and leaves the entries already kept alone. The entry's connection is masked again on the way in.
    // Returns the new entry's id (0 when nothing was kept).
    Result<qint64> add(HistoryEntry entry, qint64 limit) const;
    // The entries whose script or connection contains search (as typed: "%",
    // "_" and "\" match themselves; letters without regard to ASCII case),
    // newest first, with their scripts cut to kPreviewChars.
    Result<std::vector<HistoryEntry>> list(const QString& search = QString()) const;
    // The whole script of an entry.
    Result<QString> fullText(qint64 id) const;
    Status remove(const std::vector<qint64>& ids) const;
    Status clear() const;

    // What names a connection in the history: the saved name when there is
    // one, else the connection string with every password masked.
    static QString connectionLabel(const QString& savedName, const QString& connectionString);
    // The closing message of a run in one line: its first line with text;
    // a bare "Error: #N" line is joined with the description that follows it.
    // The connection string's passwords are scrubbed from it.
    static QString messageLine(const QString& closingMessage, const QString& connectionString);
    // A LIKE pattern (with ESCAPE '\') matching text that contains search.
    static QString containsPattern(const QString& search);

private:
    QString file_;
};
