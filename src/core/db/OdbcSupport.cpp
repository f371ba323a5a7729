#include "db/OdbcSupport.h"

#include "db/ConnectionString.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <mutex>

namespace db::odbc {

SQLHENV environment() {
    static SQLHENV env = [] {
        SQLHENV h = SQL_NULL_HENV;
        if (!succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h)))
            throw Error::usage(QStringLiteral("The ODBC driver manager could not be initialised."));
        SQLSetEnvAttr(h, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        return h;
    }();
    return env;
}

void appendUtf8(std::vector<char>& out, const SQLWCHAR* s, size_t chars) {
    const size_t start = out.size();
    out.resize(start + chars * 3);
    char* p = out.data() + start;
    for (size_t i = 0; i < chars; ++i) {
        uint32_t c = s[i];
        if (c < 0x80) {
            *p++ = char(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < chars && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x800) {
            *p++ = char(0xC0 | (c >> 6));
            *p++ = char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *p++ = char(0xE0 | (c >> 12));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
            *p++ = char(0x80 | (c & 0x3F));
        } else {
            *p++ = char(0xF0 | (c >> 18));
            *p++ = char(0x80 | ((c >> 12) & 0x3F));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
            *p++ = char(0x80 | (c & 0x3F));
        }
    }
    out.resize(size_t(p - out.data()));
}

Error diagnostics(SQLSMALLINT handleType, SQLHANDLE handle, const QString& context, const QStringList& secrets) {
    QString description;
    QString firstState;
    SQLINTEGER firstNative = 0;
    bool cancelled = false;
    for (SQLSMALLINT i = 1; i < 20; ++i) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR msg[2048];
        SQLSMALLINT len = 0;
        const SQLRETURN rc = SQLGetDiagRecW(handleType, handle, i, state, &native, msg, SQLSMALLINT(std::size(msg)), &len);
        if (!succeeded(rc)) break;
        const QString st = fromWide(state, 5);
        const QString text = fromWide(msg, std::min<qsizetype>(len, qsizetype(std::size(msg)) - 1));
        if (i == 1) {
            firstState = st;
            firstNative = native;
        }
        if (st == QLatin1String("HY008") || st == QLatin1String("57014") || st == QLatin1String("HY018"))
            cancelled = true;
        if (!description.isEmpty()) description += QLatin1Char('\n');
        description += QStringLiteral("[%1] %2").arg(st, text.trimmed());
    }
    if (description.isEmpty()) description = QStringLiteral("The ODBC call failed without a diagnostic message.");
    if (!context.isEmpty()) description = context + QStringLiteral(": ") + description;
    Error e(firstNative != 0 ? int(firstNative) : kNoErrorNumber, scrubSecrets(description, secrets), firstState);
    e.setCancelled(cancelled);
    return e;
}

void check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* context) {
    if (!succeeded(rc) && rc != SQL_NO_DATA) throw diagnostics(handleType, handle, QString::fromLatin1(context));
}

bool processCodesetIsUtf8() {
    const char* cs = nl_langinfo(CODESET);
    return cs && (std::strcmp(cs, "UTF-8") == 0 || std::strcmp(cs, "utf8") == 0);
}

namespace {
QStringList listNames(bool drivers) {
    QStringList names;
    static std::mutex m; // SQLDrivers/SQLDataSources walk shared environment state
    std::lock_guard lock(m);
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLWCHAR name[512];
        SQLWCHAR attrs[2048];
        SQLSMALLINT nameLen = 0, attrLen = 0;
        const SQLRETURN rc = drivers ? SQLDriversW(environment(), direction, name, 512, &nameLen, attrs, 2048, &attrLen)
                                     : SQLDataSourcesW(environment(), direction, name, 512, &nameLen, attrs, 2048, &attrLen);
        if (!succeeded(rc)) break;
        names << fromWide(name, std::min<qsizetype>(nameLen, 511));
        direction = SQL_FETCH_NEXT;
    }
    return names;
}
} // namespace

QStringList installedDrivers() { return listNames(true); }
QStringList dataSources() { return listNames(false); }

} // namespace db::odbc
