#pragma once
// "Explain" and "Explain Analyze" of the Query menu: the plan of the
// selection, or of the statement at the caret, read off the UI thread on a
// connection of its own and shown on the result panes' "Plan" tab.
//
// Explain Analyze runs the statement: one that changes data is asked about
// first. A statement with parameters asks for their values as a run does
// (the document's values are shared with its runs). One plan at a time.

#include <QObject>

class DocumentContext;
class ResultPanes;
class RunController;
class SqlEditor;
class StatementAtCaret;

class QueryPlanRun : public QObject {
    Q_OBJECT
public:
    QueryPlanRun(SqlEditor* editor, ResultPanes* panes, DocumentContext& context, StatementAtCaret* caret,
                 RunController* runs, QObject* parent = nullptr);

    void explain(bool analyze);
    bool isBusy() const { return busy_; }

signals:
    void mainStatus(bool busy, const QString& text);
    // The results splitter's ratio: the plan, or why there is none, in sight.
    void resultsRatioWanted(double ratio);
    // The plan is shown, or its failure is.
    void finished();

private:
    QString statementText() const;
    void showMessage(const QString& text);

    SqlEditor* editor_;
    ResultPanes* panes_;
    DocumentContext& context_;
    StatementAtCaret* caret_;
    RunController* runs_;
    bool busy_ = false;
};
