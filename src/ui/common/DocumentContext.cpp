#include "common/DocumentContext.h"

#include "db/ConnectionProfile.h"
#include "run/Session.h"

DocumentContext::DocumentContext(QObject* parent) : QObject(parent), session_(std::make_shared<Session>()) {}

// A run still going holds the session and closes it on its own thread when it ends.
DocumentContext::~DocumentContext() = default;

void DocumentContext::setConnection(const QString& connectionString, const QString& name) {
    if (connectionString != connectionString_) tunnelHold_ = db::holdTunnel(connectionString);
    connectionString_ = connectionString;
    connectionName_ = name;
    database_.clear();
    kind_ = ProviderKind::None;
    dialect_ = SqlDialect();
    setFamily(connectionString.isEmpty() ? db::ServerFamily::Other : db::familyOfConnectionString(connectionString));
    emit connectionChanged();
}

void DocumentContext::setDatabase(const QString& database) {
    if (database_ == database) return;
    database_ = database;
    emit databaseChanged(database_);
}

void DocumentContext::setCatalogue(ProviderKind kind, const SqlDialect& dialect, db::ServerFamily family) {
    kind_ = kind;
    dialect_ = dialect;
    setFamily(family);
}

void DocumentContext::setFamily(db::ServerFamily family) {
    if (family_ == family) return;
    family_ = family;
    emit serverFamilyChanged(family_);
}
