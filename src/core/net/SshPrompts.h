#pragma once
// The questions an SSH tunnel may need the user to answer: whether to trust
// a jump host's key that known_hosts does not have, and a key file's
// passphrase. The editor installs an implementation that asks in dialogs;
// the headless runner installs none, and the tunnel then fails saying why.
//
// Called on the thread that opens the connection (never the UI thread's own
// event handling): an implementation shows its dialog on the UI thread and
// waits for the answer.

#include <QString>
#include <optional>

namespace net {

class SshPrompts {
public:
    virtual ~SshPrompts() = default;
    // host ("jump.example.com" or "[10.0.0.5]:2222") offers keys that
    // known_hosts does not list; fingerprints: one line per key
    // ("ED25519 SHA256:…"). True: trust them (they are added to known_hosts).
    virtual bool trustHostKey(const QString& host, const QString& fingerprints) = 0;
    // The passphrase of keyFile; nullopt when the user cancels.
    virtual std::optional<QString> passphrase(const QString& keyFile) = 0;

    // The installed prompts (not owned), or nullptr.
    static SshPrompts* installed();
    static void install(SshPrompts* prompts);
};

} // namespace net
