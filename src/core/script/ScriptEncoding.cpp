#include "script/ScriptEncoding.h"

namespace {

constexpr char16_t kStrayBase = 0xF780; // U+F780..U+F7FF stand for the bytes 0x80..0xFF

// Length of the valid UTF-8 sequence starting at i, 0 when the bytes there are
// not one (overlong forms, surrogates and values past U+10FFFF are invalid).
int validSequence(const unsigned char* s, qsizetype i, qsizetype n) {
    const unsigned char c = s[i];
    int len = 0;
    char32_t min = 0, cp = 0;
    if (c >= 0xC2 && c <= 0xDF) len = 2, min = 0x80, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF) len = 3, min = 0x800, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4) len = 4, min = 0x10000, cp = c & 0x07;
    else return 0;
    if (i + len > n) return 0;
    for (int k = 1; k < len; ++k) {
        if ((s[i + k] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

} // namespace

qsizetype firstNonUtf8Byte(const QByteArray& bytes) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        if (s[i] < 0x80) {
            ++i;
            continue;
        }
        const int len = validSequence(s, i, n);
        if (!len) return i;
        i += len;
    }
    return -1;
}

DecodedScript decodeScript(const QByteArray& input) {
    QByteArray bytes = input;
    bool bom = false;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
        bom = true;
    }
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype valid = 0, stray = 0;
    for (qsizetype i = 0; i < n;) {
        if (s[i] < 0x80) {
            ++i;
            continue;
        }
        const int len = validSequence(s, i, n);
        if (len) {
            ++valid;
            i += len;
        } else {
            ++stray;
            ++i;
        }
    }
    if (stray == 0) return {QString::fromUtf8(bytes), bom ? ScriptEncoding::Utf8WithBom : ScriptEncoding::Utf8};
    if (valid == 0 && !bom) return {QString::fromLatin1(input), ScriptEncoding::Latin1};

    // UTF-8 with stray bytes: decode piece by piece, stray bytes as private-use characters.
    QString text;
    text.reserve(n);
    qsizetype run = 0; // start of the current run of valid text
    for (qsizetype i = 0; i < n;) {
        if (s[i] < 0x80) {
            ++i;
            continue;
        }
        const int len = validSequence(s, i, n);
        if (len) {
            i += len;
            continue;
        }
        text += QString::fromUtf8(bytes.constData() + run, i - run);
        text += QChar(char16_t(kStrayBase + (s[i] - 0x80)));
        run = ++i;
    }
    text += QString::fromUtf8(bytes.constData() + run, n - run);
    // a byte-order mark before such text is kept as a stray-free prefix
    if (bom) text.prepend(QChar(0xFEFF));
    return {text, ScriptEncoding::Utf8WithStrayBytes};
}

Result<QByteArray> encodeScript(const QString& text, ScriptEncoding encoding) {
    switch (encoding) {
    case ScriptEncoding::Utf8: return text.toUtf8();
    case ScriptEncoding::Utf8WithBom: return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case ScriptEncoding::Latin1: {
        for (qsizetype i = 0; i < text.size(); ++i)
            if (text[i].unicode() > 0xFF)
                return fail(QStringLiteral("Latin-1 cannot hold the character \"%1\" (line %2).")
                                .arg(text.mid(i, text[i].isHighSurrogate() ? 2 : 1))
                                .arg(text.left(i).count(QLatin1Char('\n')) + 1));
        return text.toLatin1();
    }
    case ScriptEncoding::Utf8WithStrayBytes: {
        QByteArray out;
        out.reserve(text.size() + 16);
        qsizetype run = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c < kStrayBase || c > kStrayBase + 0x7F) continue;
            out += QStringView(text).mid(run, i - run).toUtf8();
            out += char(0x80 + (c - kStrayBase));
            run = i + 1;
        }
        out += QStringView(text).mid(run).toUtf8();
        return out;
    }
    }
    return text.toUtf8();
}

QString encodingName(ScriptEncoding encoding) {
    switch (encoding) {
    case ScriptEncoding::Utf8: return QStringLiteral("UTF-8");
    case ScriptEncoding::Utf8WithBom: return QStringLiteral("UTF-8 with byte-order mark");
    case ScriptEncoding::Latin1: return QStringLiteral("Latin-1");
    case ScriptEncoding::Utf8WithStrayBytes: return QStringLiteral("UTF-8 (with bytes that are not UTF-8)");
    }
    return {};
}
