#include "export/MarkupFormat.h"

#include "export/OutBuffer.h"

namespace exports {

namespace {

// Markdown: room for 5 bytes per input byte ("<br>" for a line break).
char* putMarkdown(char* p, std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            [[fallthrough]];
        case '\n':
            p = put(p, "<br>");
            break;
        case '\\':
        case '|':
        case '*':
        case '_':
        case '`':
        case '~':
        case '<':
        case '[':
        case ']':
        case '&':
            *p++ = '\\';
            *p++ = c;
            break;
        default:
            *p++ = c;
        }
    }
    return p;
}

// HTML: room for 6 bytes per input byte ("&quot;").
char* putHtml(char* p, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '&':
            p = put(p, "&amp;");
            break;
        case '<':
            p = put(p, "&lt;");
            break;
        case '>':
            p = put(p, "&gt;");
            break;
        case '"':
            p = put(p, "&quot;");
            break;
        case '\'':
            p = put(p, "&#39;");
            break;
        case '\r':
            p = put(p, "&#13;");
            break; // a parser would turn CR LF into LF
        default:
            *p++ = c;
        }
    }
    return p;
}

QByteArray utf8(const QString& s) {
    return s.toUtf8();
}
std::string_view view(const QByteArray& b) {
    return {b.constData(), size_t(b.size())};
}

} // namespace

MarkdownFormat::MarkdownFormat(const ExportOptions& options) : TextFormat(options) {}

void MarkdownFormat::startSet(QByteArray& out, int setIndex) {
    if (setIndex > 0) out += eol_; // a table ends at an empty line
    // A Markdown table cannot go without its header row: without names it is empty.
    QByteArray head = "|", rule = "|";
    auto column = [&](const QString& name, bool number) {
        const QByteArray n = options_.header ? utf8(name) : QByteArray();
        char* p = room(head, size_t(5 * n.size() + 3));
        *p++ = ' ';
        p = putMarkdown(p, view(n));
        done(head, put(p, " |"));
        rule += number ? " ---: |" : " --- |";
    };
    if (options_.rowNumbers) column(QStringLiteral("#"), true);
    for (const db::Field& f : fields_)
        column(f.name, db::isNumberType(f.type));
    out += head + eol_ + rule + eol_;
}

void MarkdownFormat::appendRows(QByteArray& out, const db::RowBlock& rows) {
    const int columns = rows.columnCount();
    for (int r = 0; r < rows.rowCount(); ++r) {
        char* p = rowRoom(out, rows, r, 5, 3, 8);
        *p++ = '|';
        ++rowNumber_;
        if (options_.rowNumbers) p = put(putNumber(put(p, " "), rowNumber_), " |");
        for (int c = 0; c < columns; ++c) {
            *p++ = ' ';
            p = putMarkdown(p, rows.isNull(r, c) ? view(null_) : rows.text(r, c));
            p = put(p, " |");
        }
        done(out, put(p, eol_));
    }
}

HtmlFormat::HtmlFormat(const ExportOptions& options) : TextFormat(options) {}

void HtmlFormat::startSet(QByteArray& out, int) {
    if (!started_) {
        started_ = true;
        for (const char* line :
             {"<!DOCTYPE html>", "<html>", "<head>", "<meta charset=\"utf-8\">", "<title>Results</title>",
              "<style>table{border-collapse:collapse;margin-bottom:1em}th,td{border:1px solid "
              "#ccc;padding:2px 6px;"
              "white-space:pre-wrap;vertical-align:top;text-align:left}td.n{text-align:right}</style>",
              "</head>", "<body>"})
            out += QByteArray(line) + eol_;
    }
    cellOpen_.clear();
    out += "<table>" + eol_;
    if (options_.header) out += "<thead>" + eol_ + "<tr>";
    auto column = [&](const QString& name, bool number) {
        cellOpen_.push_back(number ? "<td class=\"n\">" : "<td>");
        if (!options_.header) return;
        const QByteArray n = utf8(name);
        char* p = put(room(out, size_t(6 * n.size() + 12)), "<th>");
        done(out, put(putHtml(p, view(n)), "</th>"));
    };
    if (options_.rowNumbers) column(QStringLiteral("#"), true);
    for (const db::Field& f : fields_)
        column(f.name, db::isNumberType(f.type));
    if (options_.header) out += "</tr>" + eol_ + "</thead>" + eol_;
    out += "<tbody>" + eol_;
}

void HtmlFormat::appendRows(QByteArray& out, const db::RowBlock& rows) {
    const int columns = rows.columnCount();
    const size_t offset = options_.rowNumbers ? 1 : 0;
    for (int r = 0; r < rows.rowCount(); ++r) {
        char* p = put(rowRoom(out, rows, r, 6, 24, 40), "<tr>");
        ++rowNumber_;
        if (options_.rowNumbers) p = put(putNumber(put(p, cellOpen_[0]), rowNumber_), "</td>");
        for (int c = 0; c < columns; ++c) {
            p = put(p, cellOpen_[size_t(c) + offset]);
            p = putHtml(p, rows.isNull(r, c) ? view(null_) : rows.text(r, c));
            p = put(p, "</td>");
        }
        done(out, put(put(p, "</tr>"), eol_));
    }
}

void HtmlFormat::endSet(QByteArray& out) {
    out += "</tbody>" + eol_ + "</table>" + eol_;
}

void HtmlFormat::endDocument(QByteArray& out) {
    if (!started_) { // no result set: an empty table still makes a document
        startSet(out, 0);
        endSet(out);
    }
    out += "</body>" + eol_ + "</html>" + eol_;
}

} // namespace exports
