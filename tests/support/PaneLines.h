#pragma once
// The lines a result text pane draws, each followed by LF (the empty line
// after a final line break adds nothing), so a test reads what the user
// sees whatever line breaks the text came with.

#include "document/ResultTextView.h"

#include <QString>

inline QString paneLines(const ResultTextView& pane) {
    const ResultText& t = pane.content();
    QString out;
    for (qint64 l = 0; l < t.lineCount(); ++l) {
        const QString line = t.line(l);
        if (l == t.lineCount() - 1 && line.isEmpty()) break;
        out += line + QLatin1Char('\n');
    }
    return out;
}
