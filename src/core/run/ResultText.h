#pragma once
// The text of a results pane, kept as lines that are laid out on demand: the
// literal texts a run writes (headers, notices, trailers) as strings, and the
// rows of its result sets as the fetched row blocks themselves with their
// column widths. A million rows cost their blocks, not a hundred megabytes
// of padded text; a line's text is made when somebody looks at it.
//
// Lines are what lies between line breaks of the appended text (CR LF, a
// lone LF as every Linux tool writes, or a lone CR), and the text layout's
// row lines; text(from, to) gives back the text between two positions with
// its lines joined by CR LF.

#include "run/RunEngine.h"

#include <QString>

#include <memory>
#include <vector>

class ResultText {
public:
    // A place in the text: a line and a UTF-16 offset inside it.
    struct Position {
        qint64 line = 0;
        qsizetype column = 0;
        friend bool operator==(const Position&, const Position&) = default;
        friend bool operator<(const Position& a, const Position& b) {
            return a.line < b.line || (a.line == b.line && a.column < b.column);
        }
    };

    ResultText();

    void clear();
    void append(const QString& text);
    // Appends the rows of a block as lines laid out with widths.
    void appendRows(std::shared_ptr<const db::RowBlock> rows, TextWidths widths);

    // Lines: one more than the line breaks (the last may be empty).
    qint64 lineCount() const;
    // A line without its CR LF.
    QString line(qint64 index) const;
    // No line is longer than this (UTF-16 units).
    qsizetype longestLine() const { return longest_; }
    bool isEmpty() const { return lineCount() == 1 && line(0).isEmpty(); }
    Position end() const;

    // The text between two positions (in either order), lines joined by CR LF.
    QString text(Position from, Position to) const;
    QString text() const { return text({}, end()); }

    // Memory held for the content.
    size_t memoryUse() const;

private:
    // A run of lines: literal strings, or the rows of one block from firstRow on.
    struct Segment {
        qint64 firstLine = 0;
        std::shared_ptr<const db::RowBlock> rows;
        TextWidths widths;
        int firstRow = 0;
        std::vector<QString> lines;
        qint64 lineCount() const { return rows ? qint64(rows->rowCount() - firstRow) : qint64(lines.size()); }
    };
    const Segment& segmentOf(qint64 line) const;
    // The line that text appends to (the last line, always literal).
    QString& openLine() { return segments_.back().lines.back(); }
    void pushLiteralSegment();

    std::vector<Segment> segments_; // never empty; the last is literal
    qsizetype longest_ = 0;
    bool afterCr_ = false; // the last text ended with a CR: an LF first in the next is the same break
};
