#include "import/CsvFormat.h"

#include "base/NameTable.h"
#include "import/ColumnTypes.h"
#include "import/CsvReader.h"

#include <QBuffer>
#include <QStringDecoder>

#include <map>

namespace csv {
namespace {

constexpr int kSampleRecords = 200;

const Named<Encoding> kEncodings[] = {{Encoding::Utf8, "UTF-8"},
                                   {Encoding::Utf16LE, "UTF-16LE"},
                                   {Encoding::Utf16BE, "UTF-16BE"},
                                   {Encoding::Latin1, "Latin-1"}};

Encoding detectEncoding(const QByteArray& s) {
    if (s.startsWith("\xEF\xBB\xBF")) return Encoding::Utf8;
    if (s.startsWith("\xFF\xFE")) return Encoding::Utf16LE;
    if (s.startsWith("\xFE\xFF")) return Encoding::Utf16BE;
    // ASCII text in UTF-16 without a mark: a zero byte beside every character
    qsizetype zerosEven = 0, zerosOdd = 0;
    for (qsizetype i = 0; i < s.size(); ++i)
        if (s[i] == 0) ++(i % 2 ? zerosOdd : zerosEven);
    if (s.size() >= 4 && zerosOdd > s.size() / 4 && zerosEven == 0) return Encoding::Utf16LE;
    if (s.size() >= 4 && zerosEven > s.size() / 4 && zerosOdd == 0) return Encoding::Utf16BE;
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    (void)QString(utf8(s));
    // a sample cut inside a character still counts as UTF-8
    if (!utf8.hasError()) return Encoding::Utf8;
    QStringDecoder trimmed(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    qsizetype end = s.size();
    while (end > 0 && end > s.size() - 4 && (uchar(s[end - 1]) & 0xC0) == 0x80) --end;
    if (end > 0 && uchar(s[end - 1]) >= 0xC0) --end;
    (void)QString(trimmed(s.left(end)));
    return trimmed.hasError() ? Encoding::Latin1 : Encoding::Utf8;
}

std::vector<Record> records(const QByteArray& utf8, char delimiter, char quote) {
    QByteArray bytes = utf8;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    Format f;
    f.delimiter = delimiter;
    f.quote = quote;
    CsvReader reader(buffer, f);
    std::vector<Record> out;
    Record r;
    while (int(out.size()) < kSampleRecords && reader.next(r)) out.push_back(r);
    return out;
}

// How well a delimiter splits the records: most records of the most common
// field count, which must be above one.
int score(const std::vector<Record>& rs) {
    std::map<int, int> counts;
    for (const Record& r : rs) ++counts[r.size()];
    int best = 0;
    for (const auto& [fields, n] : counts)
        if (fields > 1) best = std::max(best, n * 1000 + fields);
    return best;
}

bool anyQuoted(const std::vector<Record>& rs) {
    for (const Record& r : rs)
        for (int i = 0; i < r.size(); ++i)
            if (r.quoted(i)) return true;
    return false;
}

bool looksLikeHeader(const std::vector<Record>& rs) {
    if (rs.empty()) return false;
    const Record& first = rs.front();
    bool named = false;
    for (int i = 0; i < first.size(); ++i) {
        if (first.text(i).empty()) continue; // spreadsheets leave some names out
        if (typeOfValue(first.text(i)) != ColumnType::Text) return false;
        named = true;
    }
    if (!named) return false;
    if (rs.size() == 1) return true;
    for (int c = 0; c < first.size(); ++c) {
        TypeGuess below;
        bool repeated = false;
        for (size_t r = 1; r < rs.size(); ++r)
            if (c < rs[r].size()) {
                below.add(rs[r].text(c));
                repeated = repeated || (!first.text(c).empty() && rs[r].text(c) == first.text(c));
            }
        if (below.type() != ColumnType::Text) return true; // a name over numbers or dates
        if (repeated) return false;                       // the "name" is one of the column's values
    }
    return true;
}

} // namespace

const std::vector<Encoding>& encodings() {
    static const std::vector<Encoding> all = valuesOf(kEncodings);
    return all;
}

QString encodingName(Encoding e) { return nameIn(kEncodings, e); }

std::optional<Encoding> encodingNamed(const QString& name) {
    QString n = name.trimmed().toUpper();
    n.remove(QLatin1Char('-')).remove(QLatin1Char('_'));
    if (n == QLatin1String("LATIN1") || n == QLatin1String("ISO88591")) return Encoding::Latin1;
    for (const Named<Encoding>& i : kEncodings)
        if (QString::fromLatin1(i.name).remove(QLatin1Char('-')) == n) return i.value;
    return std::nullopt;
}

QString delimiterName(char delimiter) {
    switch (delimiter) {
    case ',': return QStringLiteral("comma");
    case ';': return QStringLiteral("semicolon");
    case '\t': return QStringLiteral("tab");
    case '|': return QStringLiteral("vertical bar");
    case ' ': return QStringLiteral("space");
    default: return QString(QLatin1Char(delimiter));
    }
}

Format detectFormat(const QByteArray& sample) {
    Format f;
    f.encoding = detectEncoding(sample);
    QByteArray text = toUtf8(sample, f.encoding);
    // the last line may be cut short
    const qsizetype lastBreak = std::max(text.lastIndexOf('\n'), text.lastIndexOf('\r'));
    if (lastBreak > 0) text.truncate(lastBreak + 1);

    // The best delimiter with each quote; the single quote only where it
    // encloses fields and the double quote encloses none.
    struct Choice {
        int score = -1;
        char delimiter = ',';
        std::vector<Record> records;
    } byQuote[2];
    const char quotes[2] = {'"', '\''};
    for (int q = 0; q < 2; ++q)
        for (char d : kDelimiters) {
            std::vector<Record> rs = records(text, d, quotes[q]);
            const int s = score(rs);
            if (s > byQuote[q].score) byQuote[q] = {s, d, std::move(rs)};
        }
    const bool single = anyQuoted(byQuote[1].records) && !anyQuoted(byQuote[0].records) &&
                        byQuote[1].score / 1000 >= byQuote[0].score / 1000;
    Choice& chosen = byQuote[single ? 1 : 0];
    f.quote = quotes[single ? 1 : 0];
    f.delimiter = chosen.delimiter;
    f.header = looksLikeHeader(chosen.records);
    return f;
}

} // namespace csv
