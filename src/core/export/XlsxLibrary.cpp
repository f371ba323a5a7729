#include "export/XlsxLibrary.h"

#include <dlfcn.h>

#include <atomic>
#include <mutex>

namespace exports {
namespace {
std::once_flag once;
std::atomic<bool> loaded{false};
XlsxLibrary table;
QString failure;

bool fill(void* handle) {
#define SQLQE_XLSX_RESOLVE(name)                                                                                   \
    table.name = reinterpret_cast<decltype(table.name)>(dlsym(handle, #name));                                     \
    if (!table.name) return false;
    SQLQE_XLSX_FUNCTIONS(SQLQE_XLSX_RESOLVE)
#undef SQLQE_XLSX_RESOLVE
    return true;
}

void load() {
    void* handle = nullptr;
    for (const char* name : {"libxlsxwriter.so.4", "libxlsxwriter.so"})
        if ((handle = dlopen(name, RTLD_NOW | RTLD_LOCAL))) break;
    if (handle && fill(handle)) {
        loaded = true;
        return;
    }
    const char* why = dlerror();
    failure = QStringLiteral("The workbook library (libxlsxwriter) could not be loaded (%1). Install it, or save "
                             "as CSV instead.")
                  .arg(why ? QString::fromLocal8Bit(why) : QStringLiteral("a function is missing"));
}
} // namespace

const XlsxLibrary* xlsx() {
    std::call_once(once, load);
    return loaded ? &table : nullptr;
}

QString xlsxLoadError() {
    xlsx();
    return failure;
}

bool xlsxLoaded() { return loaded; }

} // namespace exports
