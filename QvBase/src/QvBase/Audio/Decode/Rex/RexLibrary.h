#pragma once
#include <QvBase/Audio/Decode/Rex/RexInterface.h>

#include <cstdint>

namespace Audio::Decode::REX {

// The process-wide loader of the REX vendor library. Load statuses: 1 loaded now, 201
// already loaded (one more use), 100 not enough memory, 101 any other failure (an entry
// point missing, no version, "Open" refused), 102 library too old, 103 not found, 104
// library too new.
class RexLibrary {
public:
    static int32_t Load();
    // Drops one use; the last one closes and frees the library. Only while loaded.
    static void Unload();
    static bool IsLoaded();

    // Forwarding wrappers: 200 without calling anything when the library is not loaded.
    static Status Create(Handle* handle, const char* bytes, int32_t size);
    static void Delete(Handle* handle);
    static Status GetInfo(Handle handle, int32_t size, LoopInfo* info);
    static Status GetSliceInfo(Handle handle, int32_t slice, int32_t size, SliceInfo* info);
    static Status RenderSlice(Handle handle, int32_t slice, int32_t frames, float* channels[2]);
};

// Whether a version (major, minor, third) is one the decoder works with: 0 when it is,
// else the load status that refuses it (102 too old, 104 too new).
int32_t VersionStatus(uint32_t major, uint32_t minor, uint32_t third);

}  // namespace Audio::Decode::REX
