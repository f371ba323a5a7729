#pragma once
// Runs a document's script: takes the selection or the whole script, plans
// the run, hands it to an Executor and puts what comes back into the result
// panes, the message pane and the status bars. The UI thread only applies
// batches; it never waits for the database. The connection, the database and
// the session a run uses are the document context's at the run's start.

#include "document/ParameterPrompt.h"
#include "run/RunEngine.h"
#include "script/ScriptText.h"
#include "settings/Settings.h"

#include <QDateTime>
#include <QObject>

#include <functional>

class DocumentContext;
class Executor;
class ExternalToolRun;
class ResultPanes;
class SqlEditor;

class RunController : public QObject {
    Q_OBJECT
public:
    RunController(SqlEditor* editor, ResultPanes* panes, DocumentContext& context, QObject* parent = nullptr);
    ~RunController() override;

    // The run of the current selection (or whole script).
    void execute();
    // The run of a given text (the statement at the caret) that begins at
    // origin in the editor, by the same path.
    void execute(const QString& text, script::TextPoint origin);
    // A statement of the program's own (the COMMIT or ROLLBACK of a closing
    // window), run by the same path but always here (never by an external
    // tool), on the kept session only; its errors name no line of the editor.
    void executeOwnStatement(const QString& sql);
    void stop();
    bool isRunning() const;
    // Asked before a run of the user's (not the program's own statement)
    // replaces the results; a false answer leaves everything as it is.
    void setRunGate(std::function<bool()> gate) { gate_ = std::move(gate); }
    QString statementType() const { return script::statementKindText(statementKind_); }
    // The class of the script last summarised (a run records its own).
    void setStatementKind(script::StatementKind kind) { statementKind_ = kind; }
    bool lastRunFailed() const { return lastRunFailed_; }
    // The document's parameter values, asked before a run with parameters.
    ParameterPrompt& parameters() { return parameters_; }

signals:
    void mainStatus(bool busy, const QString& text);
    void runningChanged(bool running);
    void rowsStatus(const QString& text);
    void elapsedStatus(const QString& text);
    // The results splitter's ratio after a run.
    void resultsRatioWanted(double ratio);
    // An external tool writes file into folder: reload it when it does.
    void watchRequested(const QString& folder, const QString& file);
    // A run through the document's connection ended (after the panes show it).
    void runFinished(const RunRequest& request, const RunResult& result, const QDateTime& started);

private:
    // origin: where text begins in the editor; nullopt for the program's own statement.
    void start(const QString& text, const settings::Snapshot& options, std::optional<script::TextPoint> origin);
    void finish(const RunResult& result);
    // Asks whether to go on when the rows of the run pass the memory limit.
    MemoryAnswer askMemoryLimit(qint64 heldBytes);
    // The message pane during a run: its notes so far under "Working...".
    void showProgressNotes();

    SqlEditor* editor_;
    ResultPanes* panes_;
    DocumentContext& context_;
    Executor* executor_;
    ExternalToolRun* external_;
    script::StatementKind statementKind_ = script::StatementKind::None;
    bool lastRunFailed_ = false;
    qint64 memoryLimit_ = 0;
    QString runNotes_; // "N Row(s) affected." lines of the current grid run
    QString notices_;  // the server's notices during the current run
    ParameterPrompt parameters_;
    RunRequest request_; // the current run's, for runFinished
    QDateTime started_;
    std::function<bool()> gate_;
};
