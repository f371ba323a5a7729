#include "assist/ScriptStyler_p.h"

#include "script/SqlLexer.h"

#include <Qsci/qscilexersql.h>
#include <Qsci/qsciscintilla.h>

#include <vector>

namespace {

using Sci = QsciScintillaBase;

long sci(QsciScintilla* e, unsigned int message, unsigned long w = 0, long l = 0) {
    return e->SendScintilla(message, w, l);
}

// Styles a token can run on into the next line with: a pass must not start inside one.
bool spansLines(int style) {
    switch (style) {
    case QsciLexerSQL::Comment:
    case QsciLexerSQL::CommentDoc:
    case QsciLexerSQL::SingleQuotedString:
    case QsciLexerSQL::DoubleQuotedString:
    case QsciLexerSQL::QuotedIdentifier:
        return true;
    default:
        return false;
    }
}

// Where a pass that must cover start can begin: the start of a line that
// does not begin inside a token running on from the line before.
int restartPoint(QsciScintilla* e, int start) {
    for (;;) {
        start = int(sci(e, Sci::SCI_POSITIONFROMLINE, sci(e, Sci::SCI_LINEFROMPOSITION, start)));
        if (start == 0) return 0;
        const int before = int(sci(e, Sci::SCI_GETSTYLEAT, start - 1));
        if (!spansLines(before)) return start;
        while (start > 0 && sci(e, Sci::SCI_GETSTYLEAT, start - 1) == before) --start;
    }
}

// Whether the server reads a name in these quotes.
bool opensName(QChar quote, db::ServerFamily server) {
    if (quote == QLatin1Char('`')) return server == db::ServerFamily::MariaDB;
    if (quote == QLatin1Char('[')) return server == db::ServerFamily::SqlServer;
    return true; // "…"
}

} // namespace

void ScriptStyler::style(QsciScintilla* e, int start, int end) const {
    const int length = int(sci(e, Sci::SCI_GETLENGTH));
    start = restartPoint(e, start);
    end = std::min(length, int(sci(e, Sci::SCI_GETLINEENDPOSITION, sci(e, Sci::SCI_LINEFROMPOSITION, end))));
    if (end <= start) return;
    QByteArray bytes(end - start + 1, Qt::Uninitialized); // and the range's closing NUL
    e->SendScintilla(Sci::SCI_GETTEXTRANGE, start, end, bytes.data());
    const QString text = QString::fromUtf8(bytes.constData(), end - start);
    // the UTF-8 offset of every UTF-16 position, to style in Scintilla's
    // bytes (the same numbers for ASCII text, which needs no table)
    const bool ascii = text.size() == end - start;
    std::vector<int> offset(ascii ? 0 : size_t(text.size()) + 1);
    for (qsizetype i = 0, b = 0; !ascii && i <= text.size(); ++i) {
        offset[size_t(i)] = int(b);
        if (i < text.size()) {
            const char16_t u = text[i].unicode();
            b += u < 0x80 ? 1 : u < 0x800 ? 2 : QChar::isHighSurrogate(u) ? 4 : QChar::isLowSurrogate(u) ? 0 : 3;
        }
    }
    auto byteAt = [&](qsizetype i) { return ascii ? i : qsizetype(offset[size_t(i)]); };
    // one style byte per text byte, handed to Scintilla in one call
    QByteArray styles(end - start, char(QsciLexerSQL::Default));
    auto paint = [&](qsizetype from, qsizetype to, int style) {
        std::fill(styles.begin() + byteAt(from), styles.begin() + byteAt(to), char(style));
    };
    // fold depth: BEGIN and END words only, never below zero; kept per line
    const int firstLine = int(sci(e, Sci::SCI_LINEFROMPOSITION, start));
    struct LineFold {
        int depthAtStart;
        int depthAtEnd;
        bool opens;
    };
    const int startDepth = firstLine > 0 ? int(sci(e, Sci::SCI_GETLINESTATE, firstLine - 1)) : 0;
    std::vector<LineFold> lines{{startDepth, startDepth, false}};
    qsizetype scanned = 0; // line breaks are counted up to here
    auto reach = [&](qsizetype to) {
        for (; scanned < to; ++scanned)
            if (text[scanned] == QLatin1Char('\n')) {
                const int depth = lines.back().depthAtEnd;
                lines.push_back({depth, depth, false});
            }
    };

    const bool mysql = server == db::ServerFamily::MariaDB;
    script::SqlLexer lexer(text, mysql ? script::Dialect::MySql : script::Dialect::Generic);
    QString word;
    for (script::Token t = lexer.next(); t.kind != script::TokenKind::End; t = lexer.next()) {
        reach(t.start);
        int style = QsciLexerSQL::Operator;
        switch (t.kind) {
        case script::TokenKind::Word: {
            word.resize(t.end - t.start);
            for (qsizetype i = t.start; i < t.end; ++i) word[i - t.start] = text[i].toLower();
            style = wordStyles.value(word, QsciLexerSQL::Identifier);
            LineFold& f = lines.back();
            if (word == QLatin1String("begin")) {
                ++f.depthAtEnd;
                f.opens = true;
            } else if (word == QLatin1String("end") && f.depthAtEnd > 0) {
                --f.depthAtEnd;
            }
            break;
        }
        case script::TokenKind::Number: style = QsciLexerSQL::Number; break;
        case script::TokenKind::String:
            style = text[t.start] == QLatin1Char('"') ? QsciLexerSQL::DoubleQuotedString : QsciLexerSQL::SingleQuotedString;
            break;
        case script::TokenKind::QuotedName:
            if (!opensName(text[t.start], server)) { // an operator here, and what follows is read on its own
                lexer.setPosition(t.start + 1);
                t.end = t.start + 1;
            } else {
                style = text[t.start] == QLatin1Char('"') && mysql ? QsciLexerSQL::DoubleQuotedString
                                                                    : QsciLexerSQL::QuotedIdentifier;
            }
            break;
        case script::TokenKind::DollarBody: // read as code, as before: only its '$' is an operator
            lexer.setPosition(t.start + 1);
            t.end = t.start + 1;
            break;
        case script::TokenKind::LineComment:
            style = text[t.start] == QLatin1Char('#') ? QsciLexerSQL::CommentLineHash : QsciLexerSQL::CommentLine;
            break;
        case script::TokenKind::BlockComment: style = QsciLexerSQL::Comment; break;
        default: break;
        }
        paint(t.start, t.end, style);
    }
    reach(text.size());

    e->SendScintilla(Sci::SCI_STARTSTYLING, start);
    e->SendScintilla(Sci::SCI_SETSTYLINGEX, styles.size(), styles.constData());
    for (size_t i = 0; i < lines.size(); ++i) {
        const LineFold& f = lines[i];
        const int header = f.opens && f.depthAtEnd > f.depthAtStart ? Sci::SC_FOLDLEVELHEADERFLAG : 0;
        sci(e, Sci::SCI_SETFOLDLEVEL, firstLine + int(i), (Sci::SC_FOLDLEVELBASE + f.depthAtStart) | header);
        sci(e, Sci::SCI_SETLINESTATE, firstLine + int(i), f.depthAtEnd);
    }
}
