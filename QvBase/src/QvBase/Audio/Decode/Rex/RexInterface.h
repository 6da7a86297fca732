#pragma once
// What passes between the REX decoder and the REX vendor library, loaded at run time: the
// records it fills and the entry points it exports, as this system declares them.

#include <cstdint>

namespace Audio::Decode::REX {

using Status = int32_t;
constexpr Status kOk = 1;
// The forwarding wrappers' answer when the library or the entry point is missing.
constexpr Status kNotLoaded = 200;

using Handle = intptr_t;

// Filled by REXGetInfo: nine signed 32-bit fields.
struct LoopInfo {
    int32_t channels;
    int32_t sampleRate;
    int32_t sliceCount;
    int32_t unused4;
    int32_t tempo;  // thousandths of beats per minute
    int32_t loopLength;  // ticks
    int32_t checkedOnly;  // unused, but a file with it below 1 is refused
    int32_t multiplier;  // D of the tick formula
    int32_t unused9;
};
static_assert(sizeof(LoopInfo) == 36);

// Filled by REXGetSliceInfo.
struct SliceInfo {
    int32_t position;  // ticks
    int32_t length;  // sample frames
};
static_assert(sizeof(SliceInfo) == 8);

extern "C" {
using OpenFunction = char (*)();
using CloseFunction = void (*)();
using CreateFunction = Status (*)(Handle* handle, const char* bytes, int32_t size, void* callback, void* data);
using DeleteFunction = void (*)(Handle* handle);
using GetInfoFunction = Status (*)(Handle handle, int32_t size, LoopInfo* info);
using GetInfoFromBufferFunction = Status (*)(int32_t bytesSize, const char* bytes, int32_t size, LoopInfo* info);
using GetCreatorInfoFunction = Status (*)(Handle handle, int32_t size, void* info);
using GetSliceInfoFunction = Status (*)(Handle handle, int32_t slice, int32_t size, SliceInfo* info);
using SetOutputSampleRateFunction = Status (*)(Handle handle, int32_t rate);
using RenderSliceFunction = Status (*)(Handle handle, int32_t slice, int32_t frames, float* channels[2]);
using StartPreviewFunction = Status (*)(Handle handle);
using StopPreviewFunction = Status (*)(Handle handle);
using RenderPreviewBatchFunction = Status (*)(Handle handle, int32_t frames, float* channels[2]);
using SetPreviewTempoFunction = Status (*)(Handle handle, int32_t tempo);
}

// The library's version, exported as two 32-bit words since shared objects carry no version
// resource: major << 16 | minor, then third << 16 | fourth.
inline constexpr const char* kVersionSymbol = "REXFileVersion";

}  // namespace Audio::Decode::REX
