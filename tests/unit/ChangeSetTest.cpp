// The pending edits of a result without a server: what the grid shows after
// edits, inserts and deletions, undo and redo, discard, and what a save
// leaves; the statements built from them in each dialect; a cell's value
// from and to a file.
#include "edit/ChangeSet.h"

#include "edit/EditTarget.h"
#include "edit/SaveStatements.h"
#include "edit/ValueFile.h"
#include "settings/AtomicFile.h"
#include "support/Files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace edit;

namespace {

// Three fetched rows of (id, name): (1,'a'), (2,NULL), (3,'c').
struct ThreeRows {
    std::vector<Value> cells{QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("2"),
                             std::nullopt,        QStringLiteral("3"), QStringLiteral("c")};
    ChangeSet set{2, 3, [this](qint64 r, int c) { return cells[size_t(r * 2 + c)]; }};
};

db::Field field(const char* name, db::FieldType type = db::FieldType::VarWChar) {
    db::Field f;
    f.name = QString::fromUtf8(name);
    f.type = type;
    return f;
}

EditTarget target(db::ServerFamily server, std::vector<QString> columns, std::vector<int> key) {
    EditTarget t;
    t.server = server;
    t.table = {QString(), QString(), QStringLiteral("Odd Table's")};
    t.columns = std::move(columns);
    t.keyColumns = std::move(key);
    return t;
}

} // namespace

TEST(ChangeSet, EditsShowOverFetchedValuesAndTypingTheOldValueBackUndoesTheEdit) {
    ThreeRows r;
    r.set.setCells({{0, 1, QStringLiteral("x")}, {1, 1, QString()}});
    EXPECT_EQ(r.set.value(0, 1), QStringLiteral("x"));
    EXPECT_EQ(r.set.value(1, 1), QString()); // empty text, not NULL
    EXPECT_TRUE(r.set.isEdited(1, 1));
    EXPECT_EQ(r.set.savedValue(0, 1), QStringLiteral("a"));
    r.set.setCells({{0, 1, QStringLiteral("a")}});
    EXPECT_FALSE(r.set.isEdited(0, 1));
    EXPECT_EQ(r.set.summary(), QStringLiteral("1 changed"));
    r.set.setCells({{1, 1, std::nullopt}}); // NULL again: as fetched
    EXPECT_FALSE(r.set.hasChanges());
}

TEST(ChangeSet, UndoAndRedoStepThroughEditsInsertsAndDeletions) {
    ThreeRows r;
    r.set.setCells({{0, 1, QStringLiteral("x")}, {2, 1, QStringLiteral("y")}}); // one step (a pasted block)
    const qint64 added = r.set.insertRow({{1, QStringLiteral("new")}});
    r.set.setDeleted({1}, true);
    EXPECT_EQ(added, 3);
    EXPECT_EQ(r.set.rowCount(), 4);
    EXPECT_EQ(r.set.summary(), QStringLiteral("2 changed, 1 inserted, 1 deleted"));

    ASSERT_TRUE(r.set.undo());
    EXPECT_FALSE(r.set.isDeleted(1));
    ASSERT_TRUE(r.set.undo());
    EXPECT_EQ(r.set.rowCount(), 3);
    ASSERT_TRUE(r.set.undo());
    EXPECT_EQ(r.set.value(0, 1), QStringLiteral("a"));
    EXPECT_EQ(r.set.value(2, 1), QStringLiteral("c"));
    EXPECT_FALSE(r.set.undo());

    ASSERT_TRUE(r.set.redo());
    ASSERT_TRUE(r.set.redo());
    EXPECT_EQ(r.set.value(0, 1), QStringLiteral("x"));
    EXPECT_TRUE(r.set.isInserted(3));
    EXPECT_EQ(r.set.value(3, 1), QStringLiteral("new"));
    r.set.setCells({{1, 1, QStringLiteral("z")}}); // a new step ends the redo chain
    EXPECT_FALSE(r.set.canRedo());
}

TEST(ChangeSet, CellsSetWithRowsAppendedAreOneStepThatUndoTakesBackWhole) {
    ThreeRows r;
    // a block from row 2 on, three lines long: one fetched row, two new
    r.set.setCells({{2, 1, QStringLiteral("p")}, {3, 1, QStringLiteral("q")}, {4, 0, QStringLiteral("9")}}, 2);
    EXPECT_EQ(r.set.rowCount(), 5);
    EXPECT_TRUE(r.set.isInserted(3) && r.set.isInserted(4));
    EXPECT_EQ(r.set.value(2, 1), QStringLiteral("p"));
    EXPECT_EQ(r.set.value(3, 1), QStringLiteral("q"));
    EXPECT_EQ(r.set.value(4, 0), QStringLiteral("9"));
    EXPECT_EQ(r.set.summary(), QStringLiteral("1 changed, 2 inserted"));
    ASSERT_TRUE(r.set.undo());
    EXPECT_EQ(r.set.rowCount(), 3);
    EXPECT_FALSE(r.set.hasChanges());
    ASSERT_TRUE(r.set.redo());
    EXPECT_EQ(r.set.value(4, 0), QStringLiteral("9"));
    EXPECT_FALSE(r.set.canRedo());
}

