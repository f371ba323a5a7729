#include "external/ToolPassword.h"

#include <QFileInfo>

#include <array>
#include <string_view>

namespace external {

namespace {

struct Reader {
    std::string_view program;
    const char* variable;
};

constexpr std::array kReaders = {
    Reader{"psql", "PGPASSWORD"},        Reader{"pg_dump", "PGPASSWORD"},
    Reader{"pg_dumpall", "PGPASSWORD"},  Reader{"pg_restore", "PGPASSWORD"},
    Reader{"pgbench", "PGPASSWORD"},     Reader{"pg_isready", "PGPASSWORD"},
    Reader{"vacuumdb", "PGPASSWORD"},    Reader{"reindexdb", "PGPASSWORD"},
    Reader{"clusterdb", "PGPASSWORD"},   Reader{"createdb", "PGPASSWORD"},
    Reader{"dropdb", "PGPASSWORD"},      Reader{"createuser", "PGPASSWORD"},
    Reader{"dropuser", "PGPASSWORD"},    Reader{"mysql", "MYSQL_PWD"},
    Reader{"mariadb", "MYSQL_PWD"},      Reader{"mysqldump", "MYSQL_PWD"},
    Reader{"mariadb-dump", "MYSQL_PWD"}, Reader{"mysqladmin", "MYSQL_PWD"},
    Reader{"mariadb-admin", "MYSQL_PWD"}, Reader{"mysqlimport", "MYSQL_PWD"},
    Reader{"mariadb-import", "MYSQL_PWD"}, Reader{"mysqlcheck", "MYSQL_PWD"},
    Reader{"mariadb-check", "MYSQL_PWD"}, Reader{"mysqlshow", "MYSQL_PWD"},
    Reader{"mariadb-show", "MYSQL_PWD"}, Reader{"sqlcmd", "SQLCMDPASSWORD"},
};

} // namespace

QString passwordVariable(const QString& program) {
    const QByteArray name = QFileInfo(program.trimmed()).fileName().toUtf8();
    for (const Reader& r : kReaders)
        if (r.program == std::string_view(name.constData(), size_t(name.size()))) return QString::fromLatin1(r.variable);
    return {};
}

QString passwordNote(const QString& program, const QString& password) {
    if (password.isEmpty()) return {};
    const QString name = QFileInfo(program.trimmed()).fileName();
    const QString variable = passwordVariable(program);
    if (!variable.isEmpty())
        return QStringLiteral("The password goes to %1 in its environment (%2), not on its command line.")
            .arg(name, variable);
    return QStringLiteral("%1 takes the password only on its command line: every user of this computer can "
                          "read it there while the tool runs.")
        .arg(name.isEmpty() ? QStringLiteral("This tool") : name);
}

} // namespace external
