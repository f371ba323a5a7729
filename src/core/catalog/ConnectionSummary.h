#pragma once
// What the object browser needs to build its first levels, read in one go
// (off the UI thread): the connection's provider, default database and
// dialect, the provider kind, the catalogues or tables of the first level,
// and the object snippets of "Common Objects".

#include "base/Result.h"
#include "catalog/SchemaReader.h"
#include "catalog/SqlDialect.h"
#include "store/TemplateStore.h"

#include <QString>
#include <QStringList>
#include <vector>

struct ConnectionSummary {
    QString providerName; // the DBMS name; empty when the backend gives none
    QString defaultDatabase;
    QString serverVersion;
    db::ServerFamily server = db::ServerFamily::Other; // as the server names itself
    SqlDialect dialect;

    ProviderKind kind = ProviderKind::None;
    QString kindError; // why the kind could not be looked up (kind is None then)

    // kind 1: the catalogues; kind 2: the tables; otherwise empty.
    QStringList names;
    QString namesError;

    std::vector<QString> snippetGroups;
    std::vector<ObjectSnippet> snippets;
    QString snippetsError;
};

namespace catalog {

// Opens the connection (with database as its default database when not
// empty) and reads the summary. Fails only when the connection cannot be
// opened or the database cannot be chosen; the other reads report their own
// failures in the summary.
Result<ConnectionSummary> readConnectionSummary(const QString& connectionString, const QString& database);

// Makes name the default database of a new connection and gives back the
// default database the connection then reports.
Result<QString> switchDatabase(const QString& connectionString, const QString& name);

} // namespace catalog
