#pragma once
// How an external query tool takes its password. Every local user can read
// a running program's arguments (ps), so a password is handed to a tool that
// reads one from its environment there instead, and only a tool known to
// take it on its command line alone gets it as a switch, with a warning in
// the options dialog.

#include <QString>

namespace external {

// The environment variable program reads its password from, by the name of
// its file (psql and the PostgreSQL tools: PGPASSWORD; mysql, mariadb and
// theirs: MYSQL_PWD; sqlcmd: SQLCMDPASSWORD); empty for any other program.
QString passwordVariable(const QString& program);

// What the options dialog says beside a tool's password: where it goes, or
// that every local user can read it while the tool runs. Empty without a
// password.
QString passwordNote(const QString& program, const QString& password);

} // namespace external
