#pragma once
// Connects the main window's and the documents' connection commands to the
// connection manager.

#include <QObject>

class MainWindow;
class QueryDocument;

class ConnectionFlow : public QObject {
    Q_OBJECT
public:
    explicit ConnectionFlow(MainWindow* window);
    void openManager(QueryDocument* doc);

private:
    MainWindow* window_;
};
