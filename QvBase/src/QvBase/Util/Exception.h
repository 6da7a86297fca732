#pragma once
#include <QvBase/Util/String.h>

#include <cstdint>

namespace Exception {

// Root of the system's own exceptions: a message, and where it was thrown with the
// thread's last system error at that point. Thrown by value.
class Base {
public:
    explicit Base(const String& message);
    Base(const Base& other) = default;
    Base& operator=(const Base& other) = default;
    virtual ~Base();

    // Passing the object's own source file is allowed.
    void SetSource(const String& sourceFile, std::int32_t line, std::uint32_t lastError);

    String Message() const;
    String SourceFile() const;
    std::int32_t Line() const;
    std::uint32_t LastError() const;

    // A report with one section per class of the hierarchy.
    virtual String Description() const;

private:
    String m_strMessage;
    String m_strSourceFile;
    std::int32_t m_nLine = -1;
    std::uint32_t m_uLastError = 0xFFFFFFFFu;
};

// The thread's last system error, as throw sites pass it to SetSource.
std::uint32_t LastSystemError();

// Locates the exception at its throw site with the last system error and throws it.
template <class E>
[[noreturn]] void Throw(E exception, const String& sourceFile, std::int32_t line) {
    exception.SetSource(sourceFile, line, LastSystemError());
    throw exception;
}

}  // namespace Exception
