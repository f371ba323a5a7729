// The lists of the completion popup that the catalogue fills: tables,
// columns and the suggestions for the statement (see CompletionPopup.h).
#include "assist/CatalogCache.h"
#include "assist/CompletionList.h"
#include "assist/CompletionPopup.h"
#include "assist/ContextSuggestions.h"
#include "assist/EditorStatements.h"
#include "editor/SqlEditor.h"

#include <memory>
#include <optional>

namespace {
const QString kNoConnection = QStringLiteral("[No Connection]");
} // namespace

void CompletionPopup::showCatalogs() {
    if (!isOpen()) placeIntelliPopup();
    switchTo(Tables);
    const QString cs = connection();
    if (cs.isEmpty()) {
        tableRows_.clear();
        list(Tables)->setPlaceholder(kNoConnection);
        return locate();
    }
    const int request = ++tablesRequest_;
    const bool ready = cache_->requestTables(cs, [this, request](const Result<CatalogCache::Tables>& r) {
        if (request != tablesRequest_) return; // a newer request took over
        if (!r) {
            tableRows_.clear();
            list(Tables)->setPlaceholder(r.error().trimmed());
        } else {
            fillTables(*r);
        }
        if (isOpen() && current_ == Tables) locate();
    });
    if (!ready) list(Tables)->setPlaceholder(QStringLiteral("Reading tables…"));
}

void CompletionPopup::fillTables(const assist::CatalogTables& tables) {
    tableRows_.clear();
    schemasAreDatabases_ = tables.schemasAreDatabases();
    std::vector<assist::Candidate> rows;
    rows.reserve(tables.tables.size());
    for (const assist::CatalogTable& t : tables.tables) {
        rows.push_back(assist::tableCandidate(t, tables.dialect));
        tableRows_.push_back(t);
    }
    list(Tables)->setEntries(std::move(rows));
    if (list(Tables)->count() == 0) {
        tableRows_.clear();
        list(Tables)->setPlaceholder(QStringLiteral("(no tables)"));
    }
}

assist::ColumnSource CompletionPopup::sourceOfRow(int row) const {
    assist::ColumnSource s;
    s.database = database();
    if (row < 0 || row >= int(tableRows_.size())) return s;
    const assist::CatalogTable& t = tableRows_[size_t(row)];
    s.table = t.name;
    if (!t.onPath && schemasAreDatabases_)
        s.database = t.schema;
    else if (!t.onPath)
        s.schema = t.schema;
    return s;
}

void CompletionPopup::showCatalogItems() {
    if (!isOpen()) placeIntelliPopup();
    const QString cs = connection();
    const assist::StatementContext ctx = statements_->contextAt(wordEnd_);
    if (cs.isEmpty() || ctx.qualifier.isEmpty()) {
        CompletionList* tables = list(Tables);
        const bool chosen = tables->hasWord() && tables->currentIndex().row() < int(tableRows_.size());
        return showColumnsOf(chosen ? sourceOfRow(tables->currentIndex().row()) : assist::ColumnSource(),
                             chosen ? tables->currentText() : QString());
    }
    // the columns of what the names before the dot stand for ("o.", "sales.orders.")
    assist::StatementContext columnsOf = ctx;
    columnsOf.expect = assist::Expect::Columns;
    columnsLabel_ = ctx.qualifier.join(QLatin1Char('.'));
    switchTo(Columns);
    const bool ready = suggestions_->fill(columnsOf, cs, database(), [this](const auto& c, const QString& error) {
        if (current_ != Columns) return;
        std::vector<assist::Candidate> columns;
        for (const assist::Candidate& e : c.items)
            if (e.kind == assist::Kind::Column) columns.push_back(e);
        if (!error.isEmpty())
            list(Columns)->setPlaceholder(error.trimmed());
        else if (columns.empty())
            list(Columns)->setPlaceholder(QStringLiteral("(no columns)"));
        else
            list(Columns)->setEntries(std::move(columns));
        if (isOpen()) locate();
    });
    if (!ready) list(Columns)->setPlaceholder(QStringLiteral("Reading columns…"));
}

void CompletionPopup::showColumnsOf(const assist::ColumnSource& source, const QString& label) {
    CompletionList* l = list(Columns);
    const QString cs = connection();
    columnsLabel_ = label;
    suggestions_->cancel();
    switchTo(Columns); // after columnsLabel_: the hint names the table
    if (cs.isEmpty()) {
        l->setPlaceholder(kNoConnection);
        return locate();
    }
    if (source.table.isEmpty()) {
        l->setPlaceholder(QStringLiteral("(no table chosen: F2 lists the tables)"));
        return locate();
    }
    const int request = ++columnsRequest_;
    const bool ready = cache_->requestColumns(cs, source, [this, request, cs](const Result<QStringList>& r) {
        if (request != columnsRequest_) return;
        CompletionList* cl = list(Columns);
        const CatalogCache::Tables* tables = cache_->cachedTables(cs);
        const SqlDialect dialect = tables ? tables->dialect : SqlDialect();
        std::vector<assist::Candidate> columns;
        for (const QString& c : r.valueOr({}))
            columns.push_back({c, dialect.quotedName(c), EntryKind::Column, QString(), QString()});
        if (!r)
            cl->setPlaceholder(r.error().trimmed());
        else if (columns.empty())
            cl->setPlaceholder(QStringLiteral("(no columns)"));
        else
            cl->setEntries(std::move(columns));
        if (isOpen() && current_ == Columns) locate();
    });
    if (!ready) l->setPlaceholder(QStringLiteral("Reading columns…"));
}

bool CompletionPopup::showSuggestions(bool automatic) {
    const int caret = int(editor_->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    const assist::StatementContext ctx = statements_->contextAt(caret);
    if (automatic && ctx.expect == assist::Expect::Nothing) return false;
    // answered at once (all cached), or later into the open list
    using Answer = std::pair<assist::Candidates, QString>;
    auto now = std::make_shared<std::optional<Answer>>();
    auto opened = std::make_shared<bool>(false);
    suggestions_->fill(ctx, connection(), database(), [this, now, opened](const auto& c, const QString& error) {
        if (*opened)
            showSuggestionList(c, error);
        else
            *now = Answer{c, error};
    });
    if (automatic && *now) {
        const auto [start, end] = wordBefore(caret);
        if ((*now)->first.firstMatch(typedWord(start, end)) < 0) return false; // nothing to offer
    }
    if (!isOpen() || following_ != automatic) openAtCaret(automatic);
    switchTo(Suggestions);
    *opened = true;
    if (*now)
        showSuggestionList((*now)->first, (*now)->second);
    else
        list(Suggestions)->setPlaceholder(QStringLiteral("Reading names…"));
    return true;
}

void CompletionPopup::showSuggestionList(const assist::Candidates& candidates, const QString& error) {
    if (!isOpen() || current_ != Suggestions) return;
    // a popup opened by the typing says nothing when it has nothing
    if (following_ && (!error.isEmpty() || candidates.items.empty())) return dismiss();
    CompletionList* l = list(Suggestions);
    if (!error.isEmpty())
        l->setPlaceholder(error.trimmed());
    else if (candidates.items.empty())
        l->setPlaceholder(QStringLiteral("(nothing to suggest here)"));
    else
        l->setEntries(candidates.items);
    locate();
    if (following_) follow(); // closes when nothing matches: typing goes on undisturbed
}

bool CompletionPopup::catalogIsEmpty() const {
    const QString cs = connection();
    if (cs.isEmpty()) return true;
    const CatalogCache::Tables* t = cache_->cachedTables(cs);
    return t && t->tables.empty();
}
