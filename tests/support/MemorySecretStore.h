#pragma once
// A secret store in memory, standing in for the desktop keyring. The test
// mains install one that is unavailable (as on a machine without a keyring),
// so no test ever writes to the keyring of the person running it; a test
// that wants a keyring installs an available one for its scope.

#include "store/SecretStore.h"

#include <QStringList>
#include <map>
#include <memory>

class MemorySecretStore : public SecretStore {
public:
    explicit MemorySecretStore(bool available) : available(available) {}

    bool available;
    QString reason = QStringLiteral("No desktop keyring is available: none in tests");
    bool refuseWrites = false; // available, but every write fails (a locked collection)
    bool refuseReads = false;
    bool refuseRemoves = false;
    std::map<QString, QString> entries;
    int writes = 0, reads = 0, removes = 0, probes = 0;

    bool isAvailable() override {
        ++probes;
        return available;
    }
    QString unavailableReason() const override { return available ? QString() : reason; }
    Status write(const QString& key, const QString& secret) override {
        ++writes;
        if (!available || refuseWrites)
            return fail(QStringLiteral("Cannot create an item in a locked collection"));
        entries[key] = secret;
        return {};
    }
    Result<QString> read(const QString& key) override {
        ++reads;
        if (!available || refuseReads) return fail(reason);
        const auto it = entries.find(key);
        if (it == entries.end())
            return fail(QStringLiteral("The desktop keyring holds no entry \"%1\".").arg(key));
        return it->second;
    }
    Status remove(const QString& key) override {
        ++removes;
        if (!available || refuseRemoves) return fail(reason);
        entries.erase(key);
        return {};
    }
    QStringList keys() const {
        QStringList out;
        for (const auto& e : entries)
            out << e.first;
        return out;
    }
};

// Installs a store for one scope and puts the previous one back afterwards.
template <typename Store> class ScopedSecretStore {
public:
    template <typename... Args> explicit ScopedSecretStore(Args&&... args) {
        auto store = std::make_unique<Store>(std::forward<Args>(args)...);
        store_ = store.get();
        previous_ = store::replaceSecretStore(std::move(store));
    }
    ~ScopedSecretStore() { store::replaceSecretStore(std::move(previous_)); }
    ScopedSecretStore(const ScopedSecretStore&) = delete;
    ScopedSecretStore& operator=(const ScopedSecretStore&) = delete;

    Store* operator->() const { return store_; }
    Store& operator*() const { return *store_; }

private:
    Store* store_ = nullptr;
    std::unique_ptr<SecretStore> previous_;
};
