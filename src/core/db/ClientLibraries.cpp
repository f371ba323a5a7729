#include "db/ClientLibraries.h"

#include "db/DbError.h"

#include <dlfcn.h>

#include <initializer_list>

namespace db {
namespace {

// Opens the first of the names that loads; nullptr when none does.
void* openLibrary(std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (void* h = dlopen(n, RTLD_NOW | RTLD_LOCAL)) return h;
    return nullptr;
}

template <typename Table, typename Fill>
Table load(std::initializer_list<const char*> names, const char* what, Fill fill) {
    Table t;
    void* handle = openLibrary(names);
    const bool complete = handle && fill(t, handle);
    if (!complete)
        throw Error::usage(QStringLiteral("The %1 could not be loaded (%2). Install it, or add Backend=ODBC to the "
                                          "connection string to use the ODBC driver.")
                               .arg(QLatin1String(what), QString::fromLocal8Bit(dlerror())));
    return t;
}

#define SQLQE_RESOLVE(name)                                                                                        \
    t.name = reinterpret_cast<decltype(t.name)>(dlsym(handle, #name));                                             \
    if (!t.name) return false;

#define SQLQE_RESOLVE_OPTIONAL(name) t.name = reinterpret_cast<decltype(t.name)>(dlsym(handle, #name));

} // namespace

const LibPq& pq() {
    // loaded once, kept for the life of the process
    static const LibPq table = load<LibPq>({"libpq.so.5", "libpq.so"}, "PostgreSQL client library (libpq5)",
                                           [](LibPq& t, void* handle) {
                                               SQLQE_LIBPQ_FUNCTIONS(SQLQE_RESOLVE)
                                               SQLQE_LIBPQ_OPTIONAL_FUNCTIONS(SQLQE_RESOLVE_OPTIONAL)
                                               return true;
                                           });
    return table;
}

const LibMariaDb& my() {
    static const LibMariaDb table = load<LibMariaDb>(
        {"libmariadb.so.3", "libmariadb.so"}, "MariaDB client library (libmariadb3)", [](LibMariaDb& t, void* handle) {
            SQLQE_MARIADB_FUNCTIONS(SQLQE_RESOLVE)
            return true;
        });
    return table;
}

} // namespace db
