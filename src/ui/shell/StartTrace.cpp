#include "shell/StartTrace.h"

#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

namespace shell {
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

void beginStartTrace() { clock().start(); }

void markStartStep(const char* step) {
    if (!enabled() || !clock().isValid()) return;
    std::fprintf(stderr, "start: %7.1f %s\n", double(clock().nsecsElapsed()) / 1e6, step);
}

} // namespace shell
