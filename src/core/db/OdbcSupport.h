#pragma once
// Small pieces shared by the ODBC backend: the process-wide environment
// handle, wide-string conversion and turning diagnostics into db::Error.

#include "db/DbError.h"

#include <QString>
#include <QStringList>

#include <sql.h>
#include <sqlext.h>

#include <vector>

namespace db::odbc {

// The ODBC 3 environment shared by every connection of the process.
SQLHENV environment();

inline bool succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// QString <-> SQLWCHAR (UTF-16 on unixODBC).
inline SQLWCHAR* wide(const QString& s) { return reinterpret_cast<SQLWCHAR*>(const_cast<ushort*>(s.utf16())); }
inline QString fromWide(const SQLWCHAR* s, qsizetype chars) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(s), chars);
}

// Appends UTF-16 text as UTF-8 (lone surrogates become U+FFFD).
void appendUtf8(std::vector<char>& out, const SQLWCHAR* s, size_t chars);

// The diagnostics of a handle as an Error. secrets are scrubbed from the text.
Error diagnostics(SQLSMALLINT handleType, SQLHANDLE handle, const QString& context = {},
                  const QStringList& secrets = {});

// Throws diagnostics(...) unless rc succeeded.
void check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* context);

// True when the process's LC_CTYPE codeset is UTF-8.
bool processCodesetIsUtf8();

// Installed drivers and data sources, for the connection dialog.
QStringList installedDrivers();
QStringList dataSources();

} // namespace db::odbc
