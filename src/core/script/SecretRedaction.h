#pragma once
// Secrets typed into SQL, found by the lexer and replaced by '****' before
// a script is kept anywhere (the query history): the literal after
//  - PASSWORD or OLD_PASSWORD (CREATE/ALTER USER/ROLE/LOGIN … PASSWORD 'x',
//    WITH PASSWORD = N'x', PASSWORD('x'), SET PASSWORD [FOR u] = 'x', and
//    OPTIONS (… password 'x') of CREATE SERVER / USER MAPPING);
//  - IDENTIFIED … BY or USING (IDENTIFIED BY 'x', IDENTIFIED WITH plugin BY 'x',
//    IDENTIFIED VIA plugin USING PASSWORD('x'));
// and the value of password= / pwd= inside any string (the connection
// strings of dblink and the like). Strings, dollar bodies, numbers (a hashed
// password) and MySQL's "…" strings count as literals. Everything else of
// the script stays as written.

#include <QString>
#include <QStringList>

namespace script {

struct RedactedScript {
    QString text;        // the script with every secret as '****'
    QStringList secrets; // what was taken out, to scrub from messages too
};

RedactedScript redactSecrets(const QString& script);

} // namespace script
