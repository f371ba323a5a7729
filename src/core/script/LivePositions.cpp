#include "script/LivePositions.h"

#include <algorithm>

namespace {
constexpr uint64_t kAll = ~uint64_t(0);

// A level of `bits` bits, all set; the bits past its end stay clear.
std::vector<uint64_t> fullWords(int64_t bits) {
    std::vector<uint64_t> words(std::size_t((bits + 63) / 64), kAll);
    if (bits % 64) words.back() = (uint64_t(1) << (bits % 64)) - 1;
    return words;
}
} // namespace

LivePositions::LivePositions(int64_t n) : n_(n < 0 ? 0 : n) {
    levels_.push_back(fullWords(n_));
    while (levels_.back().size() > 1) levels_.push_back(fullWords(int64_t(levels_.back().size())));
}

bool LivePositions::alive(int64_t i) const {
    return i >= 0 && i < n_ && (levels_[0][std::size_t(i >> 6)] >> (i & 63) & 1);
}

void LivePositions::kill(int64_t i) {
    if (i < 0 || i >= n_) return;
    for (auto& level : levels_) {
        uint64_t& word = level[std::size_t(i >> 6)];
        word &= ~(uint64_t(1) << (i & 63));
        if (word) return; // the word still holds a living bit: the levels above stay
        i >>= 6;
    }
}

int64_t LivePositions::nextSet(std::size_t level, int64_t i) const {
    const std::vector<uint64_t>& words = levels_[level];
    const int64_t w = i >> 6;
    if (i < 0 || w >= int64_t(words.size())) return -1;
    if (const uint64_t bits = words[std::size_t(w)] & (kAll << (i & 63)))
        return (w << 6) + std::countr_zero(bits);
    if (level + 1 == levels_.size()) return -1; // the top level has one word
    const int64_t nextWord = nextSet(level + 1, w + 1);
    if (nextWord < 0) return -1;
    return (nextWord << 6) + std::countr_zero(words[std::size_t(nextWord)]);
}

int64_t LivePositions::previousSet(std::size_t level, int64_t i) const {
    const std::vector<uint64_t>& words = levels_[level];
    if (i < 0 || words.empty()) return -1;
    int64_t w = i >> 6;
    uint64_t bits = 0;
    if (w >= int64_t(words.size())) {
        w = int64_t(words.size()) - 1;
        bits = words[std::size_t(w)];
    } else {
        bits = words[std::size_t(w)] & (kAll >> (63 - (i & 63)));
    }
    if (bits) return (w << 6) + 63 - std::countl_zero(bits);
    if (level + 1 == levels_.size() || w == 0) return -1;
    const int64_t previousWord = previousSet(level + 1, w - 1);
    if (previousWord < 0) return -1;
    return (previousWord << 6) + 63 - std::countl_zero(words[std::size_t(previousWord)]);
}

int64_t LivePositions::nextBeyondWord(int64_t i) const {
    if (i < 0) i = 0;
    const int64_t found = i < n_ ? nextSet(0, i) : -1;
    return found < 0 ? n_ : found;
}

int64_t LivePositions::previous(int64_t i) const {
    if (i >= n_) i = n_ - 1;
    return previousSet(0, i);
}

int64_t LivePositions::nextKilled(int64_t i) const {
    if (i < 0) i = 0;
    const std::vector<uint64_t>& words = levels_[0];
    for (int64_t w = i >> 6; w < int64_t(words.size()); ++w) {
        const uint64_t killed = ~words[std::size_t(w)] & (w == i >> 6 ? kAll << (i & 63) : kAll);
        if (killed) return std::min<int64_t>(n_, (w << 6) + std::countr_zero(killed));
    }
    return n_;
}

int64_t LivePositions::countBelow(int64_t end) const {
    if (end > n_) end = n_;
    int64_t count = 0;
    const std::vector<uint64_t>& words = levels_[0];
    for (int64_t w = 0; w < end >> 6; ++w) count += std::popcount(words[std::size_t(w)]);
    if (end & 63) count += std::popcount(words[std::size_t(end >> 6)] & ((uint64_t(1) << (end & 63)) - 1));
    return count;
}
