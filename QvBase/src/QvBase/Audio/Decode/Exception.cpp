#include <QvBase/Audio/Decode/Exception.h>

namespace Audio::Decode::Exception {

BadFormat::BadFormat(const String& message, const String& detail) : ::Exception::Base(message), m_detail(detail) {}

BadFormat::~BadFormat() = default;

String BadFormat::Description() const {
    // Concatenated rather than filled in, so that a "%" in a path is never taken for a marker.
    return ::Exception::Base::Description() + "\nBadFormat: '" + m_detail + "'\n";
}

DecodeError::DecodeError(const String& message, const String& detail, int32_t code)
    : BadFormat(message, detail), m_code(code) {}

DecodeError::~DecodeError() = default;

String DecodeError::Description() const {
    return BadFormat::Description() + "\nDecodeError: " + String().Arg(m_code, 10) + "\n";
}

void ThrowBadFormat(const String& message, const String& detail, const char* sourceFile, int line) {
    ::Exception::Throw(BadFormat(message, detail), sourceFile, line);
}

}  // namespace Audio::Decode::Exception
