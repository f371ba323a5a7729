#!/usr/bin/env bash
# Script text preparation timings (called by bench/run).
"$BUILD/bench/bench_scripttext"
"$BUILD/bench/bench_splitter"
