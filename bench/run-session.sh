#!/usr/bin/env bash
# Short runs on a kept session against a new connection per run, on SQLite,
# PostgreSQL and MariaDB (called by bench/run).
echo "SQLite file:"
"$BUILD/bench/bench_session" "Provider=SQLite;Data Source=$OUT/big.db" 500
echo "PostgreSQL:"
"$BUILD/bench/bench_session" "$SQLQE_TEST_PG" 200
if [ -n "${SQLQE_TEST_MARIADB:-}" ]; then
  echo "MariaDB:"
  "$BUILD/bench/bench_session" "$SQLQE_TEST_MARIADB" 200
fi
