#include "db/OdbcDataSources.h"

#include <odbcinst.h>

namespace db::odbc {

namespace {

QString profileValue(const QString& section, const char* key, const char* file) {
    if (section.trimmed().isEmpty()) return {};
    char buffer[1024] = {};
    const QByteArray name = section.trimmed().toUtf8();
    const int n = SQLGetPrivateProfileString(name.constData(), key, "", buffer, int(sizeof buffer), file);
    return n > 0 ? QString::fromUtf8(buffer, qstrnlen(buffer, sizeof buffer)).trimmed() : QString();
}

} // namespace

QString dataSourceValue(const QString& dsn, const char* key) { return profileValue(dsn, key, "odbc.ini"); }
QString driverValue(const QString& driver, const char* key) { return profileValue(driver, key, "odbcinst.ini"); }

} // namespace db::odbc
