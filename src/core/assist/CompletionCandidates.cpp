#include "assist/CompletionCandidates.h"

#include <QSet>

#include <algorithm>

namespace assist {

int Candidates::firstMatch(const QString& prefix) const {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].text.startsWith(prefix, Qt::CaseInsensitive)) return int(i);
    return -1;
}

Candidate tableCandidate(const CatalogTable& t, const SqlDialect& dialect) {
    const bool bare = t.onPath || t.schema.isEmpty();
    const QString name = dialect.quotedName(t.name);
    return {t.listedText(), bare ? name : dialect.quotedName(t.schema) + QLatin1Char('.') + name, t.kind,
            QString(), QString()};
}

namespace {

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

class Builder {
public:
    Builder(const StatementContext& ctx, const CatalogView& catalog, const Vocabulary& vocabulary,
            const QString& database)
        : ctx_(ctx), catalog_(catalog), vocabulary_(vocabulary), database_(database),
          tables_(catalog.tables()) {
        if (tables_) dialect_ = tables_->dialect;
    }

    Candidates run() {
        switch (ctx_.expect) {
        case Expect::Nothing:
            break;
        case Expect::Tables:
            if (ctx_.qualifier.isEmpty())
                addTables();
            else
                addTablesOf(ctx_.qualifier.last());
            break;
        case Expect::Columns:
            if (ctx_.qualifier.isEmpty()) {
                QSet<QString> seen;
                for (const TableRef& t : ctx_.tables)
                    addColumnsOf(t, seen, 0);
                addWords(Kind::Function);
                addWords(Kind::Keyword);
                addWords(Kind::Operator);
                addWords(Kind::DataType);
            } else {
                addQualified();
            }
            break;
        case Expect::Keywords:
            addFollowers();
            for (Kind k : {Kind::Keyword, Kind::Operator, Kind::Function, Kind::DataType})
                addWords(k);
            break;
        }
        return std::move(out_);
    }

private:
    QString quoted(const QString& name) const { return dialect_.quotedName(name); }

    // The i-th table in the order of its listed text (sorted here when the
    // catalogue did not say).
    size_t byText(size_t i) {
        if (tables_->byText.size() == tables_->tables.size()) return tables_->byText[i];
        if (sorted_.tables.size() != tables_->tables.size()) {
            sorted_.tables = tables_->tables;
            sorted_.sortByText();
        }
        return sorted_.byText[i];
    }

    void add(const QString& text, const QString& insert, Kind kind) {
        out_.items.push_back({text, insert, kind, QString(), QString()});
    }

    void addWords(Kind kind) {
        const WordClass c = kind == Kind::Keyword    ? WordClass::Keyword
                            : kind == Kind::Operator ? WordClass::Operator
                            : kind == Kind::Function ? WordClass::Function
                                                     : WordClass::DataType;
        for (const QString& w : vocabulary_.words.of(c)) {
            Candidate candidate{w, w, kind, QString(), QString()};
            if (kind == Kind::Function) {
                const auto help = vocabulary_.functionHelp.constFind(w.toLower());
                if (help != vocabulary_.functionHelp.cend()) {
                    candidate.detail = help->title;
                    candidate.help = help->description;
                }
            }
            out_.items.push_back(std::move(candidate));
        }
    }

