#include "common/LockKeys.h"

#include <QGuiApplication>

#ifdef SQLQE_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace common {
namespace {

// The X keyboard's indicator bits, when connected to an X server.
std::optional<unsigned> indicators() {
#ifdef SQLQE_HAVE_X11
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display()) return std::nullopt;
    unsigned state = 0;
    if (XkbGetIndicatorState(x11->display(), XkbUseCoreKbd, &state) != 0) return std::nullopt;
    return state;
#else
    return std::nullopt;
#endif
}

} // namespace

// Caps Lock is the first indicator and Num Lock the second on X servers.
std::optional<bool> capsLockOn() {
    const auto s = indicators();
    return s ? std::optional<bool>((*s & 1u) != 0) : std::nullopt;
}

std::optional<bool> numLockOn() {
    const auto s = indicators();
    return s ? std::optional<bool>((*s & 2u) != 0) : std::nullopt;
}

} // namespace common
