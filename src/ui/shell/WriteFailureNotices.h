#pragma once
// Tells the user when the editor's own files cannot be written (the
// unsaved-work journal, the query history) and when they can again: in the
// main window's status bar and in the active document's message pane, once
// per kind of failure (WriteFailures decides what is new).

#include <QObject>

class MainWindow;

class WriteFailureNotices : public QObject {
    Q_OBJECT
public:
    explicit WriteFailureNotices(MainWindow* window);

private:
    void show(const QString& text, bool problem);
    MainWindow* window_;
};
