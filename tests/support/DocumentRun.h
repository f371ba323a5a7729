#pragma once
// Running a query document's script as F5 does, and waiting for the run to
// end (a failed wait fails the test).

#include "document/QueryDocument.h"
#include "support/Typing.h"

#include <QTest>
#include <gtest/gtest.h>

inline void runScript(QueryDocument* doc, const QString& sql) {
    replaceScript(doc->editor(), sql);
    doc->startExec();
    QTest::qWait(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !doc->isRunning(); }, 15000));
}
