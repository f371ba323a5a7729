// The grid's order by value: keys that compare numbers as numbers (NUMERIC
// exactly), dates and times as such, text by the locale's collation, NULL
// first; sorting, filtering and finding over a row store.
#include "grid/CellFind.h"
#include "grid/Collation.h"
#include "grid/RowFilter.h"
#include "grid/RowOrder.h"
#include "grid/RowStore.h"
#include "grid/ValueKey.h"
#include "support/ExportReadBack.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace grid;

namespace {

db::Field field(const char* name, db::FieldType type) { return db::Field{QString::fromLatin1(name), type}; }

// A store of one column holding values (nullopt: NULL), in chunks of three rows.
std::shared_ptr<RowStore> storeOf(const db::Field& f, const std::vector<Cell>& values) {
    auto store = std::make_shared<RowStore>(std::vector<db::Field>{f}, RowStore::Limits{3, 0, {}});
    Rows rows;
    for (const Cell& v : values) rows.push_back({v});
    store->append(blockOf(rows));
    store->seal();
    return store;
}

std::vector<Cell> sortedValues(const RowStore& store, SortDirection direction) {
    std::vector<Cell> out;
    for (uint32_t row : sortRows(store, 0, direction)) {
        if (store.isNull(row, 0)) out.push_back(std::nullopt);
        else out.push_back(store.cellText(row, 0));
    }
    return out;
}

struct OrderCase {
    const char* what;
    db::FieldType type;
    std::vector<Cell> ascending; // the values in their expected order
    bool equal = false;          // all equal: fetched in this order, kept in it either way
};

} // namespace

TEST(GridOrder, EveryKindSortsByItsValueNullFirst) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const std::vector<OrderCase> cases = {
        {"integers, not their text", db::FieldType::Integer, {std::nullopt, "-20", "-3", "0", "2", "10", "100"}},
        {"doubles with exponents", db::FieldType::Double,
         {std::nullopt, "-1e10", "-2.5", "-0.125", "1e-05", "0.5", "3", "1.5e3"}},
        {"NUMERIC beyond a double, exactly", db::FieldType::Numeric,
         {"-12345678901234567890.5", "-12345678901234567890.25", "0.000000000000000000001", "12345678901234567890.1",
          "12345678901234567890.100000000000000000001", "99999999999999999999999999999"}},
        {"equal numbers in other spellings keep their order", db::FieldType::Numeric, {"1.0", "1", "1.000"},
         true},
        {"a word in a number column comes after the numbers", db::FieldType::Double,
         {std::nullopt, "2", "10", "abc"}},
        {"timestamps as instants, zones included", db::FieldType::DbTimeStamp,
         {"0044-03-15 BC", "2000-01-01 00:30:00+02", "1999-12-31 23:59:59", "2000-01-01", "2000-01-01 00:00:00.5",
          "2000-01-01T10:00:00Z"}},
        {"dates", db::FieldType::DbDate, {"0999-01-01", "1970-01-01", "2024-02-29", "2024-03-01"}},
        {"times past a day", db::FieldType::DbTime, {"-01:00:00", "09:59:59", "10:00:00", "100:00:00"}},
        {"booleans", db::FieldType::Boolean, {std::nullopt, "f", "t"}},
        {"binary by bytes", db::FieldType::LongVarBinary, {"", "00", "00FF", "7F", "FF"}},
        {"text by the locale, not by bytes", db::FieldType::VarChar,
         {std::nullopt, "", "Äpfel", "apple", "banana", "Banana", "cherry", "Zebra"}},
    };
    for (const OrderCase& c : cases) {
        // fed in reverse so the sort has work to do
        const std::vector<Cell> descending(c.ascending.rbegin(), c.ascending.rend());
        const auto store = storeOf(field("v", c.type), c.equal ? c.ascending : descending);
        EXPECT_EQ(sortedValues(*store, SortDirection::Ascending), c.ascending) << c.what;
        EXPECT_EQ(sortedValues(*store, SortDirection::Descending), c.equal ? c.ascending : descending)
            << c.what;
    }
    QLocale::setDefault(QLocale::c());
}

TEST(GridOrder, NumberKeysReadOnlyDecimalNumbers) {
    for (const char* no : {"", "-", "1,5", "NaN", "1e", "12abc", "--1", "1.2.3"}) {
        std::string key;
        EXPECT_FALSE(appendNumberKey(no, key)) << no;
    }
    for (const char* yes : {"007", ".5", "+3", "-0.0", "1E+3"}) {
        std::string key;
        EXPECT_TRUE(appendNumberKey(yes, key)) << yes;
    }
    std::string zero, negativeZero;
    appendNumberKey("0", zero);
    appendNumberKey("-0.000", negativeZero);
    EXPECT_EQ(zero, negativeZero);
}

