#include "catalog/ConnectionSummary.h"

#include "db/Connection.h"

namespace catalog {

Result<ConnectionSummary> readConnectionSummary(const QString& connectionString, const QString& database) {
    ConnectionSummary s;
    try {
        auto conn = db::Connection::open(connectionString);
        if (!database.isEmpty()) conn->setDefaultDatabase(database);
        s.providerName = conn->providerName();
        s.defaultDatabase = conn->defaultDatabase();
        s.serverVersion = conn->serverVersion();
        s.server = conn->serverFamily();
        s.dialect = SqlDialect::forServer(s.server, conn->identifierQuote());
    } catch (const db::Error& e) {
        return fail(e.description());
    }
    if (s.providerName.isEmpty()) return s;

    if (const auto snippetGroups = TemplateStore::snippetGroups(); !snippetGroups.ok()) {
        s.snippetsError = snippetGroups.error();
    } else if (const auto snippets = TemplateStore::snippets(); !snippets.ok()) {
        s.snippetsError = snippets.error();
    } else {
        s.snippetGroups = snippetGroups.value();
        s.snippets = snippets.value();
    }

    const Result<ProviderKind> kind = catalog::getProviderKind(s.providerName);
    if (!kind.ok()) {
        s.kindError = kind.error();
        return s;
    }
    s.kind = kind.value();
    Result<QStringList> names = QStringList();
    if (s.kind == ProviderKind::CatalogServer)
        names = catalog::getCatalogList(connectionString);
    else if (s.kind == ProviderKind::SingleDatabase)
        names = catalog::getTableList(connectionString);
    if (names.ok())
        s.names = names.value();
    else
        s.namesError = names.error();
    return s;
}

Result<QString> switchDatabase(const QString& connectionString, const QString& name) {
    try {
        auto conn = db::Connection::open(connectionString);
        conn->setDefaultDatabase(name);
        return conn->defaultDatabase();
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

} // namespace catalog
