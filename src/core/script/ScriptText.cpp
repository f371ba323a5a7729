#include "script/ScriptText.h"

#include "script/CommentStripper.h"

namespace script {

QString stripComments(const QString& text) { return stripCommentsFast(text); }

QString collapseBlanks(const QString& text) {
    if (!text.contains(QLatin1String("  "))) return text;
    QString out;
    out.reserve(text.size());
    QChar previous;
    for (QChar c : text) {
        if (c == QLatin1Char(' ') && previous == QLatin1Char(' ')) continue;
        out += c;
        previous = c;
    }
    return out;
}

QString joinLines(const QString& text) {
    QString out;
    out.reserve(text.size() + 16);
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(QLatin1String("\r\n"), start);
        const qsizetype stop = end < 0 ? text.size() : end;
        if (stop > start) {
            out += QLatin1Char(' ');
            out += QStringView(text).mid(start, stop - start);
        }
        if (end < 0) break;
        start = end + 2;
    }
    return out;
}

QString replaceAll(const QString& text, const QString& find, const QString& replacement) {
    if (find.isEmpty()) return text;
    QString out = text;
    out.replace(find, replacement, Qt::CaseSensitive);
    return out;
}

QString trimLeadingBlanks(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' ')) ++i;
    return text.mid(i);
}

QString padText(const QString& text, const QString& side, int width, const QString& pad) {
    qsizetype b = 0, e = text.size();
    while (b < e && text[b] == QLatin1Char(' ')) ++b;
    while (e > b && text[e - 1] == QLatin1Char(' ')) --e;
    const QStringView trimmed = QStringView(text).mid(b, e - b);
    if (trimmed.size() > width) return QStringLiteral("...");
    if (pad.isEmpty() || trimmed.size() >= width) return trimmed.toString();
    // Whole pads until the width is reached: a longer pad may overshoot.
    const qsizetype count = (width - trimmed.size() + pad.size() - 1) / pad.size();
    const QString fill = pad.repeated(count);
    return side == QLatin1String("L") ? trimmed.toString() + fill : fill + trimmed.toString();
}

QString prepareScriptText(const QString& text) {
    // collapseBlanks, joinLines, removal of "  " and trimLeadingBlanks fused
    // into one pass over the text without comments; same result, one copy.
    const QString s = stripComments(text);
    const QChar* in = s.constData();
    const qsizetype n = s.size();
    // Each blank added in front of a line stands for a CR LF that goes, so the
    // result is at most one character longer than its input.
    QString out(n + 1, Qt::Uninitialized);
    QChar* w = out.data();
    QChar* const base = w;
    bool pendingBlank = false; // a blank of the joined text, waiting to see if a second one follows
    auto put = [&](QChar c) {
        if (c == QLatin1Char(' ')) {
            if (pendingBlank) {
                pendingBlank = false; // a pair of blanks disappears
                return;
            }
            pendingBlank = true;
            return;
        }
        if (pendingBlank) {
            if (w != base) *w++ = QLatin1Char(' '); // leading blanks are trimmed
            pendingBlank = false;
        }
        *w++ = c;
    };
    qsizetype i = 0;
    bool previousWasBlank = false; // for collapsing, in the text before joining
    while (i <= n) {
        // start of a line: empty lines are dropped, others get one blank in front
        const bool emptyLine = i == n || (i + 1 < n && in[i] == QLatin1Char('\r') && in[i + 1] == QLatin1Char('\n'));
        if (!emptyLine) put(QLatin1Char(' '));
        while (i < n && !(in[i] == QLatin1Char('\r') && i + 1 < n && in[i + 1] == QLatin1Char('\n'))) {
            const QChar c = in[i++];
            const bool blank = c == QLatin1Char(' ');
            if (!(blank && previousWasBlank)) put(c);
            previousWasBlank = blank;
        }
        previousWasBlank = false; // CR LF separates blank runs
        i += 2;
    }
    if (pendingBlank && w != base) *w++ = QLatin1Char(' ');
    out.truncate(w - base);
    return out;
}

StatementKind classifyStatement(const QString& text) {
    if (text.left(3).toUpper() == QLatin1String("USE")) return StatementKind::Use;
    if (text.left(3).toLower() == QLatin1String("sp_")) return StatementKind::SystemProcedure;
    if (text.size() < 6) return StatementKind::None;
    const QString head = text.left(6).toUpper();
    if (head == QLatin1String("SELECT")) return StatementKind::Select;
    if (head == QLatin1String("INSERT")) return StatementKind::Insert;
    if (head == QLatin1String("UPDATE")) return StatementKind::Update;
    if (head == QLatin1String("DELETE")) return StatementKind::Delete;
    if (head == QLatin1String("CONFIG")) return StatementKind::Config;
    return StatementKind::Exec;
}

QString statementKindText(StatementKind kind) {
    switch (kind) {
    case StatementKind::None: return {};
    case StatementKind::Use: return QStringLiteral("USE");
    case StatementKind::SystemProcedure: return QStringLiteral("SP_");
    case StatementKind::Select: return QStringLiteral("SELECT");
    case StatementKind::Insert: return QStringLiteral("INSERT");
    case StatementKind::Update: return QStringLiteral("UPDATE");
    case StatementKind::Delete: return QStringLiteral("DELETE");
    case StatementKind::Config: return QStringLiteral("CONFIG");
    case StatementKind::Exec: return QStringLiteral("EXEC");
    }
    return {};
}

} // namespace script
