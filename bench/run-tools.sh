#!/usr/bin/env bash
# An external tool's gigabyte of output: file and printed (called by bench/run).
"$BUILD/bench/bench_tool_output"
