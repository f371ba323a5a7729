#pragma once
// Starting one SSH tunnel: ssh -N -L on a free local port, waited for until
// the port answers, and what to do when ssh gives up: a host key it does
// not know is shown to the user (SshPrompts) and trusted only on their word;
// a key file that needs its passphrase is asked for and handed over through
// the askpass channel; anything else fails with ssh's own words.

#include "base/Result.h"
#include "net/SshTunnel.h"

#include <memory>

namespace net {

Result<std::shared_ptr<SshTunnel>> startTunnel(const TunnelTarget& target, int timeoutSeconds);

} // namespace net
