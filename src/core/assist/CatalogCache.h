#pragma once
// The names the completion popup lists for a connection: its tables (user
// tables, then system tables) and the columns of each table asked for. A
// name list is read off the UI thread the first time it is wanted and kept
// until refresh(), so reopening the popup on a database with thousands of
// tables lists them at once. Failed reads are reported but not kept: the
// next request reads again.
//
// Requests for a list that is being read join that read. A refresh while
// reads are under way starts them again and drops the older answers.

#include "base/Result.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class CatalogCache : public QObject {
    Q_OBJECT
public:
    struct Tables {
        QStringList user;
        QStringList system;
    };
    using TablesDone = std::function<void(const Result<Tables>&)>;
    using NamesDone = std::function<void(const Result<QStringList>&)>;

    // The readers behind the cache (the schema reader's by default); tests
    // and benchmarks put their own. Each runs on a worker thread.
    struct Readers {
        std::function<Result<QStringList>(const QString& connectionString)> tables;
        std::function<Result<QStringList>(const QString& connectionString)> systemTables;
        std::function<Result<QStringList>(const QString& connectionString, const QString& table,
                                          const QString& database)>
            columns;
    };

    explicit CatalogCache(QObject* parent = nullptr);
    void setReaders(Readers readers) { readers_ = std::move(readers); }

    // Calls done with the tables of the connection: at once (before
    // returning true) when they are cached, otherwise on the UI thread once
    // they are read (and returns false). done is not called when the cache
    // is destroyed first.
    bool requestTables(const QString& connectionString, TablesDone done);
    // The same for the columns of one table; database (when not empty) is
    // the database to read them from.
    bool requestColumns(const QString& connectionString, const QString& database, const QString& table,
                        NamesDone done);

    // The cached tables of a connection, without reading; nullptr when
    // they are not cached.
    const Tables* cachedTables(const QString& connectionString) const;

    // Forgets every cached list; lists being read are read again.
    void refresh();
    // How many reads have been started (for tests and benchmarks).
    int readsStarted() const { return readsStarted_; }

private:
    template <typename T> struct Slot {
        std::optional<T> value;
        bool loading = false;
        int generation = 0; // of the read under way
        std::function<Result<T>()> read;
        std::vector<std::function<void(const Result<T>&)>> waiting;
    };
    template <typename T>
    bool request(QHash<QString, Slot<T>>& store, const QString& key, std::function<Result<T>()> read,
                 std::function<void(const Result<T>&)> done);
    template <typename T> void startRead(QHash<QString, Slot<T>>& store, const QString& key);
    template <typename T> void restartLoading(QHash<QString, Slot<T>>& store);

    Readers readers_;
    QHash<QString, Slot<Tables>> tables_;
    QHash<QString, Slot<QStringList>> columns_;
    int generation_ = 0;
    int readsStarted_ = 0;
};
