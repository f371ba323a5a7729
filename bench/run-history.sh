#!/usr/bin/env bash
# Query history: 5,000 entries listed and searched (called by bench/run).
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BUILD/bench/bench_history" "$RUNS"
