#pragma once
// The state of the keyboard's lock keys (Caps Lock, Num Lock), read from the
// display server where it tells them (X11); nullopt where it cannot be known
// (Wayland, offscreen), so nothing false is shown.

#include <optional>

namespace common {

std::optional<bool> capsLockOn();
std::optional<bool> numLockOn();

} // namespace common
