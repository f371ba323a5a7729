#!/usr/bin/env bash
# Editor load and scroll of a 10 MB script (called by bench/run).
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BUILD/bench/bench_editor"
