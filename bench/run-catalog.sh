#!/usr/bin/env bash
# Object browser: a 10,000-table folder opened (called by bench/run; PostgreSQL).
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BUILD/bench/bench_catalog" "$SQLQE_TEST_PG" "$RUNS"
