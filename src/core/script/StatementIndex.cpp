#include "script/StatementIndex.h"

#include <algorithm>

namespace script {

namespace {
bool before(const SplitStart& s, qsizetype offset) {
    return s.offset < offset;
}
} // namespace

void StatementIndex::setDialect(Dialect dialect) {
    if (dialect == dialect_) return;
    dialect_ = dialect;
    starts_.clear();
}

void StatementIndex::textChangedAt(qsizetype offset) {
    starts_.erase(std::lower_bound(starts_.begin(), starts_.end(), offset, before), starts_.end());
}

StatementIndex::Found StatementIndex::find(QStringView script, qsizetype caret) {
    // starts_[0, k) lie at or before the caret, starts_[k, …) after it
    const size_t k = size_t(std::upper_bound(starts_.begin(), starts_.end(), caret,
                                             [](qsizetype c, const SplitStart& s) { return c < s.offset; }) -
                            starts_.begin());
    const SplitStart from = k == 0 ? SplitStart{} : starts_[k - 1];
    const std::vector<StatementRange> found = splitStatementsFrom(script, from, caret, dialect_);

    // the starts found between that one and the caret go in between
    std::vector<SplitStart> added;
    for (const StatementRange& r : found)
        if (k == 0 || r.start > from.offset) added.push_back({r.start, r.from});
    starts_.insert(starts_.begin() + qsizetype(k), added.begin(), added.end());
    Found out;
    out.from = from.offset;
    if (!found.empty()) out.last = found.back();
    return out;
}

StatementRange StatementIndex::statementAround(QStringView script, qsizetype caret) {
    caret = std::clamp<qsizetype>(caret, 0, script.size());
    const Found found = find(script, caret);
    if (found.last && !(found.last->terminated && found.last->stop <= caret)) return *found.last;
    // between statements: empty, where only blanks and comments lie up to the caret
    StatementRange empty; // its points are not counted: nobody reads them
    empty.start = empty.end = empty.stop = found.last ? found.last->stop : found.from;
    return empty;
}

qsizetype StatementIndex::lexStart(QStringView script, qsizetype offset) {
    return statementAround(script, offset).start;
}

} // namespace script
