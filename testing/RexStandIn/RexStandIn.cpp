// A stand-in for the REX vendor library, for tests only: it answers the decoder's calls from
// the invented layout of RexStandInFile.h. Variants built from this file force each way a
// load can end (see testing/CMakeLists.txt).

#include "RexStandInFile.h"

#include <new>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Opened {
    RexStandIn::Loop loop;
    std::vector<int> queries;  // per slice
};

int32_t Word(const char* bytes, size_t index) {
    int32_t w;
    std::memcpy(&w, bytes + 12 + 4 * index, 4);
    return w;
}

Opened* From(intptr_t handle) { return reinterpret_cast<Opened*>(handle); }

bool Applies(const RexStandIn::Loop& loop, int32_t slice) {
    return loop.failingSlice < 0 || loop.failingSlice == slice;
}

}  // namespace

#ifdef STANDIN_HUGE
// More than any machine can map: loading this variant runs out of memory.
extern "C" {
__attribute__((visibility("default"))) char REXStandInReserve[1ull << 47];
}
#endif

#ifndef STANDIN_NO_VERSION
EXPORT const uint32_t REXFileVersion[2] = {STANDIN_VERSION_MS, STANDIN_VERSION_LS};
#endif

EXPORT char Open() {
#ifdef STANDIN_OPEN_FAILS
    return 0;
#else
    return 1;
#endif
}

EXPORT void Close() {}

EXPORT int32_t REXCreate(intptr_t* handle, const char* bytes, int32_t size, void*, void*) {
    if (!handle || !bytes || size < int32_t(RexStandIn::kHeaderBytes)) return 3;
    if (std::memcmp(bytes, "CAT ", 4) != 0 || std::memcmp(bytes + 8, "REX2", 4) != 0) return 3;
    Opened* opened = nullptr;
    try {
        opened = new Opened;
    } catch (const std::bad_alloc&) {
        return 2;
    }
    RexStandIn::Loop& loop = opened->loop;
    for (size_t i = 0; i < 9; ++i) loop.info[i] = Word(bytes, i);
    loop.createStatus = Word(bytes, 9);
    loop.infoStatus = Word(bytes, 10);
    loop.sliceInfoStatus = Word(bytes, 11);
    loop.renderStatus = Word(bytes, 12);
    loop.failingSlice = Word(bytes, 13);
    for (size_t at = RexStandIn::kHeaderBytes; at + 12 <= size_t(size); at += 12) {
        const size_t w = (at - 12) / 4;
        loop.slices.push_back({Word(bytes, w), Word(bytes, w + 1), Word(bytes, w + 2)});
    }
    opened->queries.assign(loop.slices.size(), 0);
    if (loop.createStatus != 1) {
        const int32_t status = loop.createStatus;
        delete opened;
        return status;
    }
    *handle = reinterpret_cast<intptr_t>(opened);
    return 1;
}

EXPORT void REXDelete(intptr_t* handle) {
    if (!handle) return;
    delete From(*handle);
    *handle = 0;
}

EXPORT int32_t REXGetInfo(intptr_t handle, int32_t size, void* info) {
    if (!handle || size != 36 || !info) return 4;
    if (From(handle)->loop.infoStatus != 1) return From(handle)->loop.infoStatus;
    std::memcpy(info, From(handle)->loop.info, 36);
    return 1;
}

EXPORT int32_t REXGetInfoFromBuffer(int32_t, const char*, int32_t, void*) { return 1; }
EXPORT int32_t REXGetCreatorInfo(intptr_t, int32_t, void*) { return 1; }

EXPORT int32_t REXGetSliceInfo(intptr_t handle, int32_t slice, int32_t size, void* info) {
    if (!handle || size != 8 || !info) return 4;
    Opened& o = *From(handle);
    if (slice < 0 || size_t(slice) >= o.loop.slices.size()) return 6;
    if (o.loop.sliceInfoStatus != 1 && Applies(o.loop, slice)) return o.loop.sliceInfoStatus;
    const RexStandIn::Slice& s = o.loop.slices[size_t(slice)];
    const int32_t words[2] = {s.position, o.queries[size_t(slice)]++ ? s.laterLength : s.length};
    std::memcpy(info, words, 8);
    return 1;
}

EXPORT int32_t REXSetOutputSampleRate(intptr_t, int32_t) { return 1; }

EXPORT int32_t REXRenderSlice(intptr_t handle, int32_t slice, int32_t frames, float* channels[2]) {
    if (!handle || !channels) return 4;
    Opened& o = *From(handle);
    if (slice < 0 || size_t(slice) >= o.loop.slices.size()) return 6;
    if (o.loop.renderStatus != 1 && Applies(o.loop, slice)) return o.loop.renderStatus;
    if (frames != o.loop.slices[size_t(slice)].laterLength) return 5;
    for (int32_t c = 0; c < o.loop.info[0] && c < 2; ++c)
        for (int32_t f = 0; f < frames; ++f) channels[c][f] = RexStandIn::Sample(slice, c, f);
    return 1;
}

EXPORT int32_t REXStartPreview(intptr_t) { return 1; }
EXPORT int32_t REXStopPreview(intptr_t) { return 1; }
EXPORT int32_t REXRenderPreviewBatch(intptr_t, int32_t, float**) { return 1; }
#ifndef STANDIN_MISSING_ENTRY
EXPORT int32_t REXSetPreviewTempo(intptr_t, int32_t) { return 1; }
#endif
