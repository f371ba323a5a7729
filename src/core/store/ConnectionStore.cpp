#include "store/ConnectionStore.h"

#include "store/ResourceDb.h"

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

Result<qint64> ConnectionStore::insertConnection(const QString& name, const QString& cs, int type) {
    try {
        auto conn = ResourceDb::open();
        conn->exec(QStringLiteral("INSERT INTO connections (name, cn_string, type) VALUES (?, ?, ?)"), {name, cs, type});
        const db::Table t = conn->query(QStringLiteral("SELECT last_insert_rowid()"));
        return t.rows.at(0).at(0).value_or(QStringLiteral("0")).toLongLong();
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Status ConnectionStore::updateConnection(qint64 pk, const QString& name, const QString& cs, int type) {
    try {
        auto conn = ResourceDb::open();
        const qint64 n = conn->exec(
            QStringLiteral("UPDATE connections SET name = ?, cn_string = ?, type = ? WHERE primarykey = ?"),
            {name, cs, type, pk});
        if (n == 0) return fail(QStringLiteral("No saved connection is selected."));
        return {};
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}

Status ConnectionStore::deleteConnection(qint64 pk) {
    try {
        auto conn = ResourceDb::open();
        const qint64 n = conn->exec(QStringLiteral("DELETE FROM connections WHERE primarykey = ?"), {pk});
        if (n == 0) return fail(QStringLiteral("No saved connection is selected."));
        return {};
    } catch (const db::Error& e) {
        return fail(e.description());
    }
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

ConnectionType ConnectionStore::typeForDbms(const QString& dbms) {
    if (dbms.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0) return ConnectionType::Sqlite;
    if (dbms.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0) return ConnectionType::PostgreSql;
    if (dbms.contains(QLatin1String("MariaDB"), Qt::CaseInsensitive) ||
        dbms.contains(QLatin1String("MySQL"), Qt::CaseInsensitive))
        return ConnectionType::MySql;
    if (dbms.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive)) return ConnectionType::TSql;
    return ConnectionType::AnsiSql;
}
