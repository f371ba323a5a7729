#include "ConnectionFlow.h"

#include "Dialogs.h"
#include "MainWindow.h"
#include "document/QueryDocument.h"

ConnectionFlow::ConnectionFlow(MainWindow* window) : QObject(window), window_(window) {
    connect(window, &MainWindow::connectionManagerRequested, this, &ConnectionFlow::openManager);
}

void ConnectionFlow::openManager(QueryDocument* doc) {
    if (!doc) return;
    const auto cs = Dialogs::get().input(window_, QStringLiteral("Connection string:"), QStringLiteral("Connect"),
                                         doc->GetCONSTR());
    if (cs) doc->setCONSTR(*cs);
}
