#pragma once

#include <QvBase/Util/Exception.h>
#include <QvBase/Util/String.h>

#include <cstdint>

namespace Audio::Decode::Exception {

// A file a decoder cannot read: the message says what is wrong, the detail is the file's path.
class BadFormat : public ::Exception::Base {
public:
    BadFormat(const String& message, const String& detail);
    BadFormat(const BadFormat&) = default;
    ~BadFormat() override;

    String Detail() const { return m_detail; }
    String Description() const override;

private:
    String m_detail;
};

// A decoding failure reported by a decoding library, with its error code.
class DecodeError : public BadFormat {
public:
    DecodeError(const String& message, const String& detail, int32_t code);
    DecodeError(const DecodeError&) = default;
    ~DecodeError() override;

    int32_t Code() const { return m_code; }
    String Description() const override;

private:
    int32_t m_code;
};

// Throws BadFormat located at the caller's source line.
[[noreturn]] void ThrowBadFormat(const String& message, const String& detail, const char* sourceFile, int line);

}  // namespace Audio::Decode::Exception

#define AUDIO_DECODE_THROW(message, detail) \
    ::Audio::Decode::Exception::ThrowBadFormat((message), (detail), __FILE__, __LINE__)
