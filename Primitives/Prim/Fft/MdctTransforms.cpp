// The forward and inverse MDCT of both builds: checks, the work area, and the kernels in
// order (pre-step, quarter-length DFT, post-step).
#include <Primitives/Prim/Fft/MdctKernels.h>

namespace Prim {
namespace {

constexpr int32_t LargestSmallLength = 36;

// The kernels that both builds call with the same arguments.
#define PRIM_MDCT_SHARED_KERNELS(suffix)                            \
    static constexpr auto FwdPreSmall = &MdctFwdPreSmall##suffix;   \
    static constexpr auto FwdPostSmall = &MdctFwdPostSmall##suffix; \
    static constexpr auto InvPreSmall = &MdctInvPreSmall##suffix;   \
    static constexpr auto InvPostSmall = &MdctInvPostSmall##suffix; \
    static constexpr auto Dft3 = &Dft3C32##suffix;                  \
    static constexpr auto Dft9 = &Dft9C32##suffix;                  \
    static constexpr auto Run = &CosFftRun##suffix;

struct KernelsX87 {
    static void FwdPreLarge(const float* x, float* z, const CosSpecF32* spec, float* scratch) {
        MdctFwdPreLarge_x87(x, z, spec, scratch);
    }
    static void FwdPostLarge(const float* z, float* x, const CosSpecF32* spec) { MdctFwdPostLarge_x87(z, x, spec); }
    static void InvPreLarge(const float* x, float* z, const CosSpecF32* spec) { MdctInvPreLarge_x87(x, z, spec); }
    static void InvPostLarge(const float* z, float* y, const CosSpecF32* spec, float* scratch) {
        MdctInvPostLarge_x87(z, y, spec, scratch);
    }
    PRIM_MDCT_SHARED_KERNELS(_x87)
};

// The SSE2 forward pre-step finds its scratch right after z, where the public places it.
struct KernelsSse2 {
    static void FwdPreLarge(const float* x, float* z, const CosSpecF32* spec, float*) {
        MdctFwdPreLarge_sse2(x, z, spec->length, spec->twiddle);
    }
    static void FwdPostLarge(const float* z, float* x, const CosSpecF32* spec) {
        MdctFwdPostLarge_sse2(z, x, spec->mirrored, spec->length);
    }
    static void InvPreLarge(const float* x, float* z, const CosSpecF32* spec) {
        MdctInvPreLarge_sse2(x, z, spec->twiddle, spec->length);
    }
    static void InvPostLarge(const float* z, float* y, const CosSpecF32* spec, float* scratch) {
        MdctInvPostLarge_sse2(z, y, spec->twiddle, spec->length, scratch);
    }
    PRIM_MDCT_SHARED_KERNELS(_sse2)
};

#undef PRIM_MDCT_SHARED_KERNELS

float* AlignedWork(uint8_t* buffer) {
    const auto address = reinterpret_cast<uintptr_t>(buffer);
    return reinterpret_cast<float*>((address + 15) & ~uintptr_t{15});
}

Status Checked(const float* data, const CosSpecF32* spec, const uint8_t* buffer, int32_t tag) {
    if (!spec || !data || !buffer) return StatusNullPointer;
    if (spec->tag != tag) return StatusWrongContext;
    return StatusOk;
}

// Unaligned data are transformed all the same, and reported.
Status Done(const float* data) {
    return (reinterpret_cast<uintptr_t>(data) & 15) == 0 ? StatusOk : StatusMisalignedWarning;
}

template <class K>
void QuarterDft(const CosSpecF32* spec, float* z) {
    switch (spec->length) {
    case 12: K::Dft3(z); break;
    case 36: K::Dft9(z); break;
    default: K::Run(spec->fft, z); break;
    }
}

// Work area: the N/4 complex values, then the scratch of N floats.
template <class K>
Status Forward(float* x, const CosSpecF32* spec, uint8_t* buffer) {
    const Status checked = Checked(x, spec, buffer, MdctTagForward);
    if (checked != StatusOk) return checked;
    float* z = AlignedWork(buffer);
    float* scratch = z + spec->length;
    if (spec->length > LargestSmallLength) {
        K::FwdPreLarge(x, z, spec, scratch);
        K::Run(spec->fft, z);
        K::FwdPostLarge(z, x, spec);
    } else {
        K::FwdPreSmall(x, z, spec, scratch);
        QuarterDft<K>(spec, z);
        K::FwdPostSmall(z, x, spec);
    }
    return Done(x);
}

// Work area: the scratch of N floats, then the N/4 complex values.
template <class K>
Status Inverse(float* x, const CosSpecF32* spec, uint8_t* buffer) {
    const Status checked = Checked(x, spec, buffer, MdctTagInverse);
    if (checked != StatusOk) return checked;
    float* scratch = AlignedWork(buffer);
    float* z = scratch + spec->length;
    if (spec->length > LargestSmallLength) {
        K::InvPreLarge(x, z, spec);
        K::Run(spec->fft, z);
        K::InvPostLarge(z, x, spec, scratch);
    } else {
        K::InvPreSmall(x, z, spec);
        QuarterDft<K>(spec, z);
        K::InvPostSmall(z, x, spec, scratch);
    }
    return Done(x);
}

}  // namespace

Status MdctFwdF32_x87(float* srcDst, const CosSpecF32* spec, uint8_t* buffer) {
    return Forward<KernelsX87>(srcDst, spec, buffer);
}
Status MdctInvF32_x87(float* srcDst, const CosSpecF32* spec, uint8_t* buffer) {
    return Inverse<KernelsX87>(srcDst, spec, buffer);
}
Status MdctFwdF32_sse2(float* srcDst, const CosSpecF32* spec, uint8_t* buffer) {
    return Forward<KernelsSse2>(srcDst, spec, buffer);
}
Status MdctInvF32_sse2(float* srcDst, const CosSpecF32* spec, uint8_t* buffer) {
    return Inverse<KernelsSse2>(srcDst, spec, buffer);
}

}  // namespace Prim
