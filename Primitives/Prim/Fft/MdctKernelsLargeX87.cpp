// The portable kernels of the power-of-two lengths from 64, on the blocked twiddle table.
#include <Primitives/Prim/Fft/MdctKernels.h>
#include <Primitives/Prim/Fft/MdctSteps.h>

namespace Prim {

using namespace MdctSteps;

// The rotated block u lands in the scratch as E_i = u_2i and O_i = u_(N-1-2i), so that the
// fold reads four sequential runs: a = E_k - O_k, b = O_(q+k) - E_(q+k).
void MdctFwdPreLarge_x87(const float* src, float* dst, const CosSpecF32* spec, float* scratch) {
    const Sizes z(spec);
    float* even = scratch;
    float* odd = scratch + z.h;
    const auto u = [&](size_t n) { return n < z.q ? -src[3 * z.q + n] : src[n - z.q]; };
    for (size_t i = 0; i < z.h; ++i) {
        even[i] = u(2 * i);
        odd[i] = u(z.n - 1 - 2 * i);
    }
    const BlockedTable table{spec->twiddle};
    for (size_t k = 0; k < z.q; ++k) {
        const double a = double(even[k]) - double(odd[k]);
        const double b = double(odd[z.q + k]) - double(even[z.q + k]);
        Twiddle(table, k, a, b, dst);
    }
}

void MdctFwdPostLarge_x87(const float* src, float* dst, const CosSpecF32* spec) {
    ForwardPost<BlockedTable>(src, dst, spec);
}
void MdctInvPreLarge_x87(const float* src, float* dst, const CosSpecF32* spec) {
    InversePre<BlockedTable>(src, dst, spec);
}
void MdctInvPostLarge_x87(const float* src, float* dst, const CosSpecF32* spec, float* scratch) {
    InversePost<BlockedTable>(src, dst, spec, scratch);
}

}  // namespace Prim
