#include <QvBase/Audio/Decode/Rex/RexLibrary.h>

#include <QvBase/Util/DynamicLibrary.h>

#include <cstring>
#include <memory>

namespace Audio::Decode::REX {

namespace {

constexpr int32_t kLoaded = 1;
constexpr int32_t kAlreadyLoaded = 201;
constexpr int32_t kOutOfMemory = 100;
constexpr int32_t kFailed = 101;
constexpr int32_t kTooOld = 102;
constexpr int32_t kNotFound = 103;
constexpr int32_t kTooNew = 104;

struct EntryPoints {
    OpenFunction open = nullptr;
    CloseFunction close = nullptr;
    CreateFunction create = nullptr;
    DeleteFunction remove = nullptr;
    GetInfoFunction getInfo = nullptr;
    GetInfoFromBufferFunction getInfoFromBuffer = nullptr;
    GetCreatorInfoFunction getCreatorInfo = nullptr;
    GetSliceInfoFunction getSliceInfo = nullptr;
    SetOutputSampleRateFunction setOutputSampleRate = nullptr;
    RenderSliceFunction renderSlice = nullptr;
    StartPreviewFunction startPreview = nullptr;
    StopPreviewFunction stopPreview = nullptr;
    RenderPreviewBatchFunction renderPreviewBatch = nullptr;
    SetPreviewTempoFunction setPreviewTempo = nullptr;
};

struct State {
    std::unique_ptr<Util::DynamicLibrary> library;
    int uses = 0;
    EntryPoints entry;
};

State& Library() {
    static State state;
    return state;
}

template <class F>
bool Resolve(const Util::DynamicLibrary& library, const char* name, F& function) {
    function = reinterpret_cast<F>(library.GetFunction(name));
    return function != nullptr;
}

bool ResolveAll(const Util::DynamicLibrary& l, EntryPoints& e) {
    // Every one must be there, the ones the decoder never calls included.
    return Resolve(l, "Open", e.open) & Resolve(l, "Close", e.close) & Resolve(l, "REXCreate", e.create) &
        Resolve(l, "REXDelete", e.remove) & Resolve(l, "REXGetInfo", e.getInfo) &
        Resolve(l, "REXGetInfoFromBuffer", e.getInfoFromBuffer) & Resolve(l, "REXGetCreatorInfo", e.getCreatorInfo) &
        Resolve(l, "REXGetSliceInfo", e.getSliceInfo) & Resolve(l, "REXSetOutputSampleRate", e.setOutputSampleRate) &
        Resolve(l, "REXRenderSlice", e.renderSlice) & Resolve(l, "REXStartPreview", e.startPreview) &
        Resolve(l, "REXStopPreview", e.stopPreview) & Resolve(l, "REXRenderPreviewBatch", e.renderPreviewBatch) &
        Resolve(l, "REXSetPreviewTempo", e.setPreviewTempo);
}

int32_t Refuse(State& state, int32_t status) {
    state.entry = {};
    state.library.reset();
    state.uses = 0;
    return status;
}

}  // namespace

int32_t VersionStatus(uint32_t major, uint32_t minor, uint32_t third) {
    if (major < 1) return kTooOld;
    if (major > 1) return kTooNew;
    return (uint64_t(minor) + 1000) * 1000 + third >= 1001001 ? 0 : kTooOld;
}

int32_t RexLibrary::Load() {
    State& state = Library();
    if (state.library) {
        ++state.uses;
        return kAlreadyLoaded;
    }
    // No system-version test here: every system this program runs on is new enough.
    auto library = std::make_unique<Util::DynamicLibrary>("REX Shared Library Beta.dll");
    if (!library->Load()) {
        library = std::make_unique<Util::DynamicLibrary>("REX Shared Library.dll");
        if (!library->Load()) {
            switch (library->LastFailure()) {
            case Platform::Library::LoadFailure::OutOfMemory: return kOutOfMemory;
            case Platform::Library::LoadFailure::NotFound: return kNotFound;
            case Platform::Library::LoadFailure::Other: return kFailed;
            }
            return kFailed;
        }
    }
    state.library = std::move(library);
    const auto* words = static_cast<const uint32_t*>(state.library->GetFunction(kVersionSymbol));
    if (!words) return Refuse(state, kFailed);
    uint32_t version[2];
    std::memcpy(version, words, sizeof version);
    if (const int32_t refused = VersionStatus(version[0] >> 16, version[0] & 0xFFFF, version[1] >> 16))
        return Refuse(state, refused);
    state.uses = 1;
    if (!ResolveAll(*state.library, state.entry)) return Refuse(state, kFailed);
    if (!state.entry.open()) return Refuse(state, kFailed);
    return kLoaded;
}

void RexLibrary::Unload() {
    State& state = Library();
    if (!state.library || --state.uses > 0) return;
    state.entry.close();
    Refuse(state, 0);
}

bool RexLibrary::IsLoaded() { return Library().library != nullptr; }

Status RexLibrary::Create(Handle* handle, const char* bytes, int32_t size) {
    const auto f = Library().entry.create;
    return f ? f(handle, bytes, size, nullptr, nullptr) : kNotLoaded;
}

void RexLibrary::Delete(Handle* handle) {
    if (const auto f = Library().entry.remove) f(handle);
}

Status RexLibrary::GetInfo(Handle handle, int32_t size, LoopInfo* info) {
    const auto f = Library().entry.getInfo;
    return f ? f(handle, size, info) : kNotLoaded;
}

Status RexLibrary::GetSliceInfo(Handle handle, int32_t slice, int32_t size, SliceInfo* info) {
    const auto f = Library().entry.getSliceInfo;
    return f ? f(handle, slice, size, info) : kNotLoaded;
}

Status RexLibrary::RenderSlice(Handle handle, int32_t slice, int32_t frames, float* channels[2]) {
    const auto f = Library().entry.renderSlice;
    return f ? f(handle, slice, frames, channels) : kNotLoaded;
}

}  // namespace Audio::Decode::REX
