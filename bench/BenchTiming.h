#pragma once
// Timing helpers the benchmarks share.
#include <QElapsedTimer>
#include <algorithm>
#include <vector>

inline double ms(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
