#pragma once
// The scalar pre- and post-steps of the MDCT, shared by the small kernels of both builds and
// the large portable kernels: each output is computed in double from float inputs and
// rounded once on store. A table gives g sin and g cos of the quarter angle k.

#include <Primitives/Prim/Fft/Mdct.h>

#include <cstddef>

namespace Prim::MdctSteps {

// Lengths up to 36: (sine, cosine) pairs.
struct InterleavedTable {
    const float* t;
    double Sin(size_t k) const { return t[2 * k]; }
    double Cos(size_t k) const { return t[2 * k + 1]; }
};

// From 64: blocks of four sines followed by the four cosines of the same k.
struct BlockedTable {
    const float* t;
    double Sin(size_t k) const { return t[2 * (k & ~size_t{3}) + (k & 3)]; }
    double Cos(size_t k) const { return t[2 * (k & ~size_t{3}) + 4 + (k & 3)]; }
};

struct Sizes {
    explicit Sizes(const CosSpecF32* spec) : n(static_cast<size_t>(spec->length)), h(n / 2), q(n / 4) {}
    size_t n, h, q;
};

// z_k = (c a + s b, c b - s a): (a + ib) turned by minus the quarter angle.
template <class Table>
inline void Twiddle(const Table& table, size_t k, double a, double b, float* z) {
    const double s = table.Sin(k), c = table.Cos(k);
    z[2 * k] = static_cast<float>(c * a + s * b);
    z[2 * k + 1] = static_cast<float>(c * b - s * a);
}

// u_n = -x(3q + n) below q, x(n - q) from there on.
inline void Rotate(const float* x, float* u, const Sizes& z) {
    for (size_t i = 0; i < z.q; ++i) u[i] = -x[3 * z.q + i];
    for (size_t i = z.q; i < z.n; ++i) u[i] = x[i - z.q];
}

template <class Table>
void FoldTwiddle(const float* u, float* dst, const Table& table, const Sizes& z) {
    for (size_t k = 0; k < z.q; ++k) {
        const double a = double(u[2 * k]) - double(u[z.n - 1 - 2 * k]);
        const double b = double(u[z.h - 1 - 2 * k]) - double(u[z.h + 2 * k]);
        Twiddle(table, k, a, b, dst);
    }
}

// Z_k turned back: (c re + s im, s re - c im).
struct Turned {
    double front, back;
};

template <class Table>
inline Turned TurnBack(const Table& table, size_t k, const float* z) {
    const double re = z[2 * k], im = z[2 * k + 1];
    const double s = table.Sin(k), c = table.Cos(k);
    return {c * re + s * im, s * re - c * im};
}

// X_2k and X_(h-1-2k).
template <class Table>
void ForwardPost(const float* src, float* dst, const CosSpecF32* spec) {
    const Table table{spec->twiddle};
    const Sizes z(spec);
    for (size_t k = 0; k < z.q; ++k) {
        const Turned t = TurnBack(table, k, src);
        dst[2 * k] = static_cast<float>(t.front);
        dst[z.h - 1 - 2 * k] = static_cast<float>(t.back);
    }
}

template <class Table>
void InversePre(const float* src, float* dst, const CosSpecF32* spec) {
    const Table table{spec->twiddle};
    const Sizes z(spec);
    for (size_t k = 0; k < z.q; ++k) Twiddle(table, k, src[2 * k], src[z.h - 1 - 2 * k], dst);
}

// Even positions from the spectrum, odd ones mirrored with a sign, then unrotated.
template <class Table>
void InversePost(const float* src, float* dst, const CosSpecF32* spec, float* u) {
    const Table table{spec->twiddle};
    const Sizes z(spec);
    for (size_t k = 0; k < z.q; ++k) {
        const Turned t = TurnBack(table, k, src);
        u[2 * k] = static_cast<float>(t.front);
        u[z.h + 2 * k] = static_cast<float>(-t.back);
    }
    for (size_t j = 0; j < z.h; ++j) u[2 * j + 1] = -u[z.n - 2 - 2 * j];
    for (size_t i = 0; i < 3 * z.q; ++i) dst[i] = u[i + z.q];
    for (size_t i = 3 * z.q; i < z.n; ++i) dst[i] = -u[i - 3 * z.q];
}

}  // namespace Prim::MdctSteps
