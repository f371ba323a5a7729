#!/usr/bin/env bash
# Completion popup on a PostgreSQL database with 10,000 tables, the popup
# with 10,000 tables x 20 columns already cached, and what the statement at
# the caret expects in a 20,000-line script (called by bench/run). The
# database bench_assist is made once and kept.
set -euo pipefail
tables=${BENCH_TABLES:-10000}
psql_admin=$SQLQE_TEST_PG_PSQL
psql_bench=${SQLQE_TEST_PG_PSQL/dbname=sqlqe_test/dbname=bench_assist}
odbc_bench=${SQLQE_TEST_PG/Database=sqlqe_test/Database=bench_assist}
if [ "$(psql "$psql_admin" -Atc "SELECT count(*) FROM pg_database WHERE datname = 'bench_assist'")" = 0 ]; then
  psql "$psql_admin" -qc "CREATE DATABASE bench_assist"
fi
have=$(psql "$psql_bench" -Atc "SELECT count(*) FROM pg_tables WHERE schemaname = 'public'")
if [ "$have" -lt "$tables" ]; then
  # a thousand tables per transaction: one transaction of all of them would run out of locks
  for ((from = have + 1; from <= tables; from += 1000)); do
    to=$((from + 999 < tables ? from + 999 : tables))
    psql "$psql_bench" -qc "DO \$\$ BEGIN FOR i IN $from..$to LOOP
      EXECUTE format('CREATE TABLE %I (id integer PRIMARY KEY, name text, amount numeric(12,2), created date)',
                     'table_' || lpad(i::text, 5, '0'));
    END LOOP; END \$\$;"
  done
fi
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BUILD/bench/bench_completion" "$odbc_bench" "${RUNS:-5}"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BUILD/bench/bench_completion_cached" "${RUNS:-5}"
"$BUILD/bench/bench_statement_context" 15
