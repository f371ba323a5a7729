// The message pane's language: errors from "ERROR:" on, the keyword
// "Line:", "line" and ":" as their own class, strings and comments; and the
// pane of a document coloured by it after a failing run.
#include "document/MessageLexer.h"
#include "document/QueryDocument.h"
#include "document/ResultPanes.h"
#include "editor/SqlEditor.h"
#include "settings/Settings.h"
#include "store/HomeSeeding.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/Typing.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// One letter per byte: . default, E error, K keyword, L line class, S string, C comment.
std::string styled(const char* line, bool& inComment) {
    const QByteArray styles = MessageLexer::lineStyles(QByteArray(line), inComment);
    std::string out;
    for (char s : styles)
        out += ".EKLSC"[int(s)];
    return out;
}
std::string styled(const char* line) {
    bool inComment = false;
    return styled(line, inComment);
}

} // namespace

TEST(MessageLexer, ErrorsRunToTheEndOfTheLineInAnyCase) {
    EXPECT_EQ(styled("Error: #1 no such table: 't'"), std::string(28, 'E'));
    EXPECT_EQ(styled("ok ERROR: x"), "...EEEEEEEE");
    EXPECT_EQ(styled("SQLERROR: x"), "...EEEEEEEE"); // inside a word too
    EXPECT_EQ(styled("error:"), "EEEEEE");
    EXPECT_EQ(styled("errors: 2"), "......L.."); // not the comment start
}

TEST(MessageLexer, LineKeywordAndTheLineClass) {
    EXPECT_EQ(styled("near Line: 3"), ".....KKKKK..");
    EXPECT_EQ(styled("LINE:4"), "KKKKK.");
    EXPECT_EQ(styled("at line 3: x"), "...LLLL..L..");
    EXPECT_EQ(styled("outline line_no lines"), "....................."); // other words are plain
}

TEST(MessageLexer, StringsAndCommentsAcrossLines) {
    EXPECT_EQ(styled("name 'Line: x' end"), ".....SSSSSSSSS....");
    EXPECT_EQ(styled("open 'quote"), ".....SSSSSS");
    bool inComment = false;
    EXPECT_EQ(styled("a /* note", inComment), "..CCCCCCC");
    EXPECT_TRUE(inComment);
    EXPECT_EQ(styled("Error: inside", inComment), "CCCCCCCCCCCCC");
    EXPECT_EQ(styled("still */ line", inComment), "CCCCCCCC.LLLL");
    EXPECT_FALSE(inComment);
}

TEST(MessageLexer, ADocumentsMessagesAreColouredAfterAFailedRun) {
    TempHome home;
    ScriptedDialogs dialogs;
    store::ensureSeeded();
    ASSERT_TRUE(settings::write(settings::Key::ExecutionPlan, QStringLiteral("0")));
    QueryDocument d;
    d.resize(900, 600);
    d.show();
    d.setConnection(store::demoConnectionString());
    replaceScript(d.editor(), QStringLiteral("select * from no_such_table"));
    d.execute(DocumentCommand::QueryCheck); // the summary switches colouring off ...
    EXPECT_EQ(d.parts().results->messagePane()->lexer(), nullptr);
    d.startExec(); // ... a run switches it back on
    QElapsedTimer t;
    t.start();
    while (d.isRunning() && t.elapsed() < 15000)
        QTest::qWait(10);
    SqlEditor* pane = d.parts().results->messagePane();
    ASSERT_TRUE(pane->text().startsWith(QLatin1String("Error: #"))) << pane->text().toStdString();
    ASSERT_NE(qobject_cast<MessageLexer*>(pane->lexer()), nullptr);
    EXPECT_STREQ(pane->lexer()->language(), "MYMESSAGE");
    pane->SendScintilla(QsciScintilla::SCI_COLOURISE, 0, -1);
    EXPECT_EQ(pane->SendScintilla(QsciScintilla::SCI_GETSTYLEAT, 0), long(MessageLexer::Error));
    EXPECT_EQ(pane->SendScintilla(QsciScintilla::SCI_GETSTYLEAT, 7), long(MessageLexer::Error));
}
