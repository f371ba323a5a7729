#pragma once
// What an external tool writes, shaped for a text pane that holds lines
// joined by CR LF: bytes come in as they arrive (any split), text goes out.
//  - LF and CR LF both end a line and come out as CR LF;
//  - a line longer than the line limit is cut there: the rest of it is
//    counted, never decoded or kept, and where it ends a note says how long
//    it was ("[line cut: 1,073,741,824 bytes, the first 65,536 shown]");
//  - with a total limit, text past it is counted and only a closing note
//    (from finish()) says how much more there was.
// The bytes are UTF-8, or Latin-1 when the caller says so.

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

namespace external {

class OutputShaper {
public:
    static constexpr qint64 kPaneLineLimit = 64 * 1024; // bytes of one line in the results pane
    static constexpr qint64 kNoLimit = -1;

    explicit OutputShaper(qint64 lineLimit = kPaneLineLimit, qint64 totalLimit = kNoLimit, bool latin1 = false);

    // The text for the bytes; may be empty (a cut line, a split sequence).
    QString feed(QByteArrayView bytes);
    // The end of the output: the note of a cut last line, and of what the
    // total limit left out.
    QString finish();

    qint64 bytesSeen() const { return seen_; }
    qint64 linesSeen() const { return lines_; }

private:
    void keep(QByteArrayView bytes, QString& out);
    void endLine(QString& out, bool lineBreak);

    qint64 lineLimit_;
    qint64 totalLimit_;
    QStringDecoder decoder_;
    qint64 seen_ = 0;     // bytes fed
    qint64 lines_ = 0;    // line breaks seen
    qint64 lineBytes_ = 0; // bytes of the current line so far
    qint64 kept_ = 0;     // bytes turned into text
    qint64 omitted_ = 0;  // bytes past the total limit
    bool pendingCr_ = false; // the last byte kept was a CR that may belong to a CR LF
    bool cut_ = false;       // the current line passed the line limit
};

} // namespace external
