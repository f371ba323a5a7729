#include "db/PgBatch.h"

#include <algorithm>

namespace db::pg {
namespace {

bool isAny(const QString& word, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return word == QLatin1String(w); });
}

// Opens, ends or marks a transaction: always alone, so the session's state
// is known before the next call is made.
bool controlsTransactions(const QStringList& words) {
    const QString first = words.value(0);
    if (isAny(first,
              {"BEGIN", "START", "COMMIT", "END", "ROLLBACK", "ABORT", "SAVEPOINT", "RELEASE", "PREPARE"}))
        return true;
    return first == QLatin1String("SET") && isAny(words.value(1), {"TRANSACTION", "LOCAL", "CONSTRAINTS"});
}

// Safe to run between COMMITs of ours: runs inside a transaction block as it
// runs alone, and cannot commit by itself.
bool sharesOutsideTransaction(const QStringList& words) {
    const QString first = words.value(0);
    if (isAny(first, {"SELECT", "INSERT", "UPDATE", "DELETE", "VALUES", "TABLE", "WITH", "MERGE", "TRUNCATE",
                      "COMMENT", "GRANT", "REVOKE", "SHOW", "SET"}))
        return true;
    if (!isAny(first, {"CREATE", "ALTER", "DROP"})) return false;
    // what refuses a transaction block, or is not undone with it
    return std::none_of(words.begin(), words.end(), [](const QString& w) {
        return isAny(w, {"DATABASE", "TABLESPACE", "SUBSCRIPTION", "SYSTEM", "CONCURRENTLY"});
    });
}

} // namespace

qsizetype Batch::scriptOffset(const std::vector<ScriptStatement>& statements, qsizetype offset) const {
    for (size_t i = 0; i < count; ++i) {
        const ScriptStatement& s = statements[first + i];
        if (offset >= starts[i] && offset <= starts[i] + (s.end - s.start))
            return s.start + (offset - starts[i]);
    }
    return -1;
}

Batch nextBatch(const QString& script, const std::vector<ScriptStatement>& statements, size_t from,
                bool inTransaction) {
    Batch b;
    b.first = from;
    b.inTransaction = inTransaction;
    auto shares = [&](const ScriptStatement& s) {
        if (controlsTransactions(s.leadingWords)) return false;
        return inTransaction || sharesOutsideTransaction(s.leadingWords);
    };
    size_t end = from + 1;
    if (shares(statements[from])) {
        qsizetype size = statements[from].end - statements[from].start;
        while (end < statements.size() && end - from < kMaxBatchStatements && size < kMaxBatchText &&
               shares(statements[end])) {
            size += statements[end].end - statements[end].start;
            ++end;
        }
    }
    b.count = end - from;
    b.commits = !inTransaction && b.count > 1;
    static const QString kCommit = QStringLiteral(";\nCOMMIT;\n");
    static const QString kNext = QStringLiteral(";\n");
    for (size_t i = from; i < end; ++i) {
        const ScriptStatement& s = statements[i];
        b.starts.push_back(b.text.size());
        b.text += QStringView(script).mid(s.start, s.end - s.start);
        if (b.count > 1) b.text += b.commits ? kCommit : kNext;
    }
    return b;
}

} // namespace db::pg
