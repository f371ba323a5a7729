#!/usr/bin/env bash
# The object tree's filter at 10,000 tables (called by bench/run): each
# change of the filter text against filling the same folder, same run.
set -euo pipefail
QT_QPA_PLATFORM=offscreen "$BUILD/bench/bench_filter" "${RUNS:-5}"
