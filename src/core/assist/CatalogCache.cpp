#include "assist/CatalogCache.h"

#include "base/Background.h"
#include "catalog/SchemaReader.h"

namespace {
// Key of a column list: connection, database and table, joined by a
// character no name contains.
QString columnKey(const QString& cs, const QString& database, const QString& table) {
    return cs + QChar(0x1f) + database + QChar(0x1f) + table;
}
} // namespace

CatalogCache::CatalogCache(QObject* parent) : QObject(parent) {
    readers_.tables = schemareader::getTableList;
    readers_.systemTables = schemareader::getSystemTableList;
    readers_.columns = [](const QString& cs, const QString& table, const QString& database) {
        return schemareader::getColumnList(cs, table, database);
    };
}

template <typename T>
bool CatalogCache::request(QHash<QString, Slot<T>>& store, const QString& key,
                           std::function<Result<T>()> read, std::function<void(const Result<T>&)> done) {
    Slot<T>& slot = store[key];
    if (slot.value) {
        done(*slot.value);
        return true;
    }
    slot.waiting.push_back(std::move(done));
    if (!slot.loading) {
        slot.read = std::move(read);
        startRead(store, key);
    }
    return false;
}

template <typename T> void CatalogCache::startRead(QHash<QString, Slot<T>>& store, const QString& key) {
    Slot<T>& slot = store[key];
    slot.loading = true;
    slot.generation = ++generation_;
    ++readsStarted_;
    const int generation = slot.generation;
    runInBackground<Result<T>>(this, slot.read, [this, &store, key, generation](Result<T> r) {
        auto it = store.find(key);
        if (it == store.end() || !it->loading || it->generation != generation)
            return; // a refresh overtook it
        it->loading = false;
        if (r.ok()) it->value = r.value(); // failures are not kept
        auto waiting = std::move(it->waiting);
        it->waiting.clear();
        if (!it->value) store.erase(it);
        for (auto& done : waiting)
            done(r);
    });
}

template <typename T> void CatalogCache::restartLoading(QHash<QString, Slot<T>>& store) {
    QStringList reload;
    for (auto it = store.begin(); it != store.end();) {
        if (it->loading) {
            reload << it.key();
            ++it;
        } else {
            it = store.erase(it);
        }
    }
    for (const QString& key : reload)
        startRead(store, key);
}

bool CatalogCache::requestTables(const QString& cs, TablesDone done) {
    auto read = [readers = readers_, cs]() -> Result<Tables> {
        Result<QStringList> user = readers.tables(cs);
        if (!user) return fail(user.error());
        Result<QStringList> system = readers.systemTables(cs);
        if (!system) return fail(system.error());
        return Tables{std::move(user).value(), std::move(system).value()};
    };
    return request<Tables>(tables_, cs, read, std::move(done));
}

bool CatalogCache::requestColumns(const QString& cs, const QString& database, const QString& table,
                                  NamesDone done) {
    auto read = [readers = readers_, cs, database, table]() { return readers.columns(cs, table, database); };
    return request<QStringList>(columns_, columnKey(cs, database, table), read, std::move(done));
}

const CatalogCache::Tables* CatalogCache::cachedTables(const QString& cs) const {
    const auto it = tables_.constFind(cs);
    return it != tables_.cend() && it->value ? &*it->value : nullptr;
}

void CatalogCache::refresh() {
    restartLoading(tables_);
    restartLoading(columns_);
}
