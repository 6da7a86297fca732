#include <QvBase/Audio/Decode/HeaderProbe.h>

#include <QvBase/Audio/Decode/ByteOrder.h>
#include <QvBase/Audio/Decode/Wma/WmaLibrary.h>
#include <QvBase/Util/ExceptionFileIO.h>
#include <QvBase/Util/File.h>
#include <QvBase/Util/Path.h>

#include <algorithm>
#include <vector>

namespace Audio::Decode {

namespace {

constexpr uint32_t kProbeBytes = 2048;
constexpr uint32_t kMinimumBytes = 12;

bool Matches(const uint8_t* bytes, size_t count, uint32_t magic, uint32_t form) {
    return count >= kMinimumBytes && FourCC(bytes) == magic && FourCC(bytes + 8) == form;
}

}  // namespace

std::optional<Type> ProbeHeaderBytes(const uint8_t* bytes, size_t count) {
    if (Matches(bytes, count, FourCC("RIFF"), FourCC("WAVE"))) return Type::Wav;
    if (Matches(bytes, count, FourCC("FORM"), FourCC("AIFF"))) return Type::Aiff;
    if (WMA::ProbeBytes(bytes, count)) return Type::WindowsMedia;
    if (Matches(bytes, count, FourCC("CAT "), FourCC("REX2"))) return Type::Rex;
    return std::nullopt;
}

std::optional<Type> ProbeHeader(const String& path) {
    std::vector<uint8_t> head;
    try {
        Util::File file{Path(path)};
        file.Open(Util::File::ModeRead);
        const auto size = file.SizeOf();
        if (!size || *size < kMinimumBytes) return std::nullopt;
        head.resize(std::min(*size, kProbeBytes));
        file.Read(head.data(), uint32_t(head.size()));
        file.Close();
    } catch (const Util::Exception::FileIO&) {
        return std::nullopt;
    }
    return ProbeHeaderBytes(head.data(), head.size());
}

Type TypeFromExtension(const String& path) {
    const String extension = Path(path).Extension().ToLower();
    if (extension == "mp3") return Type::Mp3;
    if (extension == "wma" || extension == "wmv" || extension == "asf") return Type::WindowsMedia;
    // The compressed form has no header probe of its own, so its extension must reach the
    // decoder that reads it.
    if (extension == "aif" || extension == "aiff" || extension == "aifc") return Type::Aiff;
    return Type::Wav;
}

}  // namespace Audio::Decode
