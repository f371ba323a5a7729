#pragma once
// The text a pane shows once an external tool's output file has been read
// into it (the reading runs a slice at a time from the event loop).

#include "document/ResultTextView.h"
#include "document/ToolOutputView.h"

#include <QTest>

inline QString shownToolOutput(ResultTextView* pane, int timeoutMs = 10000) {
    QTest::qWaitFor([pane] { return !ToolOutputView::of(pane)->isReading(); }, timeoutMs);
    return pane->text();
}
