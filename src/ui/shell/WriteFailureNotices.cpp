#include "shell/WriteFailureNotices.h"

#include "document/QueryDocument.h"
#include "shell/MainStatusBar.h"
#include "shell/MainWindow.h"
#include "store/WriteFailures.h"

WriteFailureNotices::WriteFailureNotices(MainWindow* window) : QObject(window), window_(window) {
    connect(&WriteFailures::instance(), &WriteFailures::notice, this, &WriteFailureNotices::show);
}

void WriteFailureNotices::show(const QString& text, bool problem) {
    window_->statusPanels()->setBusy(false, text);
    if (QueryDocument* doc = window_->activeDocument())
        doc->addMessage((problem ? QStringLiteral("Warning: ") : QString()) + text);
}
