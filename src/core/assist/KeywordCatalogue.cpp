#include "assist/KeywordCatalogue.h"

#include "store/ResourceDb.h"

#include <iterator>
#include <utility>

const QStringList& WordLists::of(WordClass c) const {
    switch (c) {
    case WordClass::Keyword:
        return keywords;
    case WordClass::Operator:
        return operators;
    case WordClass::Function:
        return functions;
    case WordClass::DataType:
        break;
    }
    return dataTypes;
}

QStringList& WordLists::of(WordClass c) {
    return const_cast<QStringList&>(std::as_const(*this).of(c));
}

QHash<QString, QString> WordLists::spellings() const {
    // insert replaces: walk the classes backwards so the first class wins
    QHash<QString, QString> out;
    for (int i = int(std::size(assist::kAllClasses)) - 1; i >= 0; --i)
        for (const QString& w : of(assist::kAllClasses[i]))
            out.insert(w.toLower(), w);
    return out;
}

namespace assist {

namespace {
// A prefix match; an exact match (ignoring case) first, then alphabetical,
// then the order of storage, so the same word always gives the same help.
const QString kLocate = QStringLiteral(
    "SELECT syntax_name, syntax_title, description, example FROM syntax "
    "WHERE syntax_name LIKE ? ESCAPE '\\' "
    "ORDER BY CASE WHEN lower(syntax_name) = lower(?) THEN 0 ELSE 1 END, syntax_name COLLATE NOCASE, rowid "
    "LIMIT 1");
} // namespace

QString likePrefixPattern(const QString& prefix) {
    QString out;
    out.reserve(prefix.size() + 2);
    for (QChar c : prefix) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    out += QLatin1Char('%');
    return out;
}

Result<WordLists> loadWordLists() {
    try {
        const db::Table t = ResourceDb::open()->query(
            QStringLiteral("SELECT syntax_name, type FROM syntax WHERE type IN (?, ?, ?, ?) ORDER BY "
                           "syntax_name COLLATE NOCASE, syntax_name"),
            {int(WordClass::Keyword), int(WordClass::Operator), int(WordClass::Function),
             int(WordClass::DataType)});
        WordLists lists;
        for (const auto& row : t.rows) {
            if (!row[0] || !row[1]) continue;
            bool ok = false;
            const int type = row[1]->toInt(&ok);
            if (!ok || type < 1 || type > 4) continue;
            QStringList& list = lists.of(WordClass(type));
            // a stored word with line breaks is several words
            for (const QString& piece : row[0]->split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                const QString word = piece.trimmed();
                if (!word.isEmpty()) list << word;
            }
        }
        return lists;
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<QHash<QString, KeywordHelp>> loadHelp(WordClass wordClass) {
    try {
        const db::Table t = ResourceDb::open()->query(
            QStringLiteral("SELECT syntax_name, syntax_title, description, example FROM syntax WHERE type = ? "
                           "ORDER BY rowid"),
            {int(wordClass)});
        QHash<QString, KeywordHelp> out;
        for (const auto& r : t.rows) {
            const QString name = r[0].value_or(QString()).trimmed();
            if (name.isEmpty() || out.contains(name.toLower())) continue;
            out.insert(name.toLower(), KeywordHelp{name, r[1].value_or(QString()), r[2].value_or(QString()),
                                                   r[3].value_or(QString())});
        }
        return out;
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<bool> bLocateKeyword(const QString& word) {
    try {
        const db::Table t = ResourceDb::open()->query(
            QStringLiteral("SELECT EXISTS (SELECT 1 FROM syntax WHERE syntax_name LIKE ? ESCAPE '\\')"),
            {likePrefixPattern(word)});
        return !t.rows.empty() && t.rows[0][0].value_or(QString()) != QLatin1String("0");
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<std::optional<KeywordHelp>> sLocateKeyword(const QString& word) {
    try {
        const db::Table t = ResourceDb::open()->query(kLocate, {likePrefixPattern(word), word});
        if (t.rows.empty()) return std::optional<KeywordHelp>();
        const auto& r = t.rows[0];
        return std::optional<KeywordHelp>(KeywordHelp{r[0].value_or(QString()), r[1].value_or(QString()),
                                                      r[2].value_or(QString()), r[3].value_or(QString())});
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

} // namespace assist
