#pragma once
// Start-up timestamps for profiling: with SQLQE_START_TRACE set in the
// environment, mark() prints "start: <ms since main> <step>" to standard
// error; without it, mark() costs one cached test. Used to see where the time
// to the first frame goes (bench/run gui measures the total).

namespace starttrace {

// Begins the clock (the first thing main() does).
void begin();
void mark(const char* step);

} // namespace starttrace
