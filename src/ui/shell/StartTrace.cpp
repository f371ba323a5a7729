#include "shell/StartTrace.h"

#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

namespace starttrace {
namespace {
QElapsedTimer& clock() {
    static QElapsedTimer timer;
    return timer;
}
bool enabled() {
    static const bool on = std::getenv("SQLQE_START_TRACE") != nullptr;
    return on;
}
} // namespace

void begin() { clock().start(); }

void mark(const char* step) {
    if (!enabled() || !clock().isValid()) return;
    std::fprintf(stderr, "start: %7.1f %s\n", double(clock().nsecsElapsed()) / 1e6, step);
}

} // namespace starttrace
