// Creation, size query and release of the MDCT records, both directions and both builds.
// The two builds lay the tables out alike and differ only in the clearing and the complex-FFT
// set-up they call.
#include <Primitives/Prim/Fft/FftMemory.h>
#include <Primitives/Prim/Fft/MdctBuild.h>

#include <cmath>
#include <numbers>

namespace Prim {
namespace {

constexpr int32_t SmallestBlockedLength = 64;

// 12, 32, 36 or a power of two of at least 64.
bool AcceptedLength(int32_t n) {
    if (n == 12 || n == 32 || n == 36) return true;
    if (n < SmallestBlockedLength) return false;
    int32_t p = SmallestBlockedLength;
    while (p <= n / 2) p *= 2;
    return p == n;
}

// 15 spare bytes let the transforms start at the caller's block rounded up to 16 bytes.
int64_t WorkBufferBytes(int32_t tag, int32_t n) { return (tag == MdctTagForward ? 12 : 8) * int64_t{n} + 15; }

// g sin and g cos of 2 pi (k + 1/8) / N, in pairs up to 36 and in blocks of four from 64.
void FillTwiddle(float* table, int32_t n, double gain) {
    const bool blocked = n >= SmallestBlockedLength;
    for (int32_t k = 0; k < n / 4; ++k) {
        const double angle = 2.0 * std::numbers::pi * (k + 0.125) / n;
        const auto s = static_cast<float>(gain * std::sin(angle));
        const auto c = static_cast<float>(gain * std::cos(angle));
        const size_t at = blocked ? 2 * size_t(k & ~3) + size_t(k & 3) : 2 * size_t(k);
        table[at] = s;
        table[at + (blocked ? 4 : 1)] = c;
    }
}

// Blocks of eight taken alternately from the front and the back of the table.
void FillMirrored(float* mirrored, const float* table, int32_t n) {
    const size_t h = size_t(n) / 2;
    for (size_t j = 0; j < h / 2; j += 8) {
        for (size_t i = 0; i < 8; ++i) {
            mirrored[2 * j + i] = table[j + i];
            mirrored[2 * j + 8 + i] = table[h - 8 - j + i];
        }
    }
}

void Release(CosSpecF32* spec) {
    FreeDirect(spec->mirroredBlock);
    FreeDirect(spec->twiddleBlock);
    if (spec->fft) CosFftSpecFree(spec->fft);
    spec->tag = 0;
    FreeDirect(spec);
}

template <class B>
Status FillTables(CosSpecF32* spec, int32_t n, int32_t tag) {
    float* table = FftAllocArray<float>(uint64_t(n) / 2);
    if (!table) return StatusNoMemory;
    spec->twiddle = spec->twiddleBlock = table;
    FillTwiddle(table, n, tag == MdctTagForward ? std::numbers::sqrt2 : 1.0 / std::sqrt(n / 2.0));
    if (n == 12 || n == 36) return StatusOk;
    const Status made = B::CosFftInit(&spec->fft, n == 32 ? 8 : n / 4);
    if (made != StatusOk || tag != MdctTagForward || n < SmallestBlockedLength) return made;
    float* mirrored = FftAllocArray<float>(uint64_t(n) / 2);
    if (!mirrored) return StatusNoMemory;
    spec->mirrored = spec->mirroredBlock = mirrored;
    FillMirrored(mirrored, table, n);
    return StatusOk;
}

template <class B>
Status InitAlloc(CosSpecF32** out, int32_t n, int32_t tag) {
    if (!out) return StatusNullPointer;
    if (!AcceptedLength(n)) return StatusSizeError;
    // The size query answers in 32 bits: a length whose buffer would not fit is refused.
    if (WorkBufferBytes(tag, n) > static_cast<int64_t>(FftMaxBlockBytes)) return StatusNoMemory;
    auto* spec = static_cast<CosSpecF32*>(FftAllocBytes(sizeof(CosSpecF32)));
    if (!spec) return StatusNoMemory;
    B::ZeroBytes(reinterpret_cast<uint8_t*>(spec), static_cast<int32_t>(sizeof(CosSpecF32)));
    spec->tag = tag;
    spec->length = n;
    const Status filled = FillTables<B>(spec, n, tag);
    if (filled != StatusOk) {
        Release(spec);
        return filled;
    }
    *out = spec;
    return StatusOk;
}

Status Free(CosSpecF32* spec, int32_t tag) {
    if (!spec) return StatusNullPointer;
    if (spec->tag != tag) return StatusWrongContext;
    Release(spec);
    return StatusOk;
}

Status GetBufSize(const CosSpecF32* spec, int32_t* size, int32_t tag) {
    if (!spec || !size) return StatusNullPointer;
    if (spec->tag != tag) return StatusWrongContext;
    *size = static_cast<int32_t>(WorkBufferBytes(tag, spec->length));
    return StatusOk;
}

using X87 = MdctBuild<Build::X87>;
using Sse2 = MdctBuild<Build::Sse2>;

}  // namespace

Status MdctInitAllocFwdF32_x87(CosSpecF32** spec, int32_t n) { return InitAlloc<X87>(spec, n, MdctTagForward); }
Status MdctInitAllocInvF32_x87(CosSpecF32** spec, int32_t n) { return InitAlloc<X87>(spec, n, MdctTagInverse); }
Status MdctInitAllocFwdF32_sse2(CosSpecF32** spec, int32_t n) { return InitAlloc<Sse2>(spec, n, MdctTagForward); }
Status MdctInitAllocInvF32_sse2(CosSpecF32** spec, int32_t n) { return InitAlloc<Sse2>(spec, n, MdctTagInverse); }

Status MdctFreeFwdF32_x87(CosSpecF32* spec) { return Free(spec, MdctTagForward); }
Status MdctFreeInvF32_x87(CosSpecF32* spec) { return Free(spec, MdctTagInverse); }
Status MdctFreeFwdF32_sse2(CosSpecF32* spec) { return Free(spec, MdctTagForward); }
Status MdctFreeInvF32_sse2(CosSpecF32* spec) { return Free(spec, MdctTagInverse); }

Status MdctGetBufSizeFwdF32_x87(const CosSpecF32* spec, int32_t* size) {
    return GetBufSize(spec, size, MdctTagForward);
}
Status MdctGetBufSizeInvF32_x87(const CosSpecF32* spec, int32_t* size) {
    return GetBufSize(spec, size, MdctTagInverse);
}
Status MdctGetBufSizeFwdF32_sse2(const CosSpecF32* spec, int32_t* size) {
    return GetBufSize(spec, size, MdctTagForward);
}
Status MdctGetBufSizeInvF32_sse2(const CosSpecF32* spec, int32_t* size) {
    return GetBufSize(spec, size, MdctTagInverse);
}

}  // namespace Prim
