#include "import/PgFileCopy.h"

#include "catalog/SqlDialect.h"
#include "db/DbError.h"
#include "db/PgConnection.h"
#include "import/CsvImport.h"
#include "import/CsvReader.h"

#include <QFile>

namespace csv {
namespace {

constexpr qint64 kPieceBytes = qint64(4) << 20;

bool isAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

// The fields feed the columns one for one, in order: field i is column i.
bool fieldsInOrder(const ImportRequest& r) {
    int next = 0;
    for (const ImportColumn& c : r.columns) {
        if (c.source < 0) continue;
        if (c.source != next) return false;
        ++next;
    }
    return next > 0 && next == r.fieldCount;
}

// Counts the records a piece ends (line feeds outside quotes), carrying
// whether a quoted field is open from one piece to the next.
qint64 recordEnds(const QByteArray& piece, char quote, bool& inQuote) {
    qint64 ends = 0;
    for (const char c : piece) {
        if (c == quote) inQuote = !inQuote;
        else if (c == '\n' && !inQuote) ++ends;
    }
    return ends;
}

} // namespace

std::optional<QString> fileCopyStatement(const ImportRequest& r, const SqlDialect& d, const QString& table,
                                         const QStringList& columns) {
    const Format& f = r.format;
    if (r.skipBadRows || f.encoding != Encoding::Utf8 || !fieldsInOrder(r)) return std::nullopt;
    const char delim = f.delimiter, quote = f.quote;
    if (!quote || !isAscii(delim) || !isAscii(quote) || delim == quote) return std::nullopt;
    for (const char c : {delim, quote})
        if (c == '\n' || c == '\r' || c == '\0') return std::nullopt;
    const QString null = f.nullMarker;
    if (null.contains(QLatin1Char('\n')) || null.contains(QLatin1Char('\r')) || null.contains(QLatin1Char(delim)) ||
        null.contains(QLatin1Char(quote)))
        return std::nullopt;
    return QStringLiteral("COPY %1 (%2) FROM STDIN (FORMAT csv, HEADER %3, DELIMITER %4, QUOTE %5, NULL %6)")
        .arg(table, columns.join(QStringLiteral(", ")), f.header ? QStringLiteral("true") : QStringLiteral("false"),
             d.literal(QString(QLatin1Char(delim))), d.literal(QString(QLatin1Char(quote))), d.literal(null));
}

qint64 copyFile(db::PgConnection& conn, const QString& statement, const QString& file, const Format& format,
                const std::function<void(const FileCopyProgress&)>& progress) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw db::Error::usage(QStringLiteral("Cannot open %1: %2").arg(file, in.errorString()));
    FileCopyProgress at;
    QByteArray heldBack; // line breaks that end the piece before: sent only when more follows
    bool first = true, inQuote = false;
    return conn.copyIn(statement, [&]() -> QByteArray {
        for (;;) {
            QByteArray piece = in.read(kPieceBytes);
            if (piece.isEmpty()) {
                if (in.error() != QFileDevice::NoError)
                    throw db::Error::usage(QStringLiteral("Cannot read %1: %2").arg(file, in.errorString()));
                return {}; // the end: line breaks held back stay unsent
            }
            at.bytesRead += piece.size();
            if (first && piece.startsWith("\xEF\xBB\xBF")) piece.remove(0, 3);
            first = false;
            qsizetype keep = piece.size();
            while (keep > 0 && (piece[keep - 1] == '\n' || piece[keep - 1] == '\r')) --keep;
            if (keep == 0) {
                heldBack += piece;
                continue;
            }
            QByteArray out = heldBack + piece.left(keep);
            heldBack = piece.mid(keep);
            at.rows += recordEnds(out, format.quote, inQuote);
            if (progress) progress(at);
            return out;
        }
    });
}

qint64 recordStartLine(const QString& file, const Format& format, qint64 line) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return line;
    CsvReader reader(in, format);
    Record record;
    qint64 start = line;
    while (reader.next(record) && record.line <= line) start = record.line;
    return start;
}

} // namespace csv
