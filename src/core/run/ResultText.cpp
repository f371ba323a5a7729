#include "run/ResultText.h"

#include "run/TextLayout.h"

#include <algorithm>

ResultText::ResultText() { clear(); }

void ResultText::clear() {
    segments_.clear();
    segments_.shrink_to_fit();
    pushLiteralSegment();
    longest_ = 0;
    afterCr_ = false;
}

void ResultText::pushLiteralSegment() {
    Segment s;
    if (!segments_.empty()) s.firstLine = segments_.back().firstLine + segments_.back().lineCount();
    s.lines.emplace_back();
    segments_.push_back(std::move(s));
}

void ResultText::append(const QString& text) {
    if (text.isEmpty()) return;
    std::vector<QString>& lines = segments_.back().lines;
    qsizetype from = 0;
    // a CR LF split between two appends is still one line break
    if (afterCr_ && text.front() == QLatin1Char('\n')) from = 1;
    afterCr_ = false;
    const QChar* data = text.constData();
    const qsizetype n = text.size();
    while (from <= n) {
        qsizetype brk = from;
        while (brk < n && data[brk] != QLatin1Char('\n') && data[brk] != QLatin1Char('\r')) ++brk;
        QString& open = lines.back();
        open += QStringView(text).mid(from, brk - from);
        longest_ = std::max(longest_, open.size());
        if (brk == n) break;
        lines.emplace_back();
        from = brk + 1;
        if (data[brk] == QLatin1Char('\r')) {
            if (from < n && data[from] == QLatin1Char('\n')) ++from;
            else if (from == n) afterCr_ = true; // its LF may come with the next piece
        }
    }
}

void ResultText::appendRows(std::shared_ptr<const db::RowBlock> rows, TextWidths widths) {
    if (!rows || rows->rowCount() == 0) return;
    afterCr_ = false;
    int first = 0;
    if (!openLine().isEmpty()) {
        // rows after text that has not ended its line: the first row continues that line
        QString& open = openLine();
        run::appendLine(open, *rows, 0, *widths);
        longest_ = std::max(longest_, open.size());
        segments_.back().lines.emplace_back();
        first = 1;
        if (rows->rowCount() == 1) return;
    }
    // the empty open line becomes the first row line
    segments_.back().lines.pop_back();
    if (segments_.back().lines.empty()) segments_.pop_back();
    Segment s;
    if (!segments_.empty()) s.firstLine = segments_.back().firstLine + segments_.back().lineCount();
    s.rows = std::move(rows);
    s.widths = std::move(widths);
    s.firstRow = first;
    longest_ = std::max(longest_, run::maxLineLength(*s.widths));
    segments_.push_back(std::move(s));
    pushLiteralSegment();
}

qint64 ResultText::lineCount() const { return segments_.back().firstLine + segments_.back().lineCount(); }

const ResultText::Segment& ResultText::segmentOf(qint64 line) const {
    auto it = std::upper_bound(segments_.begin(), segments_.end(), line,
                               [](qint64 l, const Segment& s) { return l < s.firstLine; });
    return *(it - 1);
}

QString ResultText::line(qint64 index) const {
    if (index < 0 || index >= lineCount()) return {};
    const Segment& s = segmentOf(index);
    const qint64 i = index - s.firstLine;
    if (!s.rows) return s.lines[size_t(i)];
    QString out;
    out.reserve(run::maxLineLength(*s.widths));
    run::appendLine(out, *s.rows, s.firstRow + int(i), *s.widths);
    return out;
}

ResultText::Position ResultText::end() const {
    const qint64 last = lineCount() - 1;
    return {last, line(last).size()};
}

QString ResultText::text(Position from, Position to) const {
    if (to < from) std::swap(from, to);
    from.line = std::clamp<qint64>(from.line, 0, lineCount() - 1);
    to.line = std::clamp<qint64>(to.line, 0, lineCount() - 1);
    QString out;
    for (qint64 l = from.line; l <= to.line; ++l) {
        const QString s = line(l);
        const qsizetype begin = l == from.line ? std::clamp<qsizetype>(from.column, 0, s.size()) : 0;
        const qsizetype stop = l == to.line ? std::clamp<qsizetype>(to.column, begin, s.size()) : s.size();
        out += QStringView(s).mid(begin, stop - begin);
        if (l < to.line) out += QLatin1String("\r\n");
    }
    return out;
}

size_t ResultText::memoryUse() const {
    size_t n = segments_.capacity() * sizeof(Segment);
    for (const Segment& s : segments_) {
        if (s.rows) n += s.rows->memoryUse();
        for (const QString& l : s.lines) n += size_t(l.capacity()) * sizeof(QChar);
    }
    return n;
}
