#pragma once
// One complex double (re, im) held in a pair vector, so that a complex addition is one
// operation. Products round exactly as the textbook formula (wr*br - wi*bi, wr*bi + wi*br),
// so results do not depend on this packing.

namespace Prim::FftX87 {

typedef double Cplx __attribute__((vector_size(16)));

inline Cplx Load(const double* p) {
    Cplx v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

inline void Store(double* p, Cplx v) { __builtin_memcpy(p, &v, sizeof v); }

inline Cplx TimesI(Cplx v)  // (-im, re)
{
    const Cplx n = -v;
    return __builtin_shufflevector(n, v, 1, 2);
}

inline Cplx TimesMinusI(Cplx v)  // (im, -re)
{
    const Cplx n = -v;
    return __builtin_shufflevector(v, n, 1, 2);
}

inline Cplx Swap(Cplx v) { return __builtin_shufflevector(v, v, 1, 0); }

// A root prepared for multiplication: the real part broadcast, the imaginary part as
// (-im, im) (conjugated for the inverse), so that w*b = re*b + im*swap(b).
struct Root {
    Cplx re;
    Cplx im;
};

template <bool Conjugate>
inline Root MakeRoot(double re, double im) {
    const double i = Conjugate ? -im : im;
    return {Cplx{re, re}, Cplx{-i, i}};
}

template <bool Conjugate>
inline Root LoadRoot(const double* w) {
    return MakeRoot<Conjugate>(w[0], w[1]);
}

inline Cplx Mul(Cplx b, const Root& w) { return b * w.re + Swap(b) * w.im; }

}  // namespace Prim::FftX87
