#pragma once
// The native servers' client libraries (libpq, MariaDB Connector/C), loaded
// the first time a connection needs one: the editor starts and idles
// without them (and their TLS and Kerberos dependencies) in memory, and a
// machine without them still runs every other backend. Calls go through
// the tables below: pq().PQexec(...), my().mysql_init(...).

#include <libpq-fe.h>
#include <mysql.h>

namespace db {

#define SQLQE_LIBPQ_FUNCTIONS(X)                                                                                   \
    X(PQcancel) X(PQclear) X(PQcmdTuples) X(PQconnectdbParams) X(PQconninfoFree) X(PQconninfoParse) X(PQdb)        \
    X(PQerrorMessage) X(PQexec) X(PQfinish) X(PQfmod) X(PQfname) X(PQfreeCancel) X(PQfreemem) X(PQftable) X(PQftablecol)       \
    X(PQftype) X(PQgetCancel) X(PQgetCopyData) X(PQgetResult) X(PQgetisnull) X(PQgetlength) X(PQgetvalue)         \
    X(PQnfields) X(PQntuples) X(PQputCopyData) X(PQputCopyEnd) X(PQresultErrorField) X(PQresultErrorMessage) X(PQresultStatus) X(PQsendQuery)    \
    X(PQsendQueryParams) X(PQsendPrepare) X(PQsendQueryPrepared) X(PQserverVersion) X(PQsetNoticeReceiver) X(PQsetSingleRowMode) X(PQstatus)       \
    X(PQtransactionStatus) X(PQconsumeInput) X(PQisBusy) X(PQsocket)

// Present from libpq 14 on; null with an older library (callers then do without).
#define SQLQE_LIBPQ_OPTIONAL_FUNCTIONS(X) X(PQenterPipelineMode) X(PQexitPipelineMode) X(PQpipelineSync)

#define SQLQE_MARIADB_FUNCTIONS(X)                                                                                 \
    X(mariadb_connection) X(mariadb_get_charset_by_nr) X(mysql_affected_rows) X(mysql_close) X(mysql_errno)         \
    X(mysql_error) X(mysql_fetch_fields) X(mysql_fetch_lengths) X(mysql_fetch_row) X(mysql_field_count)             \
    X(mysql_free_result) X(mysql_get_server_version) X(mysql_init) X(mysql_server_init) X(mysql_more_results)       \
    X(mysql_next_result) X(mysql_num_fields) X(mysql_optionsv) X(mysql_real_connect) X(mysql_real_query)            \
    X(mysql_select_db) X(mysql_sqlstate) X(mysql_stmt_affected_rows) X(mysql_stmt_attr_set)                         \
    X(mysql_stmt_bind_param) X(mysql_stmt_bind_result) X(mysql_stmt_close) X(mysql_stmt_errno) X(mysql_stmt_error)  \
    X(mysql_stmt_execute) X(mysql_stmt_fetch) X(mysql_stmt_free_result) X(mysql_stmt_init) X(mysql_stmt_param_count)     \
    X(mysql_stmt_prepare)                                                                                         \
    X(mysql_stmt_result_metadata) X(mysql_stmt_sqlstate) X(mysql_stmt_store_result) X(mysql_thread_id)              \
    X(mysql_use_result) X(mysql_ping) X(mysql_get_ssl_cipher) X(mysql_warning_count) X(mysql_set_local_infile_handler)

#define SQLQE_DECLARE_FUNCTION(name) decltype(&::name) name = nullptr;

struct LibPq {
    SQLQE_LIBPQ_FUNCTIONS(SQLQE_DECLARE_FUNCTION)
    SQLQE_LIBPQ_OPTIONAL_FUNCTIONS(SQLQE_DECLARE_FUNCTION)
};
struct LibMariaDb {
    SQLQE_MARIADB_FUNCTIONS(SQLQE_DECLARE_FUNCTION)
};

#undef SQLQE_DECLARE_FUNCTION

// The loaded libraries; the first call loads them. Throws db::Error (usage)
// naming the package to install when a library cannot be loaded.
const LibPq& pq();
const LibMariaDb& my();

} // namespace db
