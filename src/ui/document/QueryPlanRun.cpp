#include "document/QueryPlanRun.h"

#include "base/Background.h"
#include "common/Dialogs.h"
#include "common/DocumentContext.h"
#include "document/ResultPanes.h"
#include "document/RunController.h"
#include "document/StatementAtCaret.h"
#include "editor/SqlEditor.h"
#include "plan/Explain.h"
#include "run/Session.h"

QueryPlanRun::QueryPlanRun(SqlEditor* editor, ResultPanes* panes, DocumentContext& context, StatementAtCaret* caret,
                           RunController* runs, QObject* parent)
    : QObject(parent), editor_(editor), panes_(panes), context_(context), caret_(caret), runs_(runs) {}

QString QueryPlanRun::statementText() const {
    if (editor_->hasSelectedText()) return editor_->selectedText();
    const std::optional<script::StatementRange> at = caret_->statementAtCaret();
    return at ? at->textIn(editor_->text()).toString() : QString();
}

void QueryPlanRun::showMessage(const QString& text) {
    panes_->showMessage(text);
    emit resultsRatioWanted(0.7);
}

void QueryPlanRun::explain(bool analyze) {
    if (busy_) return;
    if (runs_->isRunning()) {
        showMessage(QStringLiteral("A run is in progress: ask for the plan when it has ended."));
        return;
    }
    if (!context_.hasConnection()) {
        showMessage(QStringLiteral("No connection: connect first, then ask for the plan."));
        return;
    }
    const QString statement = statementText().trimmed();
    if (statement.isEmpty()) {
        showMessage(QStringLiteral("There is no statement at the caret to explain."));
        return;
    }
    const db::ServerFamily server = context_.serverFamily();
    if (analyze && plan::changesData(statement, server) &&
        Dialogs::get().question(editor_,
                                QStringLiteral("Explain Analyze runs the statement, and this statement changes "
                                               "data.\r\nRun it to measure its plan?"),
                                QStringLiteral("Explain Analyze"), Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) {
        showMessage(QStringLiteral("Nothing was run."));
        return;
    }
    std::optional<script::ParameterValues> values;
    if (!runs_->parameters().ask(statement, server, values)) {
        showMessage(QStringLiteral("Nothing was run."));
        return;
    }
    busy_ = true;
    emit mainStatus(true, QStringLiteral("Reading the plan..."));
    const QString cs = context_.connectionString();
    const QString database = context_.database();
    // The document's kept session when it has one: its temporary tables and
    // uncommitted rows are what the statement sees, and its own row locks do
    // not hold the statement up. Runs wait meanwhile (QueryDocument's gate).
    std::shared_ptr<Session> session = context_.session() && context_.session()->isOpen() ? context_.session() : nullptr;
    const bool autoCommit = context_.autoCommit();
    struct Read {
        Result<PlanTree> plan = fail(QString());
        std::optional<SessionState> state; // of the kept session, after the plan
    };
    runInBackground<Read>(
        this,
        [cs, database, statement, analyze, values, session, autoCommit]() -> Read {
            Read read;
            try {
                std::unique_ptr<db::Connection> own;
                db::Connection* conn = nullptr;
                if (session) {
                    conn = &session->connectionFor(cs, {}).connection;
                    session->applyAutoCommit(autoCommit);
                } else {
                    own = db::Connection::open(cs);
                    conn = own.get();
                }
                if (!database.isEmpty()) conn->setDefaultDatabase(database);
                read.plan = plan::readPlan(*conn, statement, analyze, values ? &*values : nullptr);
            } catch (const db::Error& e) {
                read.plan = fail(e.description());
            }
            if (session) {
                try {
                    if (!read.plan.ok()) session->checkAfterFailure();
                    session->noteState();
                } catch (const db::Error&) {
                }
                read.state = SessionState{session->isOpen(), session->inTransaction().value_or(false),
                                          session->transactionAborted()};
            }
            return read;
        },
        [this](Read read) {
            busy_ = false;
            emit mainStatus(false, QString());
            if (read.state) emit sessionStateRead(*read.state);
            if (read.plan.ok()) {
                panes_->showPlan(std::move(read.plan).value());
                emit resultsRatioWanted(0.7);
            } else {
                showMessage(read.plan.error());
            }
            emit finished();
        });
}
