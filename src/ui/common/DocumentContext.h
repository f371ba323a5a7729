#pragma once
// What a query document is connected to: the one answer every part of the
// document asks (runs, the statement at the caret, Query Check, the object
// browser and its chooser, completion, the colouring). It holds the
// connection string and the name it was saved under, the database chosen in
// the chooser, what the object browser read from the catalogue (provider
// kind and statement dialect), which kind of server it is, and the session
// the runs keep open. The document owns one and hands it to its parts by
// reference; no part keeps a copy of any of it.

#include "catalog/SchemaReader.h"
#include "catalog/SqlDialect.h"
#include "db/ServerFamily.h"

#include <QObject>
#include <QString>

#include <memory>

class Session;

class DocumentContext : public QObject {
    Q_OBJECT
public:
    explicit DocumentContext(QObject* parent = nullptr);
    ~DocumentContext() override;

    QString connectionString() const { return connectionString_; }
    // The saved connection's name; empty for a string made by hand.
    QString connectionName() const { return connectionName_; }
    bool hasConnection() const { return !connectionString_.isEmpty(); }
    // The database runs and catalogue reads use; empty for the connection's default.
    QString database() const { return database_; }
    // The layout the catalogue has (None until the object browser read it).
    ProviderKind providerKind() const { return kind_; }
    // How statements write names for this server (known once the catalogue was read).
    const SqlDialect& sqlDialect() const { return dialect_; }
    // Which server: from the connection string until the server named itself.
    db::ServerFamily serverFamily() const { return family_; }
    // The connection the document's runs keep open between them.
    const std::shared_ptr<Session>& session() const { return session_; }
    // Auto-commit of the document's runs (on by default; DocumentSession
    // switches it). Off, a run opens a transaction when none is open.
    bool autoCommit() const { return autoCommit_; }
    void setAutoCommit(bool on) { autoCommit_ = on; }

    // A new connection: the database, provider kind and dialect are
    // forgotten and the server family taken from the string.
    void setConnection(const QString& connectionString, const QString& name = QString());
    void setDatabase(const QString& database);
    // What a catalogue read found (kind None and the string's family when it failed).
    void setCatalogue(ProviderKind kind, const SqlDialect& dialect, db::ServerFamily family);

signals:
    void connectionChanged();
    void databaseChanged(const QString& database);
    void serverFamilyChanged(db::ServerFamily family);

private:
    void setFamily(db::ServerFamily family);

    QString connectionString_;
    QString connectionName_;
    QString database_;
    ProviderKind kind_ = ProviderKind::None;
    SqlDialect dialect_;
    db::ServerFamily family_ = db::ServerFamily::Other;
    std::shared_ptr<Session> session_;
    bool autoCommit_ = true;
    std::shared_ptr<void> tunnelHold_; // an SSH tunnel lives while the document uses it
};