    // The keywords that go with the word before ("ORDER" BY, "LEFT" JOIN),
    // ahead of the catalogue's alphabetical list; only those the catalogue has.
    void addFollowers() {
        static const QHash<QString, QStringList> followers = {
            {QStringLiteral("ORDER"), {QStringLiteral("BY")}},
            {QStringLiteral("GROUP"), {QStringLiteral("BY")}},
            {QStringLiteral("PARTITION"), {QStringLiteral("BY")}},
            {QStringLiteral("INSERT"), {QStringLiteral("INTO")}},
            {QStringLiteral("MERGE"), {QStringLiteral("INTO")}},
            {QStringLiteral("DELETE"), {QStringLiteral("FROM")}},
            {QStringLiteral("LEFT"), {QStringLiteral("JOIN"), QStringLiteral("OUTER")}},
            {QStringLiteral("RIGHT"), {QStringLiteral("JOIN"), QStringLiteral("OUTER")}},
            {QStringLiteral("FULL"), {QStringLiteral("JOIN"), QStringLiteral("OUTER")}},
            {QStringLiteral("OUTER"), {QStringLiteral("JOIN"), QStringLiteral("APPLY")}},
            {QStringLiteral("INNER"), {QStringLiteral("JOIN")}},
            {QStringLiteral("CROSS"), {QStringLiteral("JOIN"), QStringLiteral("APPLY")}},
            {QStringLiteral("UNION"), {QStringLiteral("ALL"), QStringLiteral("SELECT")}},
            {QStringLiteral("IS"), {QStringLiteral("NULL"), QStringLiteral("NOT")}},
            {QStringLiteral("IS NOT"), {QStringLiteral("NULL"), QStringLiteral("DISTINCT")}},
            {QStringLiteral("NOT"), {QStringLiteral("NULL"), QStringLiteral("IN"), QStringLiteral("EXISTS"),
                                     QStringLiteral("LIKE"), QStringLiteral("BETWEEN")}},
        };
        const auto wanted = followers.constFind(ctx_.previousWord);
        if (wanted == followers.cend()) return;
        const QHash<QString, QString> spellings = vocabulary_.words.spellings();
        for (const QString& w : *wanted)
            if (const QString spelled = spellings.value(w.toLower()); !spelled.isEmpty())
                add(spelled, spelled, Kind::Keyword);
    }

    // The table of the catalogue a written name means: the same spelling
    // first, else the same name in another case (a bare name folds).
    const CatalogTable* findTable(const QString& schema, const QString& name) const {
        if (!tables_) return nullptr;
        const CatalogTable* loose = nullptr;
        for (const CatalogTable& t : tables_->tables) {
            if (schema.isEmpty() ? !t.onPath : !same(t.schema, schema)) continue;
            if (t.name == name) return &t;
            if (!loose && same(t.name, name)) loose = &t;
        }
        return loose;
    }

    // A bare name that no table on the search path answers to may still be
    // the one table of that name in another schema (the object browser
    // lists it there): that table, when exactly one has the name.
    const CatalogTable* findTableElsewhere(const QString& name) const {
        if (!tables_) return nullptr;
        const CatalogTable* exact = nullptr;
        const CatalogTable* loose = nullptr;
        int exacts = 0, looses = 0;
        for (const CatalogTable& t : tables_->tables) {
            if (t.onPath || t.schema.isEmpty()) continue;
            if (t.name == name) {
                exact = &t;
                ++exacts;
            } else if (same(t.name, name)) {
                loose = &t;
                ++looses;
            }
        }
        if (exacts) return exacts == 1 ? exact : nullptr;
        return looses == 1 ? loose : nullptr;
    }

    bool isSchema(const QString& name) const {
        return tables_ && std::any_of(tables_->schemas.begin(), tables_->schemas.end(),
                                      [&](const QString& s) { return same(s, name); });
    }

    ColumnSource sourceOf(const QStringList& path) const {
        ColumnSource s;
        s.database = database_;
        s.table = path.last();
        if (path.size() >= 3) {
            s.database = path[path.size() - 3];
            s.schema = path[path.size() - 2];
        } else if (path.size() == 2 && tables_ && tables_->schemasAreDatabases()) {
            s.database = path[0];
        } else if (path.size() == 2) {
            s.schema = path[0];
        }
        const QString schema = path.size() == 2 ? path[0] : s.schema;
        if (const CatalogTable* t = findTable(schema, s.table)) {
            s.table = t->name;
            if (!s.schema.isEmpty()) s.schema = t->schema;
        } else if (const CatalogTable* other = path.size() == 1 ? findTableElsewhere(s.table) : nullptr) {
            s.table = other->name;
            (tables_->schemasAreDatabases() ? s.database : s.schema) = other->schema;
        }
        return s;
    }

