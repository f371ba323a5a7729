#include "store/SecretStore.h"

#include "store/KeyringSecretStore.h"

#include <mutex>

namespace store {
namespace {
std::mutex storeMutex;
std::unique_ptr<SecretStore> installed;
} // namespace

SecretStore& currentSecretStore() {
    const std::lock_guard lock(storeMutex);
    if (!installed) installed = std::make_unique<KeyringSecretStore>();
    return *installed;
}

std::unique_ptr<SecretStore> replaceSecretStore(std::unique_ptr<SecretStore> store) {
    const std::lock_guard lock(storeMutex);
    std::unique_ptr<SecretStore> previous = std::move(installed);
    installed = std::move(store);
    return previous;
}

} // namespace store
