#include "document/MessageLexer.h"

#include "common/Theme.h"

#include <QFont>
#include <Qsci/qsciscintilla.h>

namespace {

bool isWordByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           (static_cast<unsigned char>(c) & 0x80);
}

bool startsWithNoCase(const QByteArray& text, qsizetype at, const char* word) {
    for (qsizetype i = 0; word[i]; ++i) {
        if (at + i >= text.size()) return false;
        char c = text[at + i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        char w = word[i];
        if (w >= 'a' && w <= 'z') w = char(w - 'a' + 'A');
        if (c != w) return false;
    }
    return true;
}

} // namespace

MessageLexer::MessageLexer(QObject* parent) : QsciLexerCustom(parent) {
    Theme::instance().onChange(this, [this] { applyTheme(); });
    QFont bold = font(Keyword);
    bold.setBold(true);
    setFont(bold, Keyword);
    QFont error = font(Error);
    error.setBold(true);
    setFont(error, Error);
}

Theme::Role MessageLexer::roleOf(int style) {
    using Role = Theme::Role;
    switch (style) {
    case Error: return Role::MessageError;
    case Keyword: return Role::MessageKeyword;
    case LineWord: return Role::MessageLineWord;
    case String: return Role::MessageString;
    case Comment: return Role::MessageComment;
    default: return Role::MessageText;
    }
}

void MessageLexer::applyTheme() {
    const QColor paper = themeColour(Theme::Role::Paper);
    setDefaultPaper(paper);
    setDefaultColor(themeColour(Theme::Role::MessageText));
    setPaper(paper, -1); // every style
    for (int style = Default; style <= Comment; ++style) setColor(themeColour(roleOf(style)), style);
}

QString MessageLexer::description(int style) const {
    switch (style) {
    case Default:
        return QStringLiteral("Default");
    case Error:
        return QStringLiteral("Error");
    case Keyword:
        return QStringLiteral("Keyword");
    case LineWord:
        return QStringLiteral("Line reference");
    case String:
        return QStringLiteral("String");
    case Comment:
        return QStringLiteral("Comment");
    }
    return QString();
}

QByteArray MessageLexer::lineStyles(const QByteArray& line, bool& inComment) {
    QByteArray styles(line.size(), char(Default));
    const qsizetype n = line.size();
    auto fill = [&styles](qsizetype from, qsizetype to, Style s) {
        for (qsizetype k = from; k < to; ++k)
            styles[k] = char(s);
    };
    qsizetype i = 0;
    while (i < n) {
        if (inComment) {
            const qsizetype close = line.indexOf("*/", i);
            const qsizetype to = close < 0 ? n : close + 2;
            fill(i, to, Comment);
            inComment = close < 0;
            i = to;
            continue;
        }
        const char c = line[i];
        if (startsWithNoCase(line, i, "ERROR:")) { // the rest of the line
            fill(i, n, Error);
            break;
        }
        if (c == '/' && i + 1 < n && line[i + 1] == '*') {
            fill(i, i + 2, Comment);
            inComment = true;
            i += 2;
        } else if (c == '\'') {
            const qsizetype close = line.indexOf('\'', i + 1);
            const qsizetype to = close < 0 ? n : close + 1;
            fill(i, to, String);
            i = to;
        } else if (isWordByte(c)) {
            qsizetype j = i + 1;
            while (j < n && isWordByte(line[j]) && !startsWithNoCase(line, j, "ERROR:"))
                ++j;
            if (j - i == 4 && startsWithNoCase(line, i, "line")) {
                const bool keyword = j < n && line[j] == ':';
                fill(i, keyword ? j + 1 : j, keyword ? Keyword : LineWord);
                if (keyword) ++j;
            }
            i = j;
        } else {
            if (c == ':') styles[i] = char(LineWord);
            ++i;
        }
    }
    return styles;
}

void MessageLexer::styleText(int start, int end) {
    QsciScintilla* ed = editor();
    if (!ed || end <= start) return;
    // Restyle from the start of the line: whether a comment is open there is
    // kept in the line state of the line before.
    const long firstLine = ed->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, start);
    start = int(ed->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, firstLine));
    bool inComment = firstLine > 0 && ed->SendScintilla(QsciScintilla::SCI_GETLINESTATE, firstLine - 1) != 0;
    QByteArray text(end - start + 1, '\0');
    ed->SendScintilla(QsciScintilla::SCI_GETTEXTRANGE, long(start), long(end), text.data());
    text.truncate(end - start);

    startStyling(start);
    long line = firstLine;
    qsizetype from = 0;
    while (from < text.size()) {
        qsizetype lineEnd = from;
        while (lineEnd < text.size() && text[lineEnd] != '\r' && text[lineEnd] != '\n')
            ++lineEnd;
        qsizetype next = lineEnd;
        if (next < text.size() && text[next] == '\r') ++next;
        if (next < text.size() && text[next] == '\n') ++next;
        const QByteArray styles = lineStyles(text.mid(from, lineEnd - from), inComment);
        // runs of one style at a time
        for (qsizetype k = 0; k < styles.size();) {
            qsizetype r = k + 1;
            while (r < styles.size() && styles[r] == styles[k])
                ++r;
            setStyling(int(r - k), styles[k]);
            k = r;
        }
        if (next > lineEnd) setStyling(int(next - lineEnd), inComment ? Comment : Default);
        ed->SendScintilla(QsciScintilla::SCI_SETLINESTATE, static_cast<unsigned long>(line),
                          long(inComment ? 1 : 0));
        ++line;
        from = next;
    }
}