TEST(ChangeSet, DiscardRestoresTheFetchedValuesAndDropsUnsavedInserts) {
    ThreeRows r;
    r.set.setCells({{0, 0, QStringLiteral("9")}});
    r.set.insertRow();
    r.set.setDeleted({2}, true);
    r.set.discard();
    EXPECT_FALSE(r.set.hasChanges());
    EXPECT_EQ(r.set.rowCount(), 3);
    EXPECT_EQ(r.set.value(0, 0), QStringLiteral("1"));
    EXPECT_FALSE(r.set.canUndo());
}

TEST(ChangeSet, AcceptedSaveMakesReadBackRowsTheValuesAndDeletedRowsGone) {
    ThreeRows r;
    r.set.setCells({{0, 1, QStringLiteral("x")}});
    const qint64 added = r.set.insertRow({{1, QStringLiteral("new")}});
    r.set.setDeleted({2}, true);
    r.set.accepted({{added, {QStringLiteral("4"), QStringLiteral("new")}}});
    EXPECT_FALSE(r.set.hasChanges());
    EXPECT_EQ(r.set.value(added, 0), QStringLiteral("4")); // the generated key shows
    EXPECT_EQ(r.set.savedValue(0, 1), QStringLiteral("x"));
    EXPECT_FALSE(r.set.isInserted(added));
    EXPECT_TRUE(r.set.isGone(2));
    r.set.setCells({{2, 1, QStringLiteral("ignored")}});
    EXPECT_FALSE(r.set.hasChanges());
}

TEST(EditTarget, TheKeyIsTheFirstWhoseColumnsAreAllInTheResult) {
    const std::vector<std::vector<QString>> keys{{QStringLiteral("a"), QStringLiteral("b")}, {QStringLiteral("Code")}};
    EXPECT_EQ(chooseKey(keys, {QStringLiteral("x"), QStringLiteral("b"), QStringLiteral("a")}, Qt::CaseSensitive),
              (std::vector<int>{2, 1}));
    EXPECT_EQ(chooseKey(keys, {QStringLiteral("a"), QStringLiteral("code")}, Qt::CaseInsensitive), (std::vector<int>{1}));
    EXPECT_TRUE(chooseKey(keys, {QStringLiteral("a"), QStringLiteral("code")}, Qt::CaseSensitive).empty());
}

TEST(EditTarget, FieldsFromTwoTablesOrAnExpressionAreReadOnlyWithTheReason) {
    auto from = [](const char* table) {
        db::Field f = field("c");
        f.origin = db::FieldOrigin{};
        f.origin->table = QString::fromUtf8(table);
        f.origin->column = QStringLiteral("c");
        return f;
    };
    const auto pg = db::ServerFamily::PostgreSQL;
    EXPECT_EQ(originProblem({from("t"), from("t")}, pg), QString());
    EXPECT_EQ(originProblem({from("t"), from("u")}, pg), QStringLiteral("read-only: joins two tables"));
    EXPECT_EQ(originProblem({from("t"), field("total")}, pg),
              QStringLiteral("read-only: column \"total\" is computed, not read from a table"));
    EXPECT_TRUE(originProblem({field("a")}, db::ServerFamily::Other).contains(QStringLiteral("driver")));
}

struct DialectCase {
    const char* label;
    db::ServerFamily server;
    const char* quote;
    const char* update;
    const char* review;
};
void PrintTo(const DialectCase& c, std::ostream* os) { *os << c.label; }

class SaveStatementsTest : public ::testing::TestWithParam<DialectCase> {};

TEST_P(SaveStatementsTest, UpdateNamesTheRowByKeyAndTheChangedValueAsRead) {
    const DialectCase& d = GetParam();
    ThreeRows r;
    r.set.setCells({{0, 1, QStringLiteral("it's 100%")}});
    const EditTarget t = target(d.server, {QStringLiteral("select"), QStringLiteral("Mixed Case")}, {0});
    const auto statements = buildSaveStatements(t, {field("select", db::FieldType::Integer), field("Mixed Case")}, r.set,
                                                SqlDialect::forServer(d.server, QString::fromUtf8(d.quote)));
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_EQ(statements[0].sql, QString::fromUtf8(d.update));
    EXPECT_EQ(statements[0].params, (db::Params{QStringLiteral("it's 100%"), QStringLiteral("1"), QStringLiteral("a")}));
    EXPECT_EQ(statements[0].review, QString::fromUtf8(d.review));
}

