#!/usr/bin/env bash
# Grid model memory and fill time (called by bench/run).
"$BUILD/bench/bench_grid" "Provider=SQLite;Data Source=$OUT/big.db" "SELECT * FROM t"
