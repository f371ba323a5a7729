#pragma once
// The object pop-up's commands: "Insert Object", "Browse Object" and
// "Script Object To..." Select, Insert, Update and Delete. Each works on the
// node its document's object browser marks as current (the one right-clicked
// for the pop-up), with that document's connection and dialect, and writes
// into the same document. A command with no node is refused with a
// message. Column names and procedure parameters are read off the UI
// thread; the text goes in when they arrive.

#include "catalog/ObjectBrowser.h"

#include <QObject>
#include <functional>

class DocumentContext;
class QWidget;

enum class ObjectCommand { InsertObject, Browse, Select, Insert, Update, Delete };

class ObjectScripter : public QObject {
    Q_OBJECT
public:
    struct Target {
        // Replaces the editor's selection with text (and a blank); select
        // leaves the text selected. A name goes in where the caret is.
        std::function<void(const QString& text, bool select)> addObjectText;
        // The same for a whole statement, which starts a line of its own.
        std::function<void(const QString& text, bool select)> addStatement;
        // Runs the selection (the inserted statement).
        std::function<void()> quickSelect;
        // The document's browser: the node to script; its database is
        // switched when a PostgreSQL table of another database is browsed;
        // it parents the messages.
        ObjectBrowser* browser = nullptr;
    };

    ObjectScripter(DocumentContext& context, Target target, QObject* parent = nullptr);

    void run(ObjectCommand command);
    // A catalogue read for a command is under way.
    bool isBusy() const { return pending_ > 0; }

signals:
    // A command that had to read the catalogue is done.
    void finished();

private:
    // What a command needs of its node, taken when it starts.
    struct Job {
        ObjectBrowser::Node node;
        SqlDialect dialect;
        QString connectionString;
    };
    void scriptTable(ObjectCommand command, const Job& job);
    void callProcedure(const Job& job);
    void report(const QString& text);

    DocumentContext& context_;
    Target target_;
    int pending_ = 0;
};