INSTANTIATE_TEST_SUITE_P(
    Dialects, SaveStatementsTest,
    ::testing::Values(
        DialectCase{"PostgreSQL", db::ServerFamily::PostgreSQL, "\"",
                    "UPDATE \"Odd Table's\" SET \"Mixed Case\" = $1 WHERE \"select\" = $2 AND \"Mixed Case\" IS NOT "
                    "DISTINCT FROM $3 RETURNING \"select\", \"Mixed Case\"",
                    "UPDATE \"Odd Table's\" SET \"Mixed Case\" = 'it''s 100%' WHERE \"select\" = 1 AND \"Mixed Case\" "
                    "IS NOT DISTINCT FROM 'a' RETURNING \"select\", \"Mixed Case\""},
        DialectCase{"MariaDB", db::ServerFamily::MariaDB, "`",
                    "UPDATE `Odd Table's` SET `Mixed Case` = ? WHERE `select` = ? AND `Mixed Case` <=> ?",
                    "UPDATE `Odd Table's` SET `Mixed Case` = 'it''s 100%' WHERE `select` = 1 AND `Mixed Case` <=> 'a'"},
        DialectCase{"SQLite", db::ServerFamily::SQLite, "\"",
                    "UPDATE \"Odd Table's\" SET \"Mixed Case\" = ? WHERE \"select\" = ? AND \"Mixed Case\" IS ? "
                    "RETURNING \"select\", \"Mixed Case\"",
                    "UPDATE \"Odd Table's\" SET \"Mixed Case\" = 'it''s 100%' WHERE \"select\" = 1 AND \"Mixed Case\" IS "
                    "'a' RETURNING \"select\", \"Mixed Case\""}));

TEST(SaveStatements, DeletesComeFirstInsertsListOnlyTheCellsSetAndBinaryIsBoundAsBytes) {
    ThreeRows r;
    const EditTarget t = target(db::ServerFamily::SQLite, {QStringLiteral("id"), QStringLiteral("b")}, {0});
    const std::vector<db::Field> fields{field("id", db::FieldType::Integer), field("b", db::FieldType::LongVarBinary)};
    r.set.insertRow({{1, QStringLiteral("00FF")}});
    r.set.insertRow();
    r.set.setDeleted({1}, true);
    r.set.setCells({{0, 1, std::nullopt}});
    const auto s = buildSaveStatements(t, fields, r.set, SqlDialect::forServer(t.server, QStringLiteral("\"")));
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].sql, QStringLiteral("DELETE FROM \"Odd Table's\" WHERE id = ?"));
    EXPECT_EQ(s[1].kind, SaveStatement::Kind::Update);
    // binary columns are not compared: the change is bound as NULL, the key alone names the row
    EXPECT_EQ(s[1].sql, QStringLiteral("UPDATE \"Odd Table's\" SET b = ? WHERE id = ? RETURNING id, b"));
    EXPECT_TRUE(s[1].params[0].isNull());
    EXPECT_EQ(s[2].sql, QStringLiteral("INSERT INTO \"Odd Table's\" (b) VALUES (?) RETURNING id, b"));
    EXPECT_EQ(s[2].params[0], QVariant(QByteArray("\x00\xff", 2)));
    EXPECT_EQ(s[2].review, QStringLiteral("INSERT INTO \"Odd Table's\" (b) VALUES (X'00FF') RETURNING id, b"));
    EXPECT_EQ(s[3].sql, QStringLiteral("INSERT INTO \"Odd Table's\" DEFAULT VALUES RETURNING id, b"));
    EXPECT_EQ(rowName(t, r.set, 1), QStringLiteral("id=2"));
    EXPECT_EQ(rowName(t, r.set, 3), QStringLiteral("new row 1"));
}

TEST(ValueFile, BinaryCellsTakeAndGiveTheFilesBytesTextCellsUtf8Text) {
    QTemporaryDir dir;
    const QString bin = dir.filePath(QStringLiteral("in.bin")), txt = dir.filePath(QStringLiteral("in.txt"));
    ASSERT_TRUE(settings::writeFileAtomically(bin, QByteArray("\x00\xff\x10", 3)).ok());
    ASSERT_TRUE(settings::writeFileAtomically(txt, QStringLiteral("it's 😀\n").toUtf8()).ok());
    EXPECT_EQ(*readValueFile(bin, true), Value(QStringLiteral("00FF10")));
    EXPECT_EQ(*readValueFile(txt, false), Value(QStringLiteral("it's 😀\n")));
    const auto notText = readValueFile(bin, false);
    ASSERT_FALSE(notText.ok());
    EXPECT_TRUE(notText.error().contains(QStringLiteral("not UTF-8")));
    EXPECT_FALSE(readValueFile(dir.filePath(QStringLiteral("missing")), true).ok());

    const QString out = dir.filePath(QStringLiteral("out.bin"));
    ASSERT_TRUE(writeValueFile(out, QStringLiteral("00FF10"), true).ok());
    EXPECT_EQ(readFile(out), QByteArray("\x00\xff\x10", 3));
    EXPECT_FALSE(writeValueFile(out, std::nullopt, true).ok()); // NULL writes nothing
}
