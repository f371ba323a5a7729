#include "assist/TsqlLexer.h"

#include "common/Theme.h"
#include "editor/SqlColours.h"

#include <QFont>

namespace {

// Only words made of word characters can ever match: a stored "<>" or a
// word with a blank inside would otherwise become other keywords.
bool isLexerWord(const QString& w) {
    if (w.isEmpty()) return false;
    for (QChar c : w)
        if (!c.isLetterOrNumber() && c != QLatin1Char('_')) return false;
    return true;
}

QByteArray keywordSet(const QStringList& words) {
    QByteArray out;
    for (const QString& w : words) {
        if (!isLexerWord(w)) continue;
        if (!out.isEmpty()) out += ' ';
        out += w.toLower().toUtf8();
    }
    return out;
}

// keywords(set) numbers the sets from 1.
constexpr int kKeywordSet = 1, kOperatorSet = 5, kDataTypeSet = 6, kFunctionSet = 7;

} // namespace

TsqlLexer::TsqlLexer(QObject* parent) : QsciLexerSQL(parent) {
    setFoldOnlyBegin(true);
    setFoldComments(false);
    setFoldCompact(false);
    setBackslashEscapes(false);
    setHashComments(false);

    Theme::instance().onChange(this, [this] { sqlcolours::apply(this); });
    QFont bold = font(KeywordStyle);
    bold.setBold(true);
    setFont(bold, KeywordStyle);
}

const char* TsqlLexer::keywords(int set) const {
    if (set < 1 || set > 8) return nullptr;
    // an empty set still has to be a set, so nothing of the stock lists shows
    return sets_[set].constData();
}

void TsqlLexer::setWordLists(const WordLists& lists) {
    for (QByteArray& s : sets_)
        s.clear();
    sets_[kKeywordSet] = keywordSet(lists.keywords);
    sets_[kOperatorSet] = keywordSet(lists.operators);
    sets_[kDataTypeSet] = keywordSet(lists.dataTypes);
    sets_[kFunctionSet] = keywordSet(lists.functions);
}

int TsqlLexer::styleOf(WordClass c) {
    switch (c) {
    case WordClass::Keyword:
        return KeywordStyle;
    case WordClass::Operator:
        return OperatorWordStyle;
    case WordClass::Function:
        return FunctionStyle;
    case WordClass::DataType:
        break;
    }
    return DataTypeStyle;
}
