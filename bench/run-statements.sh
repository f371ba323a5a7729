#!/usr/bin/env bash
# A script of 1,000 small statements on PostgreSQL, each on its own as the
# editor sends it, against the same text in one call (called by bench/run).
"$BUILD/bench/bench_statements" "$SQLQE_TEST_PG" 1000 "${RUNS:-5}"
