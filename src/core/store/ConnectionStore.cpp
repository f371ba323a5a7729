#include "store/ConnectionStore.h"

#include "store/ResourceDb.h"
#include "store/SavedPasswords_p.h"
#include "store/SecretStore.h"

#include <optional>

Result<std::vector<StoredConnection>> ConnectionStore::list() {
    std::vector<StoredConnection> out;
    try {
        auto conn = ResourceDb::open();
        const db::Table t =
            conn->query(QStringLiteral("SELECT primarykey, name, cn_string, type FROM connections ORDER BY primarykey"));
        for (const auto& row : t.rows) {
            StoredConnection c;
            c.primaryKey = row[0].value_or(QStringLiteral("0")).toLongLong();
            c.name = row[1].value_or(QString());
            c.connectionString = row[2].value_or(QString());
            c.type = row[3] ? row[3]->toInt() : 1; // NULL reads as 1
            out.push_back(std::move(c));
        }
    } catch (const db::Error& e) {
        return fail(e.description());
    }
    return out;
}

namespace {

void tell(QString* notice, const QStringList& parts) {
    if (!notice) return;
    QStringList given = parts;
    given.removeAll(QString());
    *notice = given.join(QLatin1Char('\n'));
}

// The stored string of a row; empty optional when there is no such row.
std::optional<QString> storedString(db::Connection& conn, qint64 pk) {
    const db::Table t =
        conn.query(QStringLiteral("SELECT cn_string FROM connections WHERE primarykey = ?"), {pk});
    if (t.rows.empty()) return std::nullopt;
    return t.rows.front().at(0).value_or(QString());
}

} // namespace

namespace {

// A save of a row whose string is sealed first (its passwords moved to the
// keyring). run() calls the body with the resource database inside one try:
// a database failure forgets the entries the seal wrote, so no keyring entry
// is left that no row refers to.
class SealedSave {
public:
    explicit SealedSave(QString* notice) : vault_(store::currentSecretStore()) { tell(notice, {}); }

    Result<store::SealedPasswords> seal(const QString& cs, const QStringList& ownIds) {
        auto sealed = store::sealPasswords(cs, ownIds, vault_);
        if (sealed) written_ = sealed->written;
        return sealed;
    }
    // Forgets what seal wrote (the row was not saved after all).
    void undo() {
        store::forgetPasswords(written_, vault_);
        written_.clear();
    }
    SecretStore& vault() { return vault_; }

    template <typename R, typename Body> R run(Body body) {
        try {
            auto conn = ResourceDb::open();
            return body(*conn);
        } catch (const db::Error& e) {
            undo();
            return fail(e.description());
        }
    }

private:
    SecretStore& vault_;
    QStringList written_;
};

} // namespace

Result<qint64> ConnectionStore::insertConnection(const QString& name, const QString& cs, int type,
                                                 QString* notice) {
    SealedSave save(notice);
    return save.run<Result<qint64>>([&](db::Connection& conn) -> Result<qint64> {
        const auto sealed = save.seal(cs, {});
        if (!sealed) return fail(sealed.error());
        conn.exec(QStringLiteral("INSERT INTO connections (name, cn_string, type) VALUES (?, ?, ?)"),
                  {name, sealed->connectionString, type});
        const db::Table t = conn.query(QStringLiteral("SELECT last_insert_rowid()"));
        tell(notice, {sealed->notice});
        return t.rows.at(0).at(0).value_or(QStringLiteral("0")).toLongLong();
    });
}

Status ConnectionStore::updateConnection(qint64 pk, const QString& name, const QString& cs, int type,
                                         QString* notice) {
    SealedSave save(notice);
    return save.run<Status>([&](db::Connection& conn) -> Status {
        const std::optional<QString> old = storedString(conn, pk);
        if (!old) return fail(QStringLiteral("No saved connection is selected."));
        const QStringList ownIds = store::passwordReferenceIds(*old);
        const auto sealed = save.seal(cs, ownIds);
        if (!sealed) return fail(sealed.error());
        const qint64 n = conn.exec(
            QStringLiteral("UPDATE connections SET name = ?, cn_string = ?, type = ? WHERE primarykey = ?"),
            {name, sealed->connectionString, type, pk});
        if (n == 0) {
            save.undo();
            return fail(QStringLiteral("No saved connection is selected."));
        }
        // Entries the row no longer refers to (a new password replaced them).
        QStringList stale;
        const QStringList kept = store::passwordReferenceIds(sealed->connectionString);
        for (const QString& id : ownIds)
            if (!kept.contains(id)) stale << id;
        tell(notice, {sealed->notice, store::forgetPasswords(stale, save.vault())});
        return {};
    });
}

Status ConnectionStore::deleteConnection(qint64 pk, QString* notice) {
    tell(notice, {});
    try {
        auto conn = ResourceDb::open();
        const std::optional<QString> old = storedString(*conn, pk);
        const qint64 n = conn->exec(QStringLiteral("DELETE FROM connections WHERE primarykey = ?"), {pk});
        if (n == 0 || !old) return fail(QStringLiteral("No saved connection is selected."));
        tell(notice, {store::forgetPasswords(store::passwordReferenceIds(*old), store::currentSecretStore())});
        return {};
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Result<QString> ConnectionStore::connectionForUse(const QString& cs) {
    if (store::passwordReferenceIds(cs).isEmpty()) return cs; // nothing to ask the keyring for
    return store::resolvePasswords(cs, store::currentSecretStore());
}

ConnectionStore::PasswordStore ConnectionStore::passwordStore() {
    SecretStore& vault = store::currentSecretStore();
    if (vault.isAvailable()) return {true, {}};
    return {false, vault.unavailableReason()};
}

QString ConnectionStore::typeText(int type) {
    switch (ConnectionType(type)) {
    case ConnectionType::TSql: return QStringLiteral("T-SQL (MS SQL)");
    case ConnectionType::JetSql: return QStringLiteral("JET SQL");
    case ConnectionType::AnsiSql: return QStringLiteral("ANSI SQL");
    case ConnectionType::PostgreSql: return QStringLiteral("PostgreSQL");
    case ConnectionType::MySql: return QStringLiteral("MySQL/MariaDB");
    case ConnectionType::Sqlite: return QStringLiteral("SQLite");
    case ConnectionType::Unknown: break;
    }
    return {};
}

int ConnectionStore::typeNumber(const QString& text) {
    for (int t = 1; t <= kTypeCount; ++t)
        if (text == typeText(t)) return t;
    return 1;
}

ConnectionType ConnectionStore::typeForServer(db::ServerFamily server) {
    switch (server) {
    case db::ServerFamily::SQLite: return ConnectionType::Sqlite;
    case db::ServerFamily::PostgreSQL: return ConnectionType::PostgreSql;
    case db::ServerFamily::MariaDB: return ConnectionType::MySql;
    case db::ServerFamily::SqlServer: return ConnectionType::TSql;
    case db::ServerFamily::Other: break;
    }
    return ConnectionType::AnsiSql;
}
