#include "document/QueryPlanRun.h"

#include "base/Background.h"
#include "common/Dialogs.h"
#include "common/DocumentContext.h"
#include "document/ResultPanes.h"
#include "document/RunController.h"
#include "document/StatementAtCaret.h"
#include "editor/SqlEditor.h"
#include "plan/Explain.h"

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
    runInBackground<Result<PlanTree>>(
        this,
        [cs, database, statement, analyze, values]() -> Result<PlanTree> {
            try {
                auto conn = db::Connection::open(cs);
                if (!database.isEmpty()) conn->setDefaultDatabase(database);
                return plan::readPlan(*conn, statement, analyze, values ? &*values : nullptr);
            } catch (const db::Error& e) {
                return fail(e.description());
            }
        },
        [this](Result<PlanTree> plan) {
            busy_ = false;
            emit mainStatus(false, QString());
            if (plan.ok()) {
                panes_->showPlan(std::move(plan).value());
                emit resultsRatioWanted(0.7);
            } else {
                showMessage(plan.error());
            }
            emit finished();
        });
}
