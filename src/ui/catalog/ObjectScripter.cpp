#include "catalog/ObjectScripter.h"

#include "base/Background.h"
#include "catalog/SchemaReader.h"
#include "catalog/StatementGenerator.h"
#include "common/Dialogs.h"
#include "common/DocumentContext.h"

namespace {

QString tableForm(ObjectCommand command, const SqlDialect& d, const ObjectRef& ref,
                  const QStringList& columns) {
    switch (command) {
    case ObjectCommand::Insert:
        return statements::insert(d, ref, columns);
    case ObjectCommand::Update:
        return statements::update(d, ref, columns);
    case ObjectCommand::Delete:
        return statements::remove(d, ref, columns);
    default:
        return {};
    }
}

// "Insert Object": names of tables, columns and databases as a statement
// would write them; any other node's text as shown.
QString objectText(const ObjectBrowser::Node& n, const SqlDialect& d) {
    switch (n.ref.kind) {
    case ObjectKind::Table:
    case ObjectKind::Column:
    case ObjectKind::Catalog:
        return d.quotedName(n.text);
    default:
        return n.text;
    }
}

} // namespace

ObjectScripter::ObjectScripter(DocumentContext& context, Target target, QObject* parent)
    : QObject(parent), context_(context), target_(std::move(target)) {}

void ObjectScripter::report(const QString& text) {
    Dialogs::get().message(target_.browser, text, QStringLiteral("Objects"));
}

void ObjectScripter::run(ObjectCommand command) {
    const std::optional<ObjectBrowser::Node> node = target_.browser ? target_.browser->commandTarget() : std::nullopt;
    if (!node) {
        report(QStringLiteral("No object is chosen, so nothing was scripted.\r\n"
                              "Right-click a table, view, column or procedure in the Objects tab and choose "
                              "the command from its menu."));
        return;
    }
    const Job job{*node, context_.sqlDialect(), context_.connectionString()};
    const ObjectRef& ref = job.node.ref;
    switch (command) {
    case ObjectCommand::InsertObject:
        target_.addObjectText(objectText(job.node, job.dialect), true);
        return;
    case ObjectCommand::Browse: {
        if (ref.kind == ObjectKind::Procedure) {
            callProcedure(job);
            return;
        }
        const QString text = statements::browse(job.dialect, ref);
        if (text.isEmpty()) return; // folders, snippets and the like have nothing to browse
        // PostgreSQL reads one database per connection: run in the table's
        if (job.dialect.family == DialectFamily::PostgreSql && !ref.catalog.isEmpty() &&
            context_.database() != ref.catalog)
            target_.browser->chooseDatabase(ref.catalog);
        target_.addStatement(text, true);
        target_.quickSelect();
        return;
    }
    case ObjectCommand::Select: {
        const QString text = statements::select(job.dialect, ref);
        if (!text.isEmpty()) target_.addStatement(text, true);
        return;
    }
    case ObjectCommand::Insert:
    case ObjectCommand::Update:
    case ObjectCommand::Delete:
        if (ref.kind == ObjectKind::Column)
            target_.addStatement(tableForm(command, job.dialect, ref, {}), false);
        else if (ref.kind == ObjectKind::Table)
            scriptTable(command, job);
        return;
    }
}

void ObjectScripter::scriptTable(ObjectCommand command, const Job& job) {
    ++pending_;
    runInBackground<Result<QStringList>>(
        this,
        [job] {
            const ObjectRef& r = job.node.ref;
            return schemareader::getColumnList(job.connectionString, r.table, r.catalog, r.schema);
        },
        [this, job, command](Result<QStringList> columns) {
            --pending_;
            const QString text =
                columns.ok() ? tableForm(command, job.dialect, job.node.ref, columns.value()) : QString();
            if (!columns.ok())
                report(columns.error());
            else if (text.isEmpty())
                report(
                    QStringLiteral("No columns of \"%1\" could be read, so there is nothing to script.\r\n"
                                   "The table may have been dropped; use Refresh to read the objects again.")
                        .arg(job.node.ref.table));
            else
                target_.addStatement(text, false);
            emit finished();
        });
}

void ObjectScripter::callProcedure(const Job& job) {
    ++pending_;
    runInBackground<Result<ProcedureSignature>>(
        this,
        [job] {
            const ObjectRef& r = job.node.ref;
            return schemareader::getProcedureSignature(job.connectionString, r.catalog, r.schema, r.table);
        },
        [this, job](Result<ProcedureSignature> signature) {
            --pending_;
            // the call is left selected, not run: its placeholders need values first
            if (signature.ok())
                target_.addStatement(statements::callSkeleton(job.dialect, job.node.ref, signature.value()), true);
            else
                report(signature.error());
            emit finished();
        });
}
