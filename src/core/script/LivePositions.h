#pragma once
// The positions 0..n-1 of a text, each alive until killed, with the next and
// the previous living position found in a few word operations: one bit per
// position, and above it summary levels whose bits say which words below
// still hold a living position. About n/8 bytes, so a pass that deletes
// from a text of hundreds of megabytes costs a sixteenth of the text's own
// UTF-16 size.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

class LivePositions {
public:
    explicit LivePositions(int64_t n);

    int64_t size() const { return n_; }
    bool alive(int64_t i) const;
    void kill(int64_t i);
    // The smallest living position >= i; size() when there is none.
    int64_t next(int64_t i) const {
        if (i >= 0 && i < n_) // most often the answer is in the same word
            if (const uint64_t rest = levels_[0][std::size_t(i >> 6)] >> (i & 63)) return i + std::countr_zero(rest);
        return nextBeyondWord(i);
    }
    // The smallest killed position >= i; size() when there is none.
    int64_t nextKilled(int64_t i) const;
    // The largest living position <= i; -1 when there is none.
    int64_t previous(int64_t i) const;
    // Living positions below end.
    int64_t countBelow(int64_t end) const;

private:
    int64_t nextBeyondWord(int64_t i) const;
    int64_t nextSet(std::size_t level, int64_t i) const;
    int64_t previousSet(std::size_t level, int64_t i) const;

    int64_t n_;
    // levels_[0]: one bit per position; levels_[k]: bit j set when word j of
    // level k-1 is not zero. The last level has one word.
    std::vector<std::vector<uint64_t>> levels_;
};
