#include "script/CommentStripper.h"

#include "script/LivePositions.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace script {
namespace {

using View = std::u16string_view;

enum TokenType { Open, Close, Dash, CrLf, kTokenTypes };
constexpr char16_t kFirstChar[kTokenTypes] = {u'/', u'*', u'-', u'\r'};
constexpr char16_t kSecondChar[kTokenTypes] = {u'*', u'/', u'-', u'\n'};

uint32_t bigram(char16_t a, char16_t b) { return (uint32_t(a) << 16) | b; }

class Stripper {
public:
    explicit Stripper(const QString& text)
        : t_(reinterpret_cast<const char16_t*>(text.utf16())), n_(int(text.size())), live_(n_) {
        indexTokens();
    }

    QString run() {
        for (;;) {
            const int open = firstToken(Open, 0);
            if (open >= 0) {
                const int close = firstToken(Close, open + 1);
                if (close >= 0) {
                    removeEverywhere(collect(open, nextAlive(close + 1)), Open, open);
                    continue;
                }
            }
            const int dash = firstToken(Dash, 0);
            if (dash < 0) break;
            const int lineEnd = firstToken(CrLf, dash);
            if (lineEnd < 0) {
                // The comment runs to the end of the text (an LF-only file): it
                // can occur nowhere else, since it starts at the first "--" and
                // no later start leaves room for all of it.
                n_ = dash; // the text now ends here
                continue;
            }
            const int last = lineEnd >= 0 ? prevAlive(lineEnd - 1) : prevAlive(n_ - 1);
            removeEverywhere(collect(dash, last), Dash, dash);
        }
        // sized to what is left: a script of comments gives a short text
        QString out(live_.countBelow(n_), Qt::Uninitialized);
        auto* w = reinterpret_cast<char16_t*>(out.data());
        for (int i = nextAlive(0); i < n_;) { // run by run of living characters
            const int end = int(std::min<int64_t>(live_.nextKilled(i), n_));
            w = std::copy(t_ + i, t_ + end, w);
            i = nextAlive(end);
        }
        return out;
    }

private:
    // ---- which characters are still there -------------------------------
    int nextAlive(int i) const { // smallest living position >= i, n_ when none
        if (i >= n_) return n_;
        return int(std::min<int64_t>(live_.next(i), n_));
    }
    int prevAlive(int i) const { // largest living position <= i, -1 when none
        return int(live_.previous(i));
    }
    bool dead(int i) const { return !live_.alive(i); }
    void kill(int i) { live_.kill(i); }

    // ---- tokens: "/*", "*/", "--", CR LF in the current text -------------
    struct TokenList {
        std::vector<int> original; // starts of pairs adjacent in the original text, ascending
        std::vector<int> skip;     // union-find over indices of original: next index worth checking
        std::set<int> joined;      // pairs formed where a deletion joined two pieces
    };

    void indexTokens() {
        for (int i = 0; i + 1 < n_; ++i)
            for (int k = 0; k < kTokenTypes; ++k)
                if (t_[i] == kFirstChar[k] && t_[i + 1] == kSecondChar[k]) tokens_[k].original.push_back(i);
        for (auto& list : tokens_) {
            list.skip.resize(list.original.size() + 1);
            for (size_t i = 0; i < list.skip.size(); ++i) list.skip[i] = int(i);
        }
        // Original candidate texts, sorted, for finding occurrences of a comment:
        // a block candidate runs to the first "*/" after its "/", a line
        // candidate to the first CR LF. Both lists are ascending, so one
        // forward walk over the terminators serves all tokens.
        const auto& closes = tokens_[Close].original;
        size_t c = 0;
        for (int q : tokens_[Open].original) {
            while (c < closes.size() && closes[c] < q + 1) ++c;
            if (c < closes.size()) sorted_[0].push_back({q, closes[c] + 2});
        }
        const auto& ends = tokens_[CrLf].original;
        size_t e = 0;
        for (int q : tokens_[Dash].original) {
            while (e < ends.size() && ends[e] < q) ++e;
            sorted_[1].push_back({q, e < ends.size() ? ends[e] : n_});
        }
    }


    int findSkip(TokenList& l, int k) {
        int r = k;
        while (l.skip[size_t(r)] != r) r = l.skip[size_t(r)];
        while (l.skip[size_t(k)] != r) {
            const int up = l.skip[size_t(k)];
            l.skip[size_t(k)] = r;
            k = up;
        }
        return r;
    }

    bool isToken(int q, int type) {
        if (q < 0 || q >= n_ || dead(q) || t_[q] != kFirstChar[type]) return false;
        const int j = nextAlive(q + 1);
        return j < n_ && t_[j] == kSecondChar[type];
    }

    // The first token of the type starting at or after position x, -1 when none.
    int firstToken(int type, int x) {
        TokenList& l = tokens_[type];
        int best = -1;
        auto it = std::lower_bound(l.original.begin(), l.original.end(), x);
        for (int k = findSkip(l, int(it - l.original.begin())); k < int(l.original.size());
             k = findSkip(l, k)) {
            const int q = l.original[size_t(k)];
            if (q + 1 >= n_) break; // past the end of the (cut) text
            if (!dead(q) && !dead(q + 1)) {
                best = q;
                break;
            }
            l.skip[size_t(k)] = k + 1; // both characters of an original pair never come back
        }
        for (auto j = l.joined.lower_bound(x); j != l.joined.end();) {
            if (best >= 0 && *j >= best) break;
            if (isToken(*j, type)) {
                best = *j;
                break;
            }
            j = l.joined.erase(j);
        }
        return best;
    }

