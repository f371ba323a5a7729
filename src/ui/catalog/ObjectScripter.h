#pragma once
// The object pop-up's commands: "Insert Object", "Browse Object" and
// "Script Object To..." Select, Insert, Update and Delete. Each works on the
// program's selected object (CatalogSelection.h), whichever document it was
// selected in, and writes into the document it is attached to through that
// document's operations. Column names and procedure parameters are read off
// the UI thread; the text goes in when they arrive.

#include <QObject>
#include <functional>

class ObjectBrowser;
class QWidget;

enum class ObjectCommand { InsertObject, Browse, Select, Insert, Update, Delete };

class ObjectScripter : public QObject {
    Q_OBJECT
public:
    struct Target {
        // Replaces the editor's selection with text (and a blank); select
        // leaves the text selected.
        std::function<void(const QString& text, bool select)> addObjectText;
        // Runs the selection (the inserted statement).
        std::function<void()> quickSelect;
        // The document's browser: its database is switched when a PostgreSQL
        // table of another database is browsed; it parents the messages.
        ObjectBrowser* browser = nullptr;
    };

    ObjectScripter(Target target, QObject* parent = nullptr);

    void run(ObjectCommand command);
    // A catalogue read for a command is under way.
    bool isBusy() const { return pending_ > 0; }

signals:
    // A command that had to read the catalogue is done.
    void finished();

private:
    void scriptTable(ObjectCommand command);
    void callProcedure();
    void report(const QString& text);

    Target target_;
    int pending_ = 0;
};
