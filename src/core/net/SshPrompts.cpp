#include "net/SshPrompts.h"

#include <atomic>

namespace net {
namespace {
std::atomic<SshPrompts*> g_prompts{nullptr};
} // namespace

SshPrompts* SshPrompts::installed() {
    return g_prompts.load();
}

void SshPrompts::install(SshPrompts* prompts) {
    g_prompts.store(prompts);
}

} // namespace net
