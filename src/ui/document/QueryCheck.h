#pragma once
// "Syntax Check" / "Query Check": sends nothing to the database. With the
// document's own execution it shows the "Query Information" summary of what
// a run would send, and records the statement class a run would use; with
// an external tool it reloads that tool's output file into the text pane.
// The connection, database and provider kind it shows are the document
// context's.

#include <QObject>

class DocumentContext;
class ResultPanes;
class RunController;
class SqlEditor;

class QueryCheck : public QObject {
    Q_OBJECT
public:
    QueryCheck(SqlEditor* editor, ResultPanes* panes, RunController* runner, const DocumentContext& context,
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
    const DocumentContext& context_;
};
