#pragma once
// "Syntax Check" / "Query Check": sends nothing to the database. With the
// document's own execution it shows the "Query Information" summary of what
// a run would send, and records the statement class a run would use; with
// an external tool it reloads that tool's output file into the text pane.

#include <QObject>
#include <functional>

class ResultPanes;
class RunController;
class SqlEditor;

class QueryCheck : public QObject {
    Q_OBJECT
public:
    // What the summary needs to know of the document.
    struct Context {
        std::function<QString()> connectionString;
        std::function<QString()> database;
        std::function<int()> sqlStyle;
    };

    QueryCheck(SqlEditor* editor, ResultPanes* panes, RunController* runner, Context context,
               QObject* parent = nullptr);

    void syntaxCheck();
    // The summary of the selection (or the whole script); records its class
    // as the document's statement type.
    QString getValidationInformation();

signals:
    void resultsRatioWanted(double ratio);

private:
    void reloadOutput();

    SqlEditor* editor_;
    ResultPanes* panes_;
    RunController* runner_;
    Context context_;
};
