#pragma once
// Whether the desktop's session bus answers, asked before anything of Qt
// touches it: the accessibility bridge and the keyring connect to it on the
// UI thread and wait for it without end, so a bus socket that accepts and
// never says a word would keep the editor from ever showing a window.
//
// The probe connects to the address in DBUS_SESSION_BUS_ADDRESS (a unix
// socket path or abstract name), sends the bus's authentication greeting
// and waits, on a thread of its own, for any reply. A bus that is silent
// is then switched off for this process (its address is pointed nowhere,
// which Qt and the keyring library give up on at once) and the editor
// says so.

#include <QString>

namespace shell {

enum class SessionBusState {
    NotConfigured, // no address, or one of a kind not probed here (tcp, ...)
    Answers,
    Unreachable, // refused or missing: every client fails at once by itself
    Silent,      // accepts, but did not answer in time
};

SessionBusState probeSessionBus(const QString& address, int timeoutMs);

// Probes DBUS_SESSION_BUS_ADDRESS; when the bus is silent, turns it off for
// this process and returns the notice for the user (else empty). Call
// first in main, before the application object and any thread exist.
QString disableWhenSilent(int timeoutMs = 3000);

} // namespace shell
