// The message pane's language: errors from "ERROR:" on, the keyword
// "Line:", "line" and ":" as their own class, strings and comments; and the
// pane of a document coloured by it after a failing run.
#include "document/MessageLexer.h"
#include "document/ResultPanes.h"
#include "settings/Settings.h"
#include "store/HomeSeeding.h"
#include "support/DocumentRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"

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

} // namespace

TEST(MessageLexer, EachLineIsStyledByItsClasses) {
    const std::pair<const char*, const char*> cases[] = {
        // errors run to the end of the line in any case
        {"Error: #1 no such table: 't'", "EEEEEEEEEEEEEEEEEEEEEEEEEEEE"},
        {"ok ERROR: x", "...EEEEEEEE"},
        {"SQLERROR: x", "...EEEEEEEE"}, // inside a word too
        {"error:", "EEEEEE"},
        {"errors: 2", "......L.."}, // not the comment start
        // the "Line:" keyword and the line class
        {"near Line: 3", ".....KKKKK.."},
        {"LINE:4", "KKKKK."},
        {"at line 3: x", "...LLLL..L.."},
        {"outline line_no lines", "....................."}, // other words are plain
        // strings
        {"name 'Line: x' end", ".....SSSSSSSSS...."},
        {"open 'quote", ".....SSSSSS"},
    };
    for (const auto& [line, styles] : cases) {
        SCOPED_TRACE(line);
        bool inComment = false;
        EXPECT_EQ(styled(line, inComment), styles);
        EXPECT_FALSE(inComment);
    }
}

TEST(MessageLexer, ACommentRunsAcrossLines) {
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
    auto d = shownDocument(store::demoConnectionString());
    replaceScript(d->editor(), QStringLiteral("select * from no_such_table"));
    d->execute(DocumentCommand::QueryCheck); // the summary switches colouring off ...
    EXPECT_EQ(d->parts().results->messagePane()->lexer(), nullptr);
    d->startExec(); // ... a run switches it back on
    waitForRunEnd(d.get());
    SqlEditor* pane = d->parts().results->messagePane();
    ASSERT_TRUE(pane->text().startsWith(QLatin1String("Error: #"))) << pane->text().toStdString();
    ASSERT_NE(qobject_cast<MessageLexer*>(pane->lexer()), nullptr);
    EXPECT_STREQ(pane->lexer()->language(), "MYMESSAGE");
    pane->SendScintilla(QsciScintilla::SCI_COLOURISE, 0, -1);
    EXPECT_EQ(pane->SendScintilla(QsciScintilla::SCI_GETSTYLEAT, 0), long(MessageLexer::Error));
    EXPECT_EQ(pane->SendScintilla(QsciScintilla::SCI_GETSTYLEAT, 7), long(MessageLexer::Error));
}
