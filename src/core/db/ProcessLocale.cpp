#include "db/ProcessLocale.h"

#include "db/OdbcSupport.h"

#include <clocale>

namespace db {

void useUtf8Ctype() {
    if (odbc::processCodesetIsUtf8()) return;
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
        if (std::setlocale(LC_CTYPE, name)) return;
}

} // namespace db
