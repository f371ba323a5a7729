#include "shell/WriteFailureNotices.h"

#include "document/QueryDocument.h"
#include "document/ResultPanes.h"
#include "editor/SqlEditor.h"
#include "shell/MainStatusBar.h"
#include "shell/MainWindow.h"
#include "store/WriteFailures.h"

WriteFailureNotices::WriteFailureNotices(MainWindow* window) : QObject(window), window_(window) {
    connect(&WriteFailures::instance(), &WriteFailures::notice, this, &WriteFailureNotices::show);
}

void WriteFailureNotices::show(const QString& text, bool problem) {
    window_->statusPanels()->setBusy(false, text);
    QueryDocument* doc = window_->activeDocument();
    if (!doc) return;
    ResultPanes* panes = doc->resultPanes();
    SqlEditor* pane = panes->messagePane();
    const QString before = pane->text();
    const QString lineBreak = before.isEmpty() || before.endsWith(QLatin1Char('\n')) ? QString() : QStringLiteral("\r\n");
    pane->appendText(lineBreak + (problem ? QStringLiteral("Warning: ") : QString()) + text + QStringLiteral("\r\n"));
    panes->setTabVisible(ResultPanes::MessagesTab, true);
}
