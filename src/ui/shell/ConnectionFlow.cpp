#include "shell/ConnectionFlow.h"

#include "shell/MainWindow.h"
#include "connections/ConnectionManager.h"
#include "document/QueryDocument.h"

ConnectionFlow::ConnectionFlow(MainWindow* window) : QObject(window), window_(window) {
    connect(window, &MainWindow::connectionManagerRequested, this, &ConnectionFlow::openManager);
}

void ConnectionFlow::openManager(QueryDocument* doc) {
    if (!doc) return;
    ConnectionManager manager(window_);
    if (manager.exec() == QDialog::Accepted && !manager.chosenConnectionString().isEmpty())
        doc->changeConnection(manager.chosenConnectionString(), manager.chosenName());
}
