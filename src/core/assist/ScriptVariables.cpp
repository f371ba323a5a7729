#include "assist/ScriptVariables.h"

#include <QSet>

namespace assist {

namespace {

bool isNameChar(QChar c, QChar marker) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#') || c == QLatin1Char('$') ||
           c == marker;
}

// The position after a quoted run that starts at i with the quote open; a
// doubled closing quote stands for itself. An unclosed run ends the text.
qsizetype skipQuoted(const QString& s, qsizetype i, QChar close) {
    const qsizetype n = s.size();
    for (qsizetype j = i + 1; j < n; ++j) {
        if (s[j] != close) continue;
        if (j + 1 < n && s[j + 1] == close) {
            ++j;
            continue;
        }
        return j + 1;
    }
    return n;
}

} // namespace

QStringList buildItem(const QString& script, QChar marker) {
    QStringList out;
    QSet<QString> seen;
    const qsizetype n = script.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = script[i];
        const QChar next = i + 1 < n ? script[i + 1] : QChar();
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            i = skipQuoted(script, i, c);
        } else if (c == QLatin1Char('[')) {
            i = skipQuoted(script, i, QLatin1Char(']'));
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            const qsizetype end = script.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? n : end + 1;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype end = script.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == marker && (i == 0 || !isNameChar(script[i - 1], marker))) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(script[j], marker))
                ++j;
            // a name needs more than its markers
            bool named = false;
            for (qsizetype k = i + 1; k < j && !named; ++k)
                named = script[k] != marker;
            if (named) {
                const QString name = script.mid(i, j - i);
                if (!seen.contains(name.toLower())) {
                    seen.insert(name.toLower());
                    out << name;
                }
            }
            i = j;
        } else {
            ++i;
        }
    }
    return out;
}

} // namespace assist
