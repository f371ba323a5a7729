#include "catalog/ObjectScripter.h"

#include "base/Background.h"
#include "catalog/CatalogSelection.h"
#include "catalog/ObjectBrowser.h"
#include "catalog/SchemaReader.h"
#include "catalog/TableKey.h"
#include "common/Dialogs.h"

namespace {

// What a skeleton is written from: the table's columns and the key its row is found by.
struct TableShape {
    QStringList columns;
    QStringList key;
};

QString tableForm(ObjectCommand command, const SqlDialect& d, const ObjectRef& ref, const TableShape& shape) {
    switch (command) {
    case ObjectCommand::Insert:
        return statements::insert(d, ref, shape.columns);
    case ObjectCommand::Update:
        return statements::update(d, ref, shape.columns, shape.key);
    case ObjectCommand::Delete:
        return statements::remove(d, ref, shape.columns, shape.key);
    default:
        return {};
    }
}

// Reads what the command's skeleton needs of the table (off the UI thread).
Result<TableShape> readShape(const SelectedObject& s, ObjectCommand command) {
    TableShape shape;
    const ObjectRef& ref = s.ref;
    if (statements::needsColumns(ref)) {
        Result<QStringList> columns = schemareader::getColumnList(s.connectionString, ref.table, ref.catalog, ref.schema);
        if (!columns) return fail(columns.error());
        shape.columns = std::move(columns).value();
    }
    if (command != ObjectCommand::Insert && statements::usesKey(s.dialect, ref)) {
        Result<QStringList> key = schemareader::getKeyColumnList(s.connectionString, ref.table, ref.catalog, ref.schema);
        if (!key) return fail(key.error());
        shape.key = std::move(key).value();
    }
    return shape;
}

// Whether the command's skeleton for the node needs the catalogue.
bool readsCatalog(const SelectedObject& s, ObjectCommand command) {
    return statements::needsColumns(s.ref) ||
           (command == ObjectCommand::Update && statements::usesKey(s.dialect, s.ref));
}

// "Insert Object": names of tables, columns and databases as a statement
// would write them; any other node's text as shown.
QString objectText(const SelectedObject& s) {
    switch (s.ref.kind) {
    case ObjectKind::Table:
    case ObjectKind::Column:
    case ObjectKind::Catalog:
        return s.dialect.quotedName(s.text);
    default:
        return s.text;
    }
}

} // namespace

ObjectScripter::ObjectScripter(Target target, QObject* parent)
    : QObject(parent), target_(std::move(target)) {}

void ObjectScripter::report(const QString& text) {
    Dialogs::get().message(target_.browser, text);
}

void ObjectScripter::run(ObjectCommand command) {
    const SelectedObject& s = catalogselection::current();
    if (s.text.isEmpty() && s.key.isEmpty()) return; // nothing selected yet
    switch (command) {
    case ObjectCommand::InsertObject:
        target_.addObjectText(objectText(s), true);
        return;
    case ObjectCommand::Browse: {
        if (s.ref.kind == ObjectKind::Procedure) {
            callProcedure();
            return;
        }
        const QString text = statements::browse(s.dialect, s.ref);
        if (text.isEmpty()) return; // folders, snippets and the like have nothing to browse
        // PostgreSQL reads one database per connection: run in the table's
        if (s.dialect.family == DialectFamily::PostgreSql && target_.browser && !s.ref.catalog.isEmpty() &&
            target_.browser->connectionString() == s.connectionString &&
            target_.browser->currentDatabase() != s.ref.catalog)
            target_.browser->chooseDatabase(s.ref.catalog);
        target_.addObjectText(text, true);
        target_.quickSelect();
        return;
    }
    case ObjectCommand::Select: {
        const QString text = statements::select(s.dialect, s.ref);
        if (!text.isEmpty()) target_.addObjectText(text, true);
        return;
    }
    case ObjectCommand::Insert:
    case ObjectCommand::Update:
    case ObjectCommand::Delete:
        if (s.ref.kind == ObjectKind::Column && !readsCatalog(s, command))
            target_.addObjectText(tableForm(command, s.dialect, s.ref, {}), false);
        else if (s.ref.kind == ObjectKind::Table || s.ref.kind == ObjectKind::Column)
            scriptTable(command);
        return;
    }
}

void ObjectScripter::scriptTable(ObjectCommand command) {
    const SelectedObject s = catalogselection::current();
    ++pending_;
    runInBackground<Result<TableShape>>(
        this, [s, command] { return readShape(s, command); },
        [this, s, command](Result<TableShape> shape) {
            --pending_;
            const QString text = shape.ok() ? tableForm(command, s.dialect, s.ref, shape.value()) : QString();
            if (!shape.ok())
                report(shape.error());
            else if (text.isEmpty())
                report(
                    QStringLiteral("No columns of \"%1\" could be read, so there is nothing to script.\r\n"
                                   "The table may have been dropped; use Refresh to read the objects again.")
                        .arg(s.ref.table));
            else
                target_.addObjectText(text, false);
            emit finished();
        });
}

void ObjectScripter::callProcedure() {
    const SelectedObject s = catalogselection::current();
    ++pending_;
    runInBackground<Result<ProcedureSignature>>(
        this,
        [s] {
            return schemareader::getProcedureSignature(s.connectionString, s.ref.catalog, s.ref.schema,
                                                       s.ref.table);
        },
        [this, s](Result<ProcedureSignature> signature) {
            --pending_;
            // the call is left selected, not run: its placeholders need values first
            if (signature.ok())
                target_.addObjectText(statements::callSkeleton(s.dialect, s.ref, signature.value()), true);
            else
                report(signature.error());
            emit finished();
        });
}