    void addColumnsOf(const TableRef& ref, QSet<QString>& seen, int depth) {
        if (depth > 4) return; // WITH queries that name each other
        auto addColumn = [&](const QString& c) {
            if (c.isEmpty() || seen.contains(c.toLower())) return;
            seen.insert(c.toLower());
            add(c, quoted(c), Kind::Column);
        };
        if (ref.derived) {
            for (const QString& c : ref.columns)
                addColumn(c);
            for (const TableRef& source : ref.starSources)
                addColumnsOf(source, seen, depth + 1);
            return;
        }
        if (ref.path.isEmpty()) return;
        if (ref.path.size() == 1)
            for (const TableRef& cte : ctx_.ctes)
                if (same(cte.name(), ref.name())) return addColumnsOf(cte, seen, depth + 1);
        if (!tables_) { // the table's spelling comes from the table list
            out_.needsTables = true;
            return;
        }
        const ColumnSource source = sourceOf(ref.path);
        if (const QStringList* columns = catalog_.columns(source)) {
            for (const QString& c : *columns)
                addColumn(c);
        } else if (std::find(out_.needsColumns.begin(), out_.needsColumns.end(), source) ==
                   out_.needsColumns.end()) {
            out_.needsColumns.push_back(source);
        }
    }

    void addTables() {
        for (const TableRef& cte : ctx_.ctes)
            add(cte.name(), quoted(cte.name()), Kind::Table);
        if (!tables_) {
            out_.needsTables = true;
            return;
        }
        out_.items.reserve(out_.items.size() + tables_->tables.size() + size_t(tables_->schemas.size()));
        for (size_t i = 0; i < tables_->tables.size(); ++i)
            out_.items.push_back(tableCandidate(tables_->tables[byText(i)], dialect_));
        for (const QString& s : tables_->schemas)
            add(s, quoted(s), Kind::Schema);
    }

    // The tables of a schema (or, where schemas are databases, of a database).
    void addTablesOf(const QString& schema) {
        if (!tables_) {
            out_.needsTables = true;
            return;
        }
        bool found = false;
        for (size_t i = 0; i < tables_->tables.size(); ++i) {
            const CatalogTable& t = tables_->tables[byText(i)];
            if (!same(t.schema, schema)) continue;
            found = true;
            add(t.name, quoted(t.name), t.kind);
        }
        if (found || !tables_->schemasAreDatabases() ||
            std::none_of(tables_->schemas.begin(), tables_->schemas.end(),
                         [&](const QString& s) { return same(s, schema); }))
            return;
        if (const std::vector<CatalogTable>* other = catalog_.tablesIn(schema)) {
            std::vector<Candidate> names;
            for (const CatalogTable& t : *other)
                names.push_back({t.name, quoted(t.name), t.kind, QString(), QString()});
            std::stable_sort(names.begin(), names.end(), [](const Candidate& a, const Candidate& b) {
                return a.text.compare(b.text, Qt::CaseInsensitive) < 0;
            });
            out_.items.insert(out_.items.end(), names.begin(), names.end());
        } else {
            out_.needsTablesIn << schema;
        }
    }

    // After "name." or "schema.table.": the columns of what the names mean.
    void addQualified() {
        QSet<QString> seen;
        const QStringList& q = ctx_.qualifier;
        if (q.size() == 1) {
            if (const TableRef* ref = ctx_.resolve(q[0])) return addColumnsOf(*ref, seen, 0);
            if (!tables_) {
                out_.needsTables = true;
                return;
            }
            if (findTable(QString(), q[0]) || (!isSchema(q[0]) && findTableElsewhere(q[0])))
                return addColumnsOf(TableRef{q, {}, false, {}, {}}, seen, 0);
            return addTablesOf(q[0]);
        }
        for (const TableRef& t : ctx_.tables) // written the same way in the statement
            if (t.path.size() == q.size() &&
                std::equal(t.path.begin(), t.path.end(), q.begin(), same))
                return addColumnsOf(t, seen, 0);
        addColumnsOf(TableRef{q, {}, false, {}, {}}, seen, 0);
    }

    const StatementContext& ctx_;
    const CatalogView& catalog_;
    const Vocabulary& vocabulary_;
    QString database_;
    const CatalogTables* tables_;
    SqlDialect dialect_;
    CatalogTables sorted_; // a catalogue's order by text, when it came without one
    Candidates out_;
};

} // namespace

Candidates buildCandidates(const StatementContext& context, const CatalogView& catalog,
                           const Vocabulary& vocabulary, const QString& database) {
    return Builder(context, catalog, vocabulary, database).run();
}

} // namespace assist
