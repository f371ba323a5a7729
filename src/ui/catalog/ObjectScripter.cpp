#include "catalog/ObjectScripter.h"

#include "base/Background.h"
#include "catalog/ObjectDefinition.h"
#include "catalog/SchemaReader.h"
#include "catalog/StatementGenerator.h"
#include "catalog/TableKey.h"
#include "common/Dialogs.h"
#include "common/DocumentContext.h"

namespace {

// What a skeleton is written from: the table's columns and the key its row is found by.
struct TableShape {
    QStringList columns;
    QStringList key;
};

QString tableForm(ObjectCommand command, const SqlDialect& d, const ObjectRef& ref, const TableShape& shape) {
    switch (command) {
    case ObjectCommand::Insert:
        return catalog::insertStatement(d, ref, shape.columns);
    case ObjectCommand::Update:
        return catalog::updateStatement(d, ref, shape.columns, shape.key);
    case ObjectCommand::Delete:
        return catalog::deleteStatement(d, ref, shape.columns, shape.key);
    default:
        return {};
    }
}

// Reads what the command's skeleton needs of the table (off the UI thread).
Result<TableShape> readShape(const QString& connectionString, const SqlDialect& dialect, const ObjectRef& ref,
                             ObjectCommand command) {
    TableShape shape;
    if (catalog::needsColumns(ref)) {
        Result<QStringList> columns = catalog::getColumnList(connectionString, ref.table, ref.catalog, ref.schema);
        if (!columns) return fail(columns.error());
        shape.columns = std::move(columns).value();
    }
    if (command != ObjectCommand::Insert && catalog::usesKey(dialect, ref)) {
        Result<QStringList> key = catalog::getKeyColumnList(connectionString, ref.table, ref.catalog, ref.schema);
        if (!key) return fail(key.error());
        shape.key = std::move(key).value();
    }
    return shape;
}

// Whether the command's skeleton for the node needs the catalogue.
bool readsCatalog(const SqlDialect& dialect, const ObjectRef& ref, ObjectCommand command) {
    return catalog::needsColumns(ref) || (command == ObjectCommand::Update && catalog::usesKey(dialect, ref));
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
        const QString text = catalog::browseStatement(job.dialect, ref);
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
        const QString text = catalog::selectStatement(job.dialect, ref);
        if (!text.isEmpty()) target_.addStatement(text, true);
        return;
    }
    case ObjectCommand::ShowDefinition:
        if (ref.kind == ObjectKind::Table || ref.kind == ObjectKind::Procedure)
            showDefinition(job);
        else
            report(QStringLiteral("Only tables, views and procedures have a definition to show.\r\n"
                                  "Right-click one of them in the Objects tab and choose Show Definition."));
        return;
    case ObjectCommand::Insert:
    case ObjectCommand::Update:
    case ObjectCommand::Delete:
        if (ref.kind == ObjectKind::Column && !readsCatalog(job.dialect, ref, command))
            target_.addStatement(tableForm(command, job.dialect, ref, {}), false);
        else if (ref.kind == ObjectKind::Table || ref.kind == ObjectKind::Column)
            scriptTable(command, job);
        return;
    }
}

void ObjectScripter::scriptTable(ObjectCommand command, const Job& job) {
    ++pending_;
    runInBackground<Result<TableShape>>(
        this, [job, command] { return readShape(job.connectionString, job.dialect, job.node.ref, command); },
        [this, job, command](Result<TableShape> shape) {
            --pending_;
            const QString text = shape.ok() ? tableForm(command, job.dialect, job.node.ref, shape.value()) : QString();
            if (!shape.ok())
                report(shape.error());
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
            return catalog::getProcedureSignature(job.connectionString, r.catalog, r.schema, r.table);
        },
        [this, job](Result<ProcedureSignature> signature) {
            --pending_;
            // the call is left selected, not run: its placeholders need values first
            if (signature.ok())
                target_.addStatement(catalog::callStatement(job.dialect, job.node.ref, signature.value()), true);
            else
                report(signature.error());
            emit finished();
        });
}

void ObjectScripter::showDefinition(const Job& job) {
    ++pending_;
    runInBackground<Result<QString>>(
        this, [job] { return catalog::getDefinition(job.connectionString, job.node.ref); },
        [this](Result<QString> text) {
            --pending_;
            if (!text.ok())
                report(text.error());
            else if (target_.openDocument)
                target_.openDocument(text.value());
            emit finished();
        });
}
