#pragma once
// A query document as the tests meet it, and running its script as F5 does,
// waiting for the run to end (a failed wait fails the test).

#include "document/QueryDocument.h"
#include "support/Typing.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// A document at its usual size, shown, and connected when a connection
// string is given.
inline std::unique_ptr<QueryDocument> shownDocument(const QString& connection = QString()) {
    auto d = std::make_unique<QueryDocument>();
    d->resize(1000, 700);
    d->show();
    if (!connection.isEmpty()) d->setConnection(connection);
    return d;
}

// Waits for the run the document started to end.
inline void waitForRunEnd(QueryDocument* doc, int timeoutMs = 15000) {
    QTest::qWait(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !doc->isRunning(); }, timeoutMs));
}

inline void runScript(QueryDocument* doc, const QString& sql, int timeoutMs = 15000) {
    replaceScript(doc->editor(), sql);
    doc->startExec();
    waitForRunEnd(doc, timeoutMs);
}