TEST(GridOrder, SortOfASubsetAndOfEqualValuesKeepsFetchedOrder) {
    const auto store = storeOf(field("n", db::FieldType::Integer), {"3", "1", "3", std::nullopt, "1", "2"});
    EXPECT_EQ(sortRows(*store, 0, SortDirection::Ascending), (std::vector<uint32_t>{3, 1, 4, 5, 0, 2}));
    EXPECT_EQ(sortRows(*store, 0, SortDirection::Descending), (std::vector<uint32_t>{0, 2, 5, 1, 4, 3}));
    const std::vector<uint32_t> subset{5, 0, 4};
    EXPECT_EQ(sortRows(*store, 0, SortDirection::Ascending, &subset), (std::vector<uint32_t>{4, 5, 0}));
}

namespace {
// A store of a city, a population and a founding date; chunks of two rows so
// matches are sought across chunk ends.
std::shared_ptr<RowStore> cities() {
    auto store = std::make_shared<RowStore>(
        std::vector<db::Field>{field("city", db::FieldType::VarChar), field("people", db::FieldType::Integer),
                               field("founded", db::FieldType::DbDate)},
        RowStore::Limits{2, 0, {}});
    store->append(blockOf({{"Ghent", "262219", "1000-01-01"},
                           {"Genève", "203856", std::nullopt},
                           {"Antwerp", "530504", "0726-01-01"},
                           {"", std::nullopt, "1200-06-01"},
                           {"Gh", "1000", "1900-01-01"},
                           {"ENT CENTRE", "ent", "2000-01-01"}}));
    store->seal();
    return store;
}
} // namespace

TEST(GridFilter, ConditionsAndQuickFilterPickRows) {
    const auto store = cities();
    struct Case {
        const char* what;
        RowFilter filter;
        std::vector<uint32_t> rows;
    };
    auto one = [](int column, FilterOp op, const char* value) {
        return RowFilter{{ColumnCondition{column, op, QString::fromUtf8(value)}}, {}};
    };
    const std::vector<Case> cases = {
        {"contains ignores case, never across two cells", one(0, FilterOp::Contains, "ghent"), {0}},
        {"contains with accents folds case", one(0, FilterOp::Contains, "GENÈ"), {1}},
        {"= on text is exact", one(0, FilterOp::Equals, "Ghent"), {0}},
        {"> compares numbers as numbers", one(1, FilterOp::Greater, "250000"), {0, 2}},
        {"< on numbers leaves NULL and words out", one(1, FilterOp::Less, "203856.5"), {1, 4}},
        {"= on numbers by value", one(1, FilterOp::Equals, "1000.00"), {4}},
        {"dates compare as dates", one(2, FilterOp::Less, "1000-01-02"), {0, 2}},
        {"is null", one(1, FilterOp::IsNull, ""), {3}},
        {"is not null", one(2, FilterOp::IsNotNull, ""), {0, 2, 3, 4, 5}},
        {"empty text is not NULL", one(0, FilterOp::Equals, ""), {3}},
        {"conditions all hold",
         RowFilter{{ColumnCondition{0, FilterOp::Contains, "g"}, ColumnCondition{1, FilterOp::Greater, "5000"}}, {}},
         {0, 1}},
        {"quick filter: any column", RowFilter{{}, QStringLiteral("26")}, {0, 2}},
        {"quick filter and a condition", RowFilter{{ColumnCondition{1, FilterOp::IsNotNull, {}}}, "ENT"}, {0, 5}},
    };
    for (const Case& c : cases) EXPECT_EQ(filterRows(*store, c.filter), c.rows) << c.what;
    // rows appended later are filtered from where the last filtering ended
    EXPECT_EQ(filterRows(*store, one(0, FilterOp::Contains, "g"), 2), (std::vector<uint32_t>{4}));
}

TEST(GridFind, NextAndPreviousCellInShownOrderWrapAround) {
    const auto store = cities();
    const std::vector<uint32_t> shown{5, 4, 3, 2, 1, 0}; // sorted backwards
    auto storeRow = [&](qint64 r) { return qint64(shown[size_t(r)]); };
    const QString ent = QStringLiteral("ent");
    const auto first = findCell(*store, storeRow, 6, {-1, 0}, ent, true);
    EXPECT_EQ(first, (CellPosition{0, 0})); // "ENT CENTRE", the first shown
    const auto second = findCell(*store, storeRow, 6, *first, ent, true);
    EXPECT_EQ(second, (CellPosition{0, 1})); // then along the row
    const auto third = findCell(*store, storeRow, 6, *second, ent, true);
    EXPECT_EQ(third, (CellPosition{5, 0})); // "Ghent", shown last
    EXPECT_EQ(findCell(*store, storeRow, 6, *third, ent, true), first); // wraps
    EXPECT_EQ(findCell(*store, storeRow, 6, *first, ent, false), third);
    EXPECT_EQ(findCell(*store, storeRow, 6, {0, 0}, QStringLiteral("530"), true), (CellPosition{3, 1}));
    EXPECT_FALSE(findCell(*store, storeRow, 6, {0, 0}, QStringLiteral("Brussels"), true));
}

TEST(GridCollation, FollowsTheLocaleNotTheBytes) {
    const Collation swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    const Collation german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_GT(swedish.compare("ö", "z"), 0); // Swedish puts ö after z
    EXPECT_LT(german.compare("ö", "z"), 0);
    std::string a, b;
    german.appendKey("Äpfel", a);
    german.appendKey("Apfel", b);
    EXPECT_GT(a, b);
}