    // ---- comment texts and their occurrences -----------------------------
    struct Span {
        int begin;
        int end; // exclusive, in the original text
    };
    View view(const Span& s) const { return View(t_ + s.begin, size_t(s.end - s.begin)); }
    static constexpr size_t kKeyChars = 256;
    View key(const Span& s) const { return view(s).substr(0, kKeyChars); }

    // Sorted by their first kKeyChars characters (then position): comparing
    // whole texts would make repetitive scripts quadratic. Sorted when first
    // needed: a script whose only comment runs to its end never needs it.
    const std::vector<Span>& sortedSpans(int which) {
        if (!sortedDone_[which]) {
            std::sort(sorted_[which].begin(), sorted_[which].end(), [this](const Span& a, const Span& b) {
                const int c = key(a).compare(key(b));
                return c != 0 ? c < 0 : a.begin < b.begin;
            });
            sortedDone_[which] = true;
        }
        return sorted_[which];
    }

    std::u16string collect(int from, int lastInclusive) {
        std::u16string s;
        for (int i = from; i <= lastInclusive && i < n_; i = nextAlive(i + 1)) s += t_[i];
        return s;
    }

    // Does the current text hold c at position q? Returns the position of its
    // last character, or -1.
    int matchAt(int q, const std::u16string& c) {
        if (q < 0 || q >= n_ || dead(q)) return -1;
        int i = q, last = -1;
        for (char16_t ch : c) {
            if (i >= n_ || t_[i] != ch) return -1;
            last = i;
            i = nextAlive(i + 1);
        }
        return last;
    }

    // Original tokens whose following text is c (block) or starts with c (line).
    void originalCandidates(const std::u16string& c, int type, int from, std::vector<int>& out) {
        const auto& sorted = sortedSpans(type == Open ? 0 : 1);
        const View cv(c);
        const View ck = cv.substr(0, kKeyChars);
        auto lower = std::lower_bound(sorted.begin(), sorted.end(), ck,
                                      [this](const Span& s, View v) { return key(s).compare(v) < 0; });
        for (auto it = lower; it != sorted.end(); ++it) {
            // every span whose text starts with c has a key starting with c's key
            if (key(*it).substr(0, ck.size()) != ck) break;
            const View v = view(*it);
            if (type == Open ? v != cv : v.substr(0, cv.size()) != cv) continue;
            if (it->begin >= from) out.push_back(it->begin);
        }
        // A line comment ending in a lone CR also occurs where that CR starts a CR LF.
        if (type == Dash && c.size() > 2 && c.back() == u'\r') {
            originalCandidates(c.substr(0, c.size() - 1), Dash, from, out);
        }
    }

    // Starts of possible occurrences that span a place where a deletion joined text.
    void joinedCandidates(const std::u16string& c, int from, std::vector<int>& out) {
        if (junctions_.empty()) return;
        // (bigram, offset of its second character in c), grouped by bigram
        std::vector<std::pair<uint32_t, int>> pairs;
        pairs.reserve(c.size());
        for (size_t k = 1; k < c.size(); ++k) pairs.push_back({bigram(c[k - 1], c[k]), int(k)});
        std::sort(pairs.begin(), pairs.end());
        for (size_t g = 0; g < pairs.size();) {
            const uint32_t pair = pairs[g].first;
            size_t gEnd = g;
            while (gEnd < pairs.size() && pairs[gEnd].first == pair) ++gEnd;
            const size_t groupBegin = g;
            g = gEnd;
            auto found = junctions_.find(pair);
            if (found == junctions_.end()) continue;
            std::set<int>& at = found->second;
            for (auto j = at.upper_bound(from); j != at.end();) {
                const int right = *j;
                const int left = dead(right) ? -1 : prevAlive(right - 1);
                if (left < 0 || bigram(t_[left], t_[right]) != pair) {
                    j = at.erase(j); // no longer a junction with this pair
                    continue;
                }
                for (size_t m = groupBegin; m < gEnd; ++m) {
                    const int k = pairs[m].second;
                    int q = left;
                    for (int step = 1; step < k && q >= 0; ++step) q = prevAlive(q - 1);
                    if (q >= from) out.push_back(q);
                }
                ++j;
            }
        }
    }

    // Removes every occurrence of c at or after `first`, left to right.
    void removeEverywhere(const std::u16string& c, int type, int first) {
        std::vector<int>& candidates = candidates_;
        candidates.assign(1, first);
        originalCandidates(c, type, first, candidates);
        joinedCandidates(c, first, candidates);
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        int searchFrom = first;
        for (int q : candidates) {
            if (q < searchFrom) continue;
            const int last = matchAt(q, c);
            if (last < 0) continue;
            const int left = prevAlive(q - 1);
            for (int i = q; i <= last; i = nextAlive(i + 1)) kill(i);
            const int right = nextAlive(last + 1);
            searchFrom = right;
            if (right < n_ && left >= 0) {
                junctions_[bigram(t_[left], t_[right])].insert(right);
                for (int k = 0; k < kTokenTypes; ++k)
                    if (t_[left] == kFirstChar[k] && t_[right] == kSecondChar[k]) tokens_[k].joined.insert(left);
            }
        }
    }

    const char16_t* t_;
    int n_;
    LivePositions live_; // the characters not deleted yet
    std::vector<int> candidates_;
    TokenList tokens_[kTokenTypes];
    std::vector<Span> sorted_[2]; // 0: block candidates, 1: line candidates
    bool sortedDone_[2] = {false, false};
    std::unordered_map<uint32_t, std::set<int>> junctions_; // by (left char, right char)
};

} // namespace

QString stripCommentsFast(const QString& text) {
    if (!text.contains(QLatin1String("/*")) && !text.contains(QLatin1String("--"))) return text;
    return Stripper(text).run();
}

} // namespace script
