#pragma once
// The text a pane shows once an external tool's output file has been read
// into it (the reading runs a slice at a time from the event loop); a
// reading that does not end within the time-out shows as a failure there.

#include "document/ResultTextView.h"
#include "document/ToolOutputView.h"

#include <QTest>

inline QString shownToolOutput(ResultTextView* pane, int timeoutMs = 10000) {
    if (!QTest::qWaitFor([pane] { return !ToolOutputView::of(pane)->isReading(); }, timeoutMs))
        return QStringLiteral("<still reading the tool's output after %1 ms>").arg(timeoutMs);
    return pane->text();
}
