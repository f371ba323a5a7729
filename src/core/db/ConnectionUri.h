#pragma once
// Connection URIs, as the servers' own clients take them, read into the
// editor's key=value form. ConnectionString reads a URI through here, so
// every caller (the dialog, the manager, the runs, sqlqe-run --connect)
// accepts both forms.
//
//   postgresql://[user[:password]@][host[:port][,host[:port]…]][/dbname][?key=value&…]
//   postgres://…   the same
//   mysql://…, mariadb://…   one host; ssl-mode, ssl-ca, … as the mariadb client names them
//   sqlite:///path/file.db   (also sqlite:relative.db), file:/path, file:///path, file:name.db?mode=ro
//
// Parts are percent-decoded. The PostgreSQL query keys are libpq's
// (sslmode, sslrootcert, application_name, …); host, port, dbname, user and
// password there count like the parts before the '?'. A file: URI goes to
// SQLite whole (it reads the query itself: mode=ro, cache=shared, …).

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace db {

// True when the text (leading blanks aside) starts with a scheme above.
bool isConnectionUri(const QString& text);

// The key=value pairs a URI stands for, in order. Total: a part that does
// not parse is kept as written, for the server to refuse.
std::vector<std::pair<QString, QString>> uriPairs(const QString& uri);

// The URI with its password (the user-info part and a password= key)
// replaced by "****".
QString maskUriPassword(const QString& uri);

// The URI's password as written and as decoded, for scrubbing messages.
QStringList uriPasswords(const QString& uri);

} // namespace db
