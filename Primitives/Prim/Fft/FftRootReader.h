#pragma once
// Reads roots of unity out of a quarter-wave sine table by the quadrant symmetries.

#include <cstdint>

namespace Prim {

template <typename T>
class FftRootReader {
public:
    // sine: T/4 + 1 values of order t (t >= 2). zeroMinusNegation: negate as 0 - x
    // (which keeps zeros positive) instead of -x.
    FftRootReader(const T* sine, int t, bool zeroMinusNegation)
        : sine_(sine),
          shift_(t - 2),
          quarter_(uint64_t{1} << (t - 2)),
          mask_((uint64_t{1} << t) - 1),
          zeroMinus_(zeroMinusNegation) {}

    // Angle index a counts steps of 2 pi / T.
    T Sin(uint64_t a) const { return Value(a & mask_, false); }
    T Cos(uint64_t a) const { return Value((a + quarter_) & mask_, false); }
    T NegSin(uint64_t a) const { return Value(a & mask_, true); }

private:
    T Value(uint64_t a, bool negate) const {
        uint64_t quadrant = a >> shift_;
        uint64_t rest = a & (quarter_ - 1);
        T entry = (quadrant & 1) ? sine_[quarter_ - rest] : sine_[rest];
        if (quadrant >= 2) negate = !negate;
        if (!negate) return entry;
        return zeroMinus_ ? T(0) - entry : -entry;
    }

    const T* sine_;
    int shift_;
    uint64_t quarter_;
    uint64_t mask_;
    bool zeroMinus_;
};

}  // namespace Prim
