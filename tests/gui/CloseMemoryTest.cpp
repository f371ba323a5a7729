// Closing a document gives its memory back: after a run of a few hundred
// thousand rows, in the grid or as text, the process's resident memory
// (VmRSS in /proc/self/status) comes back to what it was before the document
// was opened, every time, whichever thread freed the rows. Not timed; a
// memory bound only.
#include "base/Memory.h"
#include "document/QueryDocument.h"
#include "shell/MainWindow.h"
#include "store/HomeSeeding.h"
#include "support/MainWindowFixture.h"
#include "support/Typing.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr double boundMb = 2.0; // a closed document leaves at most this much behind

double residentMb() { return double(base::residentBytes()) / (1024.0 * 1024.0); }

// Lets deferred deletions and the release after them run, then reads VmRSS.
double settledMb() {
    for (int i = 0; i < 5; ++i) QTest::qWait(20);
    return residentMb();
}

class CloseMemoryTest : public MainWindowFixture {
protected:
    // Opens a document, runs `rows` rows into the grid or the text pane,
    // closes it; `shown` is the resident memory while its results were shown.
    void openRunClose(bool text, int rows, double& shown) {
        QueryDocument* doc = window->newDocument();
        doc->setResultsInText(text);
        doc->setConnection(store::demoConnectionString());
        replaceScript(doc->editor(),
                      QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                     "SELECT i, 'row ' || i || ' of the result', i * 0.5 FROM n")
                          .arg(rows));
        doc->startExec();
        QTRY_VERIFY_WITH_TIMEOUT(!doc->isRunning(), 30000);
        QTest::qWait(50); // the last batch painted
        shown = residentMb();
        doc->setChanged(false);
        doc->parentWidget()->close();
    }
};

} // namespace

TEST_F(CloseMemoryTest, EveryCloseReturnsToIdle) {
    openWindow();
    // The first document loads what every later one shares (fonts, the
    // grid's and the text pane's code, the SQLite library): idle is after it.
    double shown = 0;
    openRunClose(false, 1000, shown);
    openRunClose(true, 1000, shown);
    const double idle = settledMb();
    struct Case {
        const char* name;
        bool text;
    };
    for (const Case& c : {Case{"grid", false}, Case{"text", true}, Case{"grid again", false}, Case{"text again", true}}) {
        SCOPED_TRACE(c.name);
        openRunClose(c.text, 300000, shown);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_GT(shown, idle + 10) << "the results should have held memory while shown";
        EXPECT_LE(settledMb(), idle + boundMb);
    }
}
