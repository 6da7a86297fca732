// The two entry points of the media runtime, looked up by name when the library is loaded.

#include <Platform/Media/WMVCore/AsfSource.h>
#include <Platform/Media/WMVCore/Reader.h>

extern "C" {
#include <libavutil/log.h>
}

#include <new>

using namespace Platform::Media;

extern "C" __attribute__((visibility("default"))) Result WMValidateData(const uint8_t* data, uint32_t* size) {
    if (!data || !size) return kInvalidArgument;
    return Runtime::StartsWithAsfHeader(data, *size) ? kOk : kNotWindowsMedia;
}

extern "C" __attribute__((visibility("default"))) Result WMCreateSyncReader(Unknown*, uint32_t, SyncReader** reader) {
    if (!reader) return kInvalidArgument;
    // Damaged files are reported through the results, not on the program's error output.
    av_log_set_level(AV_LOG_QUIET);
    *reader = Runtime::Make<Runtime::Reader>();
    return *reader ? kOk : kOutOfMemory;
}
