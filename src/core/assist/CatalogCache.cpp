#include "assist/CatalogCache.h"

#include "base/Background.h"

#include <QList>

namespace {

// Keys join the connection and the names with a character no name contains.
const QChar kSeparator(0x1f);

QString keyOf(const QString& cs, std::initializer_list<QString> names) {
    QString key = cs;
    for (const QString& n : names)
        key += kSeparator + n;
    return key;
}

QString connectionOf(const QString& key) {
    const qsizetype at = key.indexOf(kSeparator);
    return at < 0 ? key : key.left(at);
}

QString columnKey(const QString& cs, const assist::ColumnSource& s) {
    return keyOf(cs, {s.database, s.schema, s.table});
}

// Every cache of the program; all live on the UI thread.
QList<CatalogCache*>& allCaches() {
    static QList<CatalogCache*> caches;
    return caches;
}

} // namespace

CatalogCache::CatalogCache(QObject* parent) : QObject(parent) {
    readers_.tables = assist::readTables;
    readers_.tablesIn = assist::readTablesIn;
    readers_.columns = assist::readColumns;
    clock_.start();
    allCaches().append(this);
}

CatalogCache::~CatalogCache() {
    allCaches().removeOne(this);
}

template <typename T>
bool CatalogCache::request(Store<T>& store, const QString& key, std::function<Result<T>()> read,
                           std::function<void(const Result<T>&)> done) {
    Slot<T>& slot = store[key];
    if (slot.value) {
        if (!slot.loading && clock_.elapsed() - slot.readAt > maxAgeMs_) {
            slot.read = std::move(read); // stale: served now, read again behind it
            startRead(store, key);
        }
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

template <typename T> void CatalogCache::startRead(Store<T>& store, const QString& key) {
    Slot<T>& slot = store[key];
    slot.loading = true;
    slot.generation = ++generation_;
    ++readsStarted_;
    const int generation = slot.generation;
    runInBackground<Result<T>>(this, slot.read, [this, &store, key, generation](Result<T> r) {
        auto it = store.find(key);
        if (it == store.end() || !it->loading || it->generation != generation)
            return; // forgotten meanwhile: a newer read answers
        it->loading = false;
        const bool replaced = it->value.has_value();
        if (r.ok()) { // failures are not kept (a stale list stays until a read succeeds)
            it->value = r.value();
            it->readAt = clock_.elapsed();
        }
        auto waiting = std::move(it->waiting);
        it->waiting.clear();
        if (!it->value) store.erase(it);
        for (auto& done : waiting)
            done(r);
        if (replaced && r.ok()) emit updated(connectionOf(key));
    });
}

template <typename T>
void CatalogCache::forgetIn(Store<T>& store, const std::function<bool(const QString&)>& which) {
    QStringList reload;
    for (auto it = store.begin(); it != store.end();) {
        if (!which(it.key())) {
            ++it;
        } else if (it->loading) {
            it->value.reset();
            reload << it.key();
            ++it;
        } else {
            it = store.erase(it);
        }
    }
    for (const QString& key : reload)
        startRead(store, key);
}

template <typename T> const T* CatalogCache::cached(const Store<T>& store, const QString& key) const {
    const auto it = store.constFind(key);
    return it != store.cend() && it->value ? &*it->value : nullptr;
}

bool CatalogCache::requestTables(const QString& cs, TablesDone done) {
    auto read = [reader = readers_.tables, cs] { return reader(cs); };
    return request<Tables>(tables_, cs, read, std::move(done));
}

bool CatalogCache::requestTablesIn(const QString& cs, const QString& schema, TableListDone done) {
    auto read = [reader = readers_.tablesIn, cs, schema] { return reader(cs, schema); };
    return request<TableList>(tablesIn_, keyOf(cs, {schema.toLower()}), read, std::move(done));
}

bool CatalogCache::requestColumns(const QString& cs, const assist::ColumnSource& source, NamesDone done) {
    auto read = [reader = readers_.columns, cs, source] {
        return reader(cs, source.database, source.schema, source.table);
    };
    return request<QStringList>(columns_, columnKey(cs, source), read, std::move(done));
}

const CatalogCache::Tables* CatalogCache::cachedTables(const QString& cs) const {
    return cached(tables_, cs);
}

const assist::CatalogView& CatalogCache::viewOf(const QString& cs) {
    viewed_ = cs;
    return *this;
}

const CatalogCache::TableList* CatalogCache::tablesIn(const QString& schema) const {
    return cached(tablesIn_, keyOf(viewed_, {schema.toLower()}));
}

const QStringList* CatalogCache::columns(const assist::ColumnSource& source) const {
    return cached(columns_, columnKey(viewed_, source));
}

void CatalogCache::forgetWhere(const std::function<bool(const QString&)>& which) {
    forgetIn(tables_, which);
    forgetIn(tablesIn_, which);
    forgetIn(columns_, which);
}

void CatalogCache::refresh() {
    forgetWhere([](const QString&) { return true; });
}

void CatalogCache::forget(const QString& cs) {
    forgetWhere([&cs](const QString& key) { return connectionOf(key) == cs; });
}

void CatalogCache::forgetEverywhere(const QString& cs) {
    for (CatalogCache* cache : allCaches())
        cache->forget(cs);
}
