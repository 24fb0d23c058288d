#pragma once
// Ranges of a long series answered in a few steps: the lowest and highest
// value of every block of 16, 32, 64 … samples, built once and extended as
// samples are appended. A range's extremes then cost some thirty samples and
// one block per level, however many samples it spans.
//
// Analog values: the lowest and highest number, a sample that is not a
// number left out. Logic bytes: the inputs on in every sample (AND) and in
// some sample (OR).

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace viewer {

struct FloatExtremes {
    using Value = float;
    static Value lowNone() { return NAN; }
    static Value highNone() { return NAN; }
    // A number wins over a missing one.
    static Value low(Value a, Value b) { return b < a || a != a ? b : a; }
    static Value high(Value a, Value b) { return b > a || a != a ? b : a; }
};

struct BitExtremes {
    using Value = std::uint8_t;
    static Value lowNone() { return 0xFF; }
    static Value highNone() { return 0; }
    static Value low(Value a, Value b) { return Value(a & b); }
    static Value high(Value a, Value b) { return Value(a | b); }
};

template <class Ops>
class Summary {
public:
    using Value = typename Ops::Value;
    static constexpr int kFirstShift = 4;  // the smallest block: 16 samples

    struct Range {
        Value low = Ops::lowNone();
        Value high = Ops::highNone();
    };

    // The blocks over samples from `from` on are made again from the series
    // (from 0: everything).
    void update(const std::vector<Value> &series, size_t from = 0)
    {
        const size_t n = series.size();
        size_t shift = kFirstShift;
        size_t first = from >> shift;
        for (size_t level = 0;; ++level, ++shift) {
            const size_t blocks = (n + (size_t(1) << shift) - 1) >> shift;
            if (blocks < 2) {
                levels_.resize(level);
                break;
            }
            if (levels_.size() <= level) {
                levels_.emplace_back();
                first = 0;  // a new level is made whole
            }
            Level &l = levels_[level];
            l.low.resize(blocks);
            l.high.resize(blocks);
            for (size_t b = first; b < blocks; ++b) {
                Range r;
                if (level == 0) {
                    const size_t end = std::min(n, (b + 1) << shift);
                    for (size_t i = b << shift; i < end; ++i) r.low = Ops::low(r.low, series[i]);
                    for (size_t i = b << shift; i < end; ++i) r.high = Ops::high(r.high, series[i]);
                } else {
                    const Level &c = levels_[level - 1];
                    const size_t left = 2 * b, right = std::min(2 * b + 1, c.low.size() - 1);
                    r.low = Ops::low(c.low[left], c.low[right]);
                    r.high = Ops::high(c.high[left], c.high[right]);
                }
                l.low[b] = r.low;
                l.high[b] = r.high;
            }
            first >>= 1;
        }
        size_ = n;
    }

    // The extremes of samples [from, to) of the series summarised.
    Range range(const std::vector<Value> &series, size_t from, size_t to) const
    {
        Range r;
        to = std::min(to, size_);
        auto sample = [&](size_t i) {
            r.low = Ops::low(r.low, series[i]);
            r.high = Ops::high(r.high, series[i]);
        };
        while (from < to && (from & ((size_t(1) << kFirstShift) - 1)) != 0) sample(from++);
        while (from < to) {
            // The largest whole block that starts here and ends in the range.
            const size_t left = to - from;
            if (left < (size_t(1) << kFirstShift) || levels_.empty()) {
                sample(from++);
                continue;
            }
            int shift = std::bit_width(left) - 1;
            if (from != 0) shift = std::min(shift, std::countr_zero(from));
            const int level = std::min(shift - kFirstShift, int(levels_.size()) - 1);
            const int blockShift = kFirstShift + level;
            const Level &l = levels_[size_t(level)];
            r.low = Ops::low(r.low, l.low[from >> blockShift]);
            r.high = Ops::high(r.high, l.high[from >> blockShift]);
            from += size_t(1) << blockShift;
        }
        return r;
    }

    size_t bytes() const
    {
        size_t b = 0;
        for (const Level &l : levels_) b += (l.low.capacity() + l.high.capacity()) * sizeof(Value);
        return b;
    }

private:
    struct Level {
        std::vector<Value> low, high;
    };
    std::vector<Level> levels_;
    size_t size_ = 0;
};

using ChannelSummary = Summary<FloatExtremes>;
using LogicSummary = Summary<BitExtremes>;

}  // namespace viewer
