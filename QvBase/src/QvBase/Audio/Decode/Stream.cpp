#include <QvBase/Audio/Decode/Stream.h>

namespace Audio::Decode {

Stream::~Stream() = default;

Format Stream::OpenForward() { return Open(); }

}  // namespace Audio::Decode
