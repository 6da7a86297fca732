// The per-bin logarithm of a column, two bins at a time.
#include <Tonalith/Analysis/Spectrogram/SpectrogramLevels.h>

#include <cstring>

namespace UI {
namespace {

using V2d = double __attribute__((vector_size(16)));
using V2l = std::int64_t __attribute__((vector_size(16)));

V2d Load(const float* p) { return V2d{double(p[0]), double(p[1])}; }

// Whether every lane holds a finite power the guard does not catch; others take the
// scalar road.
[[gnu::always_inline]] inline bool Ordinary(V2d x) {
    const V2l ok = (x >= 1e-36) & (x <= 1.7e308);
    return (ok[0] & ok[1]) != 0;
}

// ln x for finite x > 0, by the classic reduction to m in [sqrt(2)/2, sqrt(2)) and the
// rational approximation of ln m through s = (m - 1) / (m + 1); within one unit in the
// last place.
[[gnu::always_inline]] inline V2d Log(V2d x) {
    V2l bits;
    std::memcpy(&bits, &x, sizeof bits);
    // Moving the mantissa's cut from 1 to sqrt(2)/2 (0x3FE6A09E667F3BCD) picks k and m at once.
    bits += V2l{} + (0x3FF0000000000000LL - 0x3FE6A09E667F3BCDLL);
    const V2l k = (bits >> 52) - 1023;
    V2l mBits = (bits & 0x000FFFFFFFFFFFFFLL) + 0x3FE6A09E667F3BCDLL;
    V2d m;
    std::memcpy(&m, &mBits, sizeof m);
    // k to double without a packed 64-bit conversion: 2^52 + 2048 + k has it in its low bits.
    V2l kBits = k + (0x4330000000000000LL + 2048);
    V2d dk;
    std::memcpy(&dk, &kBits, sizeof dk);
    dk -= 4503599627370496.0 + 2048.0;

    const V2d f = m - 1.0;
    const V2d hfsq = 0.5 * f * f;
    const V2d s = f / (2.0 + f);
    const V2d z = s * s;
    const V2d w = z * z;
    const V2d t1 = w * (3.999999999940941908e-01 + w * (2.222219843214978396e-01 + w * 1.531383769920937332e-01));
    const V2d t2 = z *
        (6.666666666666735130e-01 +
            w * (2.857142874366239149e-01 + w * (1.818357216161805012e-01 + w * 1.479819860511658591e-01)));
    const V2d r = t2 + t1;
    return dk * 6.93147180369123816490e-01 - ((hfsq - (s * (hfsq + r) + dk * 1.90821492927058770002e-10)) - f);
}

}  // namespace

void SpectrogramLevels::Values(const float* power, std::int64_t n, float offset, float* out) const {
    std::int64_t i = 0;
    const double factor = double(m_factor);
    for (; i + 2 <= n; i += 2) {
        const V2d x = Load(power + i);
        if (!Ordinary(x)) {
            for (int j = 0; j < 2; ++j) out[i + j] = Value(power[i + j], offset);
            continue;
        }
        const V2d v = Log(x) * factor + double(offset);
        for (int j = 0; j < 2; ++j) out[i + j] = static_cast<float>(v[j]);
    }
    for (; i < n; ++i) out[i] = Value(power[i], offset);
}

}  // namespace UI
