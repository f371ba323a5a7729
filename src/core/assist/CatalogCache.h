#pragma once
// The names completion lists for a connection: its tables and schemas, the
// tables of another schema or database, and the columns of each table asked
// for. A list is read off the UI thread the first time it is wanted and
// then served at once. Failed reads are reported but not kept: the next
// request reads again.
//
// A list is kept until its connection's lists are forgotten (a run that
// changed the schema, the object browser's Refresh, another database chosen:
// forgetEverywhere() reaches the cache of every document) or refresh() (F5
// in the popup). A list older than maxAge (a minute) is still served, and
// read again in the background; updated() says when the newer one is in.
//
// Requests for a list that is being read join that read. Forgetting a list
// while it is read starts the read again and drops the older answer.

#include "assist/CompletionCandidates.h"
#include "base/Result.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class CatalogCache : public QObject, public assist::CatalogView {
    Q_OBJECT
public:
    using Tables = assist::CatalogTables;
    using TableList = std::vector<assist::CatalogTable>;
    using TablesDone = std::function<void(const Result<Tables>&)>;
    using TableListDone = std::function<void(const Result<TableList>&)>;
    using NamesDone = std::function<void(const Result<QStringList>&)>;

    // The readers behind the cache (the completion catalogue's by default);
    // tests and benchmarks put their own. Each runs on a worker thread.
    struct Readers {
        std::function<Result<Tables>(const QString& connectionString)> tables;
        std::function<Result<TableList>(const QString& connectionString, const QString& schema)> tablesIn;
        std::function<Result<QStringList>(const QString& connectionString, const QString& database,
                                          const QString& schema, const QString& table)>
            columns;
    };

    explicit CatalogCache(QObject* parent = nullptr);
    ~CatalogCache() override;
    void setReaders(Readers readers) { readers_ = std::move(readers); }
    // Lists older than this are read again on their next request (milliseconds).
    void setMaxAge(qint64 milliseconds) { maxAgeMs_ = milliseconds; }

    // Calls done with the tables of the connection: at once (before
    // returning true) when they are cached, otherwise on the UI thread once
    // they are read (and returns false). done is not called when the cache
    // is destroyed first.
    bool requestTables(const QString& connectionString, TablesDone done);
    // The same for the tables of one schema (or database).
    bool requestTablesIn(const QString& connectionString, const QString& schema, TableListDone done);
    // The same for the columns of one table: database and schema (when not
    // empty) say where it is.
    bool requestColumns(const QString& connectionString, const assist::ColumnSource& source, NamesDone done);

    // The cached lists, without reading; nullptr when they are not cached.
    const Tables* cachedTables(const QString& connectionString) const;
    // The catalogue of one connection as the candidate builder sees it.
    const assist::CatalogView& viewOf(const QString& connectionString);

    // Forgets every cached list; lists being read are read again.
    void refresh();
    // Forgets the lists of one connection.
    void forget(const QString& connectionString);
    // forget() in every cache of the program (the UI thread's).
    static void forgetEverywhere(const QString& connectionString);
    // How many reads have been started (for tests and benchmarks).
    int readsStarted() const { return readsStarted_; }

    // CatalogView, for the connection viewOf() chose.
    const Tables* tables() const override { return cachedTables(viewed_); }
    const TableList* tablesIn(const QString& schema) const override;
    const QStringList* columns(const assist::ColumnSource& source) const override;

signals:
    // A list of the connection was read again in the background.
    void updated(const QString& connectionString);

private:
    template <typename T> struct Slot {
        std::optional<T> value;
        qint64 readAt = 0; // when value was read (the cache's clock)
        bool loading = false;
        int generation = 0; // of the read under way
        std::function<Result<T>()> read;
        std::vector<std::function<void(const Result<T>&)>> waiting;
    };
    template <typename T> using Store = QHash<QString, Slot<T>>;
    template <typename T>
    bool request(Store<T>& store, const QString& key, std::function<Result<T>()> read,
                 std::function<void(const Result<T>&)> done);
    template <typename T> void startRead(Store<T>& store, const QString& key);
    template <typename T> void forgetIn(Store<T>& store, const std::function<bool(const QString&)>& which);
    template <typename T> const T* cached(const Store<T>& store, const QString& key) const;
    void forgetWhere(const std::function<bool(const QString&)>& which);

    Readers readers_;
    Store<Tables> tables_;
    Store<TableList> tablesIn_;
    Store<QStringList> columns_;
    QString viewed_;
    QElapsedTimer clock_;
    qint64 maxAgeMs_ = 60 * 1000;
    int generation_ = 0;
    int readsStarted_ = 0;
};
