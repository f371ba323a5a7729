#pragma once
// Start-up timestamps for profiling: with SQLQE_START_TRACE set in the
// environment, markStartStep() prints "start: <ms since main> <step>" to standard
// error; without it, markStartStep() costs one cached test. Used to see where the time
// to the first frame goes (bench/run gui measures the total).

namespace shell {

// Begins the clock (the first thing main() does).
void beginStartTrace();
void markStartStep(const char* step);

} // namespace shell
