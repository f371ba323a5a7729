#pragma once
// The MariaDB/MySQL option files as the mariadb command-line client reads
// them: /etc/my.cnf, /etc/mysql/my.cnf and ~/.my.cnf in that order (a later
// value wins), with their !include and !includedir lines, groups [client],
// [client-server], [client-mariadb], [mysql] and [mariadb-client].
//
// Read here rather than by Connector/C (MYSQL_READ_DEFAULT_GROUP): the
// library applies the files inside mysql_real_connect, after the options
// the connection string set, so a file's ssl-ca would override the string's
// SSLCA; and it reads only one group besides the [client…] ones. Here the
// string's keys win and every group of the command-line client counts.
//
// Format: "[group]" lines; "name = value" or a bare "name" (a flag);
// "loose-" prefixes dropped; '#' and ';' lines and '#' after a value are
// comments; values may be quoted and use \n \t \r \b \s \\ escapes.

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace db::maria {

struct OptionFileEntry {
    QString name;  // as written, "loose-" dropped
    QString value; // empty for a flag
};

// The options of the groups found in the files (and the files they
// include), in reading order. A missing or unreadable file is skipped.
std::vector<OptionFileEntry> readOptionFiles(const QStringList& files, const QStringList& groups);

// The client's files: /etc/my.cnf, /etc/mysql/my.cnf, $HOME/.my.cnf.
QStringList clientFiles();
// The groups the mariadb client reads.
QStringList clientGroups();

// The connection keys (Server, Port, Uid, Pwd, SSLCA, …) the client's files
// give, the last value of each; options without a key are left out.
std::vector<std::pair<QString, QString>> clientConnectionKeys();

} // namespace db::maria
