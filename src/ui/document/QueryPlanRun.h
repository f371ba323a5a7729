#pragma once
// "Explain" and "Explain Analyze" of the Query menu: the plan of the
// selection, or of the statement at the caret, read off the UI thread and
// shown on the result panes' "Plan" tab. It is read on the document's kept
// session when it has one (as a run would: its auto-commit, temporary
// tables and open transaction), else on a connection of its own; refused
// while a run is going, and runs wait for it.
//
// Explain Analyze runs the statement: one that changes data is asked about
// first. A statement with parameters asks for their values as a run does
// (the document's values are shared with its runs). One plan at a time.

#include <QObject>

// The kept session's state after a plan was read on it (what a run's result
// tells the document).
struct SessionState {
    bool open = false;
    bool inTransaction = false;
    bool aborted = false;
};

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
    // The plan was read on the kept session, which is now in state.
    void sessionStateRead(const SessionState& state);

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
