#include "document/ResultEditing.h"

#include "base/Background.h"
#include "common/Dialogs.h"
#include "common/DocumentContext.h"
#include "document/DocumentSession.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "document/ResultSetTabs.h"
#include "document/RunController.h"
#include "db/ConnectionProfile.h"
#include "edit/ChangeSaver.h"
#include "edit/RowIdKey.h"
#include "edit/ValueFile.h"
#include "editing/EditBar.h"
#include "editing/GridEditor.h"
#include "run/ResultModel.h"
#include "run/Session.h"

#include <QEventLoop>
#include <QHash>
#include <QVBoxLayout>

namespace {
constexpr int kReviewedStatements = 2000; // the review lists this many; the rest are counted
const QString kTitle = QStringLiteral("Save Changes");
} // namespace

ResultEditing::ResultEditing(RunController* runs, DocumentSession* session, ResultPanes* panes, DocumentContext& context,
                             QWidget* window)
    : QObject(window), runs_(runs), session_(session), panes_(panes), context_(context), window_(window) {
    connect(runs_, &RunController::runningChanged, this, [this](bool running) {
        if (running) runStarted();
    });
    connect(runs_, &RunController::runFinished, this,
            [this](const RunRequest& request, const RunResult& result, const QDateTime&) { runFinished(request, result); });
}

ResultEditing::~ResultEditing() = default;

GridEditor* ResultEditing::editor(int set) const {
    return set >= 0 && set < int(editors_.size()) ? editors_[size_t(set)].data() : nullptr;
}

bool ResultEditing::hasChanges() const {
    return std::any_of(editors_.begin(), editors_.end(), [](const QPointer<GridEditor>& e) { return e && e->hasChanges(); });
}

GridEditor* ResultEditing::attach(int set) {
    ResultSetTabs* sets = panes_->resultSets();
    ResultGrid* grid = sets->grid(set);
    if (!grid) return nullptr;
    if (auto* existing = grid->findChild<GridEditor*>()) return existing;
    auto* editor = new GridEditor(grid, grid->resultModel());
    auto* bar = new EditBar(editor, grid->parentWidget());
    if (auto* layout = qobject_cast<QVBoxLayout*>(grid->parentWidget()->layout()))
        layout->insertWidget(layout->indexOf(grid), bar);
    connect(editor, &GridEditor::saveRequested, this, [this, editor] { save(editor); });
    connect(bar, &EditBar::saveRequested, this, [this, editor] { save(editor); });
    connect(bar, &EditBar::discardRequested, editor, &GridEditor::discard);
    return editor;
}

void ResultEditing::runStarted() {
    for (const auto& e : editors_)
        if (e) e->clear(QString());
}

void ResultEditing::runFinished(const RunRequest& request, const RunResult& result) {
    editors_.clear();
    if (request.resultsInText || request.keptSessionOnly) return;
    ResultSetTabs* sets = panes_->resultSets();
    connectionString_ = request.connectionString;
    for (int set = 0; set < sets->setCount(); ++set) {
        GridEditor* editor = attach(set);
        editors_.emplace_back(editor);
        const std::vector<db::Field> fields = sets->grid(set)->resultModel()->fields();
        if (fields.empty()) {
            editor->clear(QString());
            continue;
        }
        if (!result.sessionOpen || result.cancelled()) {
            editor->clear(QStringLiteral("read-only: the result is not complete"));
            continue;
        }
        if (db::ConnectionProfile::of(connectionString_).readOnly) { // the server would refuse the save
            editor->clear(QStringLiteral("read-only: the connection is read-only"));
            continue;
        }
        std::shared_ptr<Session> session = context_.session();
        const QString cs = connectionString_;
        // A lone result without a key may still be named by SQLite's rowids
        // (its rows are only read meanwhile: the window takes no input).
        ResultModel* results = sets->grid(set)->resultModel();
        const QString sql = sets->setCount() == 1 ? request.text : QString();
        editor->setTarget(onSession<edit::EditTarget>([session, cs, fields, results, sql] {
            try {
                Session::Lease lease = session->connectionFor(cs, {}, true);
                edit::EditTarget t = edit::readEditTarget(lease.connection, fields);
                if (!sql.isEmpty())
                    edit::keyByRowId(lease.connection, sql, t, results->totalRows(),
                                     [results](qint64 row, int column) { return results->storedCell(row, column); });
                return t;
            } catch (const db::Error& e) {
                return edit::EditTarget::readOnly(QStringLiteral("read-only: %1").arg(e.description()));
            }
        }));
    }
}

template <typename T> T ResultEditing::onSession(std::function<T()> work) {
    std::optional<T> outcome;
    QEventLoop wait;
    runInBackground<T>(this, std::move(work), [&outcome, &wait](T r) {
        outcome = std::move(r);
        wait.quit();
    });
    if (!outcome) wait.exec(QEventLoop::ExcludeUserInputEvents);
    return std::move(*outcome);
}

