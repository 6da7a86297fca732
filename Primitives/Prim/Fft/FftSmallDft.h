#pragma once
// The complex transform of N = 1, 2, 4 or 8 points by radix-2 decimation in time, unrolled
// at compile time, in natural order and in place. Each build brings its complex arithmetic:
//   Ops::Value, Ops::Add(a, b), Ops::Sub(a, b), Ops::Root(re, im), Ops::Mul(value, root)

namespace Prim {

template <int N, bool Inverse, class Ops>
inline void FftSmallDft(typename Ops::Value* z) {
    using Value = typename Ops::Value;
    if constexpr (N == 2) {
        const Value a = z[0], b = z[1];
        z[0] = Ops::Add(a, b);
        z[1] = Ops::Sub(a, b);
    } else if constexpr (N > 2) {
        Value even[N / 2], odd[N / 2];
        for (int j = 0; j < N / 2; ++j) {
            even[j] = z[2 * j];
            odd[j] = z[2 * j + 1];
        }
        FftSmallDft<N / 2, Inverse, Ops>(even);
        FftSmallDft<N / 2, Inverse, Ops>(odd);
        constexpr double R = 0.7071067811865476;  // sqrt(0.5)
        constexpr double s = Inverse ? 1.0 : -1.0;  // sign of the exponent
        const decltype(Ops::Root(0.0, 0.0)) roots8[4] = {
            Ops::Root(1.0, 0.0), Ops::Root(R, s * R), Ops::Root(0.0, s), Ops::Root(-R, s * R)};
        for (int k = 0; k < N / 2; ++k) {
            const Value t = k == 0 ? odd[0] : Ops::Mul(odd[k], roots8[k * (8 / N)]);
            z[k] = Ops::Add(even[k], t);
            z[k + N / 2] = Ops::Sub(even[k], t);
        }
    }
}

}  // namespace Prim
