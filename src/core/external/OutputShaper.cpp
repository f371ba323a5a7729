#include "external/OutputShaper.h"

#include <QLocale>

#include <algorithm>
#include <cstring>

namespace external {

namespace {
QString number(qint64 n) { return QLocale(QLocale::English).toString(n); }

// How many bytes of the first n may be kept without cutting a UTF-8
// sequence in two: the start of a sequence that does not fit is left out.
qsizetype wholeSequences(QByteArrayView bytes, qsizetype n) {
    qsizetype end = n;
    while (end > 0 && end > n - 4 && (uchar(bytes[end - 1]) & 0xC0) == 0x80) --end; // continuation bytes
    if (end > 0 && uchar(bytes[end - 1]) >= 0xC0) {
        const uchar lead = uchar(bytes[end - 1]);
        const qsizetype length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if ((end - 1) + length > n) return end - 1; // the sequence does not fit
    }
    return n;
}
} // namespace

OutputShaper::OutputShaper(qint64 lineLimit, qint64 totalLimit, bool latin1)
    : lineLimit_(lineLimit), totalLimit_(totalLimit),
      decoder_(latin1 ? QStringDecoder::Latin1 : QStringDecoder::Utf8) {}

void OutputShaper::keep(QByteArrayView bytes, QString& out) {
    if (bytes.isEmpty()) return;
    if (totalLimit_ >= 0 && kept_ + bytes.size() > totalLimit_) {
        const qsizetype room = qsizetype(std::max<qint64>(0, totalLimit_ - kept_));
        omitted_ += bytes.size() - room;
        bytes = bytes.first(room);
        if (bytes.isEmpty()) return;
    }
    kept_ += bytes.size();
    // a CR kept back from the last piece is text after all when no LF follows it
    if (pendingCr_) {
        out += QLatin1Char('\r');
        pendingCr_ = false;
    }
    if (bytes.back() == '\r') {
        pendingCr_ = true;
        bytes.chop(1);
    }
    out += decoder_.decode(bytes);
}

void OutputShaper::endLine(QString& out, bool lineBreak) {
    pendingCr_ = false; // a CR before the LF is part of the line break
    if (cut_) {
        const QString note = QStringLiteral("\u2026 [line cut: %1 bytes, the first %2 shown]")
                                 .arg(number(lineBytes_), number(lineLimit_));
        out += note;
    }
    if (lineBreak && (totalLimit_ < 0 || kept_ < totalLimit_)) out += QLatin1String("\r\n");
    if (lineBreak) ++lines_;
    lineBytes_ = 0;
    cut_ = false;
    decoder_.resetState();
}

QString OutputShaper::feed(QByteArrayView bytes) {
    QString out;
    seen_ += bytes.size();
    while (!bytes.isEmpty()) {
        const void* lf = std::memchr(bytes.data(), '\n', size_t(bytes.size()));
        const qsizetype lineEnd = lf ? static_cast<const char*>(lf) - bytes.data() : bytes.size();
        QByteArrayView part = bytes.first(lineEnd);
        if (!cut_) {
            const qint64 room = std::max<qint64>(0, lineLimit_ - lineBytes_);
            // a CR at the end may be the first half of a CR LF: no part of the line's length
            const qint64 needed = part.size() - (!part.isEmpty() && part.back() == '\r' ? 1 : 0);
            if (needed <= room) {
                keep(part, out);
            } else {
                keep(part.first(wholeSequences(part, qsizetype(room))), out);
                cut_ = true;
            }
        }
        lineBytes_ += part.size();
        if (!lf) break;
        if (!part.isEmpty() && part.back() == '\r') --lineBytes_; // the CR of a CR LF
        endLine(out, true);
        bytes = bytes.sliced(lineEnd + 1);
    }
    return out;
}

QString OutputShaper::finish() {
    QString out;
    if (pendingCr_) {
        out += QLatin1Char('\r');
        pendingCr_ = false;
    }
    if (cut_) endLine(out, false);
    if (omitted_ > 0)
        out += QStringLiteral("\r\n\u2026 [%1 more bytes not shown]").arg(number(omitted_));
    return out;
}

} // namespace external
