// A failed run names the line of the error in the script as the user wrote
// it, on every server: PostgreSQL and SQLite at the failing token, MariaDB by
// the failing statement of the batch and the line its message names.
#include "support/RunCapture.h"
#include "support/TestServers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ErrorLineTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("t.db")), cs);
        auto c = db::Connection::open(cs);
        c->exec(QStringLiteral("DROP TABLE IF EXISTS errline_t"));
        c->exec(QStringLiteral("CREATE TABLE errline_t (id INTEGER, name VARCHAR(10))"));
    }
    RunResult run(const QString& text, script::TextPoint origin = {}) {
        RunRequest r = runRequest(cs, text, false);
        r.origin = origin;
        RunCapture sink;
        return RunEngine(r, sink).run();
    }

    QTemporaryDir dir;
    QString cs;
};

TEST_P(ErrorLineTest, AnErrorInTheThirdStatementNamesItsLine) {
    const QString script = QStringLiteral("SELECT 1 FROM errline_t;\n"
                                          "-- a comment; with a semicolon\n"
                                          "\n"
                                          "SELECT 2; SELECT *\n"
                                          "  FROM no_such_errline;\n"
                                          "SELECT 3;\n");
    const RunResult r = run(script);
    ASSERT_EQ(r.outcome, RunOutcome::Failed) << qPrintable(r.closingMessage);
    ASSERT_TRUE(r.errorAt.has_value()) << qPrintable(r.closingMessage);
    // PostgreSQL names the missing table's token; SQLite and MariaDB only the
    // failing statement, which begins after another on its line
    if (GetParam().server != &kPostgres) {
        EXPECT_EQ(*r.errorAt, (script::TextPoint{3, 10}));
        EXPECT_TRUE(r.closingMessage.endsWith(QLatin1String("\r\nLine 4"))) << qPrintable(r.closingMessage);
    } else {
        EXPECT_EQ(r.errorAt->line, 4) << qPrintable(r.closingMessage);
        EXPECT_TRUE(r.closingMessage.endsWith(QLatin1String("\r\nLine 5"))) << qPrintable(r.closingMessage);
    }
    EXPECT_TRUE(r.closingMessage.startsWith(QLatin1String("Error: #"))) << qPrintable(r.closingMessage);
}

TEST_P(ErrorLineTest, ASyntaxErrorInsideAMultiLineStatementNamesTheTokensLine) {
    // the failing line holds characters outside the BMP and a tab before the token
    const QString script = QStringLiteral("INSERT INTO errline_t VALUES (1, 'a');\r\n"
                                          "SELECT id,\r\n"
                                          "       name,\r\n"
                                          "\t'\U0001F600\u00e9', FROM errline_t;\r\n");
    const RunResult r = run(script);
    ASSERT_EQ(r.outcome, RunOutcome::Failed) << qPrintable(r.closingMessage);
    ASSERT_TRUE(r.errorAt.has_value()) << qPrintable(r.closingMessage);
    EXPECT_EQ(*r.errorAt, (script::TextPoint{3, 7})) << qPrintable(r.closingMessage);
    EXPECT_TRUE(r.closingMessage.endsWith(QLatin1String("\r\nLine 4"))) << qPrintable(r.closingMessage);

    // the same text run from the middle of an editor line, further down
    const RunResult shifted = run(script, {10, 5});
    ASSERT_TRUE(shifted.errorAt.has_value());
    EXPECT_EQ(*shifted.errorAt, (script::TextPoint{13, 7}));
    EXPECT_TRUE(shifted.closingMessage.endsWith(QLatin1String("\r\nLine 14"))) << qPrintable(shifted.closingMessage);
}

TEST_P(ErrorLineTest, AnErrorInTheFirstStatementOfALineAfterAnotherNamesThatLine) {
    const QString script = QStringLiteral("SELECT 1;\n\nSELECT 2; SELECT 1 +;\n");
    const RunResult r = run(script);
    ASSERT_TRUE(r.errorAt.has_value()) << qPrintable(r.closingMessage);
    EXPECT_EQ(r.errorAt->line, 2);
    EXPECT_GE(r.errorAt->column, 10); // in the second statement of that line
}

INSTANTIATE_TEST_SUITE_P(Backends, ErrorLineTest, ::testing::ValuesIn(kTestBackends), byLabel);

TEST(ErrorLinePostgres, AnErrorInAFunctionBodyIsPlacedInTheScript) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kPostgres, cs);
    RunCapture sink;
    const RunResult result =
        runScript(sink, cs,
                  QStringLiteral("SELECT 1;\n"
                                 "CREATE OR REPLACE FUNCTION errline_f() RETURNS int LANGUAGE plpgsql AS $$\n"
                                 "BEGIN\n"
                                 "  RETURN 1 +;\n"
                                 "END $$;\n"),
                  false);
    ASSERT_TRUE(result.errorAt.has_value()) << qPrintable(result.closingMessage);
    EXPECT_EQ(result.errorAt->line, 3) << qPrintable(result.closingMessage);
}

} // namespace
