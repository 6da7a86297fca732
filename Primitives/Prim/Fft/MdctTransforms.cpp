// The forward and inverse MDCT of both builds: checks, the work area, and the kernels in
// order (pre-step, quarter-length DFT, post-step).
#include <Primitives/Prim/Fft/MdctBuild.h>

namespace Prim {
namespace {

constexpr int32_t LargestSmallLength = 36;

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
    default: K::CosFftRun(spec->fft, z); break;
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
        K::CosFftRun(spec->fft, z);
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
        K::CosFftRun(spec->fft, z);
        K::InvPostLarge(z, x, spec, scratch);
    } else {
        K::InvPreSmall(x, z, spec);
        QuarterDft<K>(spec, z);
        K::InvPostSmall(z, x, spec, scratch);
    }
    return Done(x);
}

using X87 = MdctBuild<Build::X87>;
using Sse2 = MdctBuild<Build::Sse2>;

}  // namespace

Status MdctFwdF32_x87(float* srcDst, const CosSpecF32* spec, uint8_t* buffer) {
    return Forward<X87>(srcDst, spec, buffer);
}
Status MdctInvF32_x87(float* srcDst, const CosSpecF32* spec, uint8_t* buffer) {
    return Inverse<X87>(srcDst, spec, buffer);
}
Status MdctFwdF32_sse2(float* srcDst, const CosSpecF32* spec, uint8_t* buffer) {
    return Forward<Sse2>(srcDst, spec, buffer);
}
Status MdctInvF32_sse2(float* srcDst, const CosSpecF32* spec, uint8_t* buffer) {
    return Inverse<Sse2>(srcDst, spec, buffer);
}

}  // namespace Prim
