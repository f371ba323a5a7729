#include "assist/HelpPage.h"

namespace assist {

namespace {

bool isSpace(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n') || c == QLatin1Char('\f');
}

// Whether a tag "<name" or "</name" starts at i (name ending the tag's name).
bool tagAt(const QString& s, qsizetype i, bool closing) {
    const QLatin1String name = closing ? QLatin1String("</div") : QLatin1String("<div");
    if (QStringView(s).mid(i, name.size()).compare(name, Qt::CaseInsensitive) != 0) return false;
    const qsizetype after = i + name.size();
    return after >= s.size() || isSpace(s[after]) || s[after] == QLatin1Char('>') ||
           s[after] == QLatin1Char('/');
}

struct StartTag {
    qsizetype end = -1; // position after '>' (-1 when the tag never ends)
    QString id;
    bool selfClosing = false;
};

// Reads the attributes of the start tag beginning at i ("<div ...>").
StartTag readStartTag(const QString& s, qsizetype i) {
    StartTag tag;
    const qsizetype n = s.size();
    qsizetype p = i + 4;
    while (p < n) {
        while (p < n && isSpace(s[p]))
            ++p;
        if (p >= n) break;
        if (s[p] == QLatin1Char('>')) {
            tag.end = p + 1;
            return tag;
        }
        if (s[p] == QLatin1Char('/')) {
            tag.selfClosing = p + 1 < n && s[p + 1] == QLatin1Char('>');
            ++p;
            continue;
        }
        const qsizetype nameStart = p;
        while (p < n && !isSpace(s[p]) && s[p] != QLatin1Char('=') && s[p] != QLatin1Char('>') &&
               s[p] != QLatin1Char('/'))
            ++p;
        const QString name = s.mid(nameStart, p - nameStart);
        while (p < n && isSpace(s[p]))
            ++p;
        QString value;
        if (p < n && s[p] == QLatin1Char('=')) {
            ++p;
            while (p < n && isSpace(s[p]))
                ++p;
            if (p < n && (s[p] == QLatin1Char('"') || s[p] == QLatin1Char('\''))) {
                const QChar q = s[p];
                const qsizetype close = s.indexOf(q, p + 1);
                if (close < 0) return tag;
                value = s.mid(p + 1, close - p - 1);
                p = close + 1;
            } else {
                const qsizetype start = p;
                while (p < n && !isSpace(s[p]) && s[p] != QLatin1Char('>'))
                    ++p;
                value = s.mid(start, p - start);
            }
        }
        if (name.compare(QLatin1String("id"), Qt::CaseInsensitive) == 0) tag.id = value;
    }
    return tag;
}

// The position of the "</div" that closes an element whose content starts
// at from, or -1.
qsizetype matchingClose(const QString& s, qsizetype from) {
    int depth = 0;
    for (qsizetype p = s.indexOf(QLatin1Char('<'), from); p >= 0; p = s.indexOf(QLatin1Char('<'), p + 1)) {
        if (QStringView(s).mid(p, 4) == QLatin1String("<!--")) {
            const qsizetype end = s.indexOf(QLatin1String("-->"), p + 4);
            if (end < 0) return -1;
            p = end + 2;
        } else if (tagAt(s, p, true)) {
            if (depth == 0) return p;
            --depth;
        } else if (tagAt(s, p, false)) {
            const StartTag inner = readStartTag(s, p);
            if (!inner.selfClosing) ++depth;
        }
    }
    return -1;
}

} // namespace

QString fillPlaceholders(const QString& html, const QHash<QString, QString>& fragmentById) {
    QString out;
    out.reserve(html.size());
    qsizetype copied = 0; // html before this position is in out
    for (qsizetype p = html.indexOf(QLatin1Char('<')); p >= 0; p = html.indexOf(QLatin1Char('<'), p + 1)) {
        if (QStringView(html).mid(p, 4) == QLatin1String("<!--")) {
            const qsizetype end = html.indexOf(QLatin1String("-->"), p + 4);
            if (end < 0) break;
            p = end + 2;
            continue;
        }
        if (!tagAt(html, p, false)) continue;
        const StartTag tag = readStartTag(html, p);
        if (tag.end < 0) break;
        const auto fragment = fragmentById.constFind(tag.id);
        if (fragment == fragmentById.cend()) continue;
        out += QStringView(html).mid(copied, tag.end - copied);
        if (tag.selfClosing) {
            // "<div id=x/>": give it content and a closing tag of its own
            out.chop(2);
            out += QLatin1Char('>') + *fragment + QLatin1String("</div>");
            copied = tag.end;
            p = tag.end - 1;
            continue;
        }
        out += *fragment;
        const qsizetype close = matchingClose(html, tag.end);
        copied = close < 0 ? tag.end : close; // the closing tag itself is copied later
        p = close < 0 ? tag.end - 1 : close;
    }
    out += QStringView(html).mid(copied);
    return out;
}

} // namespace assist
