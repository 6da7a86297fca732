#pragma once
// What each build of the MDCT calls: its clearing, the set-up and run of its quarter-length
// complex FFT, and its pre- and post-steps. The large SSE2 steps take the table and length
// rather than the record; the forward pre-step finds its scratch right after z, where the
// transform places it.
#include <Primitives/Prim/BuildServices.h>
#include <Primitives/Prim/Fft/MdctKernels.h>

namespace Prim {

template <Build B>
struct MdctBuild : BuildServices<float, B> {
    static constexpr auto CosFftInit = Pick<B>(&CosFftSpecInit_x87, &CosFftSpecInit_sse2);
    static constexpr auto CosFftRun = Pick<B>(&CosFftRun_x87, &CosFftRun_sse2);
    static constexpr auto FwdPreSmall = Pick<B>(&MdctFwdPreSmall_x87, &MdctFwdPreSmall_sse2);
    static constexpr auto FwdPostSmall = Pick<B>(&MdctFwdPostSmall_x87, &MdctFwdPostSmall_sse2);
    static constexpr auto InvPreSmall = Pick<B>(&MdctInvPreSmall_x87, &MdctInvPreSmall_sse2);
    static constexpr auto InvPostSmall = Pick<B>(&MdctInvPostSmall_x87, &MdctInvPostSmall_sse2);
    static constexpr auto Dft3 = Pick<B>(&Dft3C32_x87, &Dft3C32_sse2);
    static constexpr auto Dft9 = Pick<B>(&Dft9C32_x87, &Dft9C32_sse2);

    static void FwdPreLarge(const float* x, float* z, const CosSpecF32* spec, float* scratch) {
        if constexpr (B == Build::Sse2) {
            MdctFwdPreLarge_sse2(x, z, spec->length, spec->twiddle);
        } else {
            MdctFwdPreLarge_x87(x, z, spec, scratch);
        }
    }
    static void FwdPostLarge(const float* z, float* x, const CosSpecF32* spec) {
        if constexpr (B == Build::Sse2) {
            MdctFwdPostLarge_sse2(z, x, spec->mirrored, spec->length);
        } else {
            MdctFwdPostLarge_x87(z, x, spec);
        }
    }
    static void InvPreLarge(const float* x, float* z, const CosSpecF32* spec) {
        if constexpr (B == Build::Sse2) {
            MdctInvPreLarge_sse2(x, z, spec->twiddle, spec->length);
        } else {
            MdctInvPreLarge_x87(x, z, spec);
        }
    }
    static void InvPostLarge(const float* z, float* y, const CosSpecF32* spec, float* scratch) {
        if constexpr (B == Build::Sse2) {
            MdctInvPostLarge_sse2(z, y, spec->twiddle, spec->length, scratch);
        } else {
            MdctInvPostLarge_x87(z, y, spec, scratch);
        }
    }
};

}  // namespace Prim
