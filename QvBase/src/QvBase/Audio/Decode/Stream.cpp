#include <QvBase/Audio/Decode/Stream.h>

namespace Audio::Decode {

Stream::~Stream() = default;

Format Stream::OpenForward() { return Open(); }

std::optional<uint32_t> Stream::ExpectedFrames() { return std::nullopt; }

}  // namespace Audio::Decode
