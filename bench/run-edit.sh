#!/usr/bin/env bash
# Saving 10,000 edited rows from the grid against the same statements run
# as a script, on SQLite, PostgreSQL and MariaDB (called by bench/run).
echo "SQLite file:"
"$BUILD/bench/bench_edit_save" "Provider=SQLite;Data Source=$OUT/edit.db" 10000
echo "PostgreSQL:"
"$BUILD/bench/bench_edit_save" "$SQLQE_TEST_PG" 10000
if [ -n "${SQLQE_TEST_MARIADB:-}" ]; then
  echo "MariaDB:"
  "$BUILD/bench/bench_edit_save" "$SQLQE_TEST_MARIADB" 10000
fi