void ResultEditing::save(GridEditor* editor) {
    if (!editor || !editor->hasChanges()) return;
    if (runs_->isRunning()) {
        Dialogs::get().message(window_, QStringLiteral("A run is going in this window: save when it has ended."), kTitle);
        return;
    }
    const edit::EditTarget& t = editor->target();
    const auto statements = edit::buildSaveStatements(t, editor->fields(), *editor->changes(), t.dialect);
    QStringList review;
    for (size_t i = 0; i < statements.size() && i < size_t(kReviewedStatements); ++i) review << statements[i].review + QLatin1Char(';');
    if (statements.size() > size_t(kReviewedStatements))
        review << QStringLiteral("-- and %1 more").arg(statements.size() - size_t(kReviewedStatements));
    const QString intro =
        QStringLiteral("%1: these %2 statement(s) run in one transaction, all or nothing. Values are sent as "
                       "parameters; they are shown inlined here only for reading.%3")
            .arg(editor->changes()->summary())
            .arg(statements.size())
            .arg(session_->inTransaction() ? QStringLiteral("\n\nThis window is inside a transaction: the changes "
                                                            "join it and are not committed until you commit it.")
                                           : QString());
    const int choice = Dialogs::get().review(window_, kTitle, intro, review.join(QLatin1Char('\n')),
                                             {QStringLiteral("&Save"), QStringLiteral("&Discard"), QStringLiteral("Cancel")});
    if (choice == 0) runSave(editor);
    else if (choice == 1) editor->discard();
}

bool ResultEditing::runSave(GridEditor* editor) {
    const edit::EditTarget target = editor->target();
    const edit::ChangeSet& changes = *editor->changes();
    auto statements = edit::buildSaveStatements(target, editor->fields(), changes, target.dialect);
    QHash<qint64, QString> names; // named here: the change set stays on this thread
    for (const auto& s : statements) names.insert(s.row, edit::rowName(target, changes, s.row));
    std::shared_ptr<Session> session = context_.session();
    const QString cs = connectionString_;
    const edit::SaveOutcome out = onSession<edit::SaveOutcome>([session, cs, statements, names] {
        try {
            Session::Lease lease = session->connectionFor(cs, {}, true);
            edit::SaveOutcome o = edit::saveChanges(lease.connection, statements, [&names](qint64 row) { return names.value(row); });
            session->noteState();
            return o;
        } catch (const db::Error& e) {
            edit::SaveOutcome o;
            o.message = QStringLiteral("%1; nothing was saved").arg(e.description());
            return o;
        }
    });
    emit message(out.message);
    if (out.saved) {
        editor->accepted(out.readBack);
        return true;
    }
    editor->showRow(out.failedRow);
    Dialogs::get().message(window_, out.message, kTitle);
    return false;
}

bool ResultEditing::confirmLeave() {
    if (!hasChanges()) return true;
    QStringList pending;
    for (const auto& e : editors_)
        if (e && e->hasChanges()) pending << e->changes()->summary();
    const int choice = Dialogs::get().choose(
        window_,
        QStringLiteral("The result grid has changes that are not saved (%1).\n\nSave them, discard them, or go back to them?")
            .arg(pending.join(QStringLiteral("; "))),
        QStringLiteral("Unsaved Changes"), {QStringLiteral("&Save"), QStringLiteral("&Discard"), QStringLiteral("Cancel")});
    if (choice == 1) {
        for (const auto& e : editors_)
            if (e) e->discard();
        return true;
    }
    if (choice != 0) return false;
    for (const auto& e : editors_)
        if (e && e->hasChanges() && !runSave(e)) return false;
    return true;
}

void ResultEditing::execute(DocumentCommand command, int set) {
    GridEditor* e = editor(set);
    if (!e) return;
    if (!e->isEditable() && command != DocumentCommand::GridSaveValue) {
        if (!e->readOnlyReason().isEmpty()) Dialogs::get().message(window_, e->readOnlyReason(), kTitle);
        return;
    }
    switch (command) {
    case DocumentCommand::GridSetNull: e->setNull(); break;
    case DocumentCommand::GridInsertRow: e->insertRow(); break;
    case DocumentCommand::GridDuplicateRow: e->duplicateRows(); break;
    case DocumentCommand::GridDeleteRows: e->deleteRows(); break;
    case DocumentCommand::GridSaveChanges: save(e); break;
    case DocumentCommand::GridDiscardChanges: e->discard(); break;
    case DocumentCommand::GridLoadValue: {
        const QString path = Dialogs::get().openFileName(window_, QStringLiteral("Load Value from File"), {QStringLiteral("All Files (*)")});
        if (path.isEmpty()) return;
        const Result<edit::Value> value = edit::readValueFile(path, e->currentIsBinary());
        if (!value) Dialogs::get().message(window_, value.error(), kTitle);
        else e->setCurrentValue(*value);
        break;
    }
    case DocumentCommand::GridSaveValue: {
        const std::optional<edit::Value> value = e->currentValue();
        if (!value) return;
        const QString path = Dialogs::get().saveFileName(window_, QStringLiteral("Save Value to File"),
                                                         {QStringLiteral("All Files (*)")}, QString());
        if (path.isEmpty()) return;
        if (const Status s = edit::writeValueFile(path, *value, e->currentIsBinary()); !s)
            Dialogs::get().message(window_, s.error(), kTitle);
        break;
    }
    default: break;
    }
}
