#include <QvBase/Util/Exception.h>

#include <Platform/Kernel/LastError.h>

namespace Exception {

Base::Base(const String& message) : m_strMessage(message) {}

Base::~Base() = default;

void Base::SetSource(const String& sourceFile, std::int32_t line, std::uint32_t lastError) {
    m_strSourceFile = sourceFile;
    m_nLine = line;
    m_uLastError = lastError;
}

String Base::Message() const { return m_strMessage; }
String Base::SourceFile() const { return m_strSourceFile; }
std::int32_t Base::Line() const { return m_nLine; }
std::uint32_t Base::LastError() const { return m_uLastError; }

String Base::Description() const {
    String description("Base:\n");
    description += "\t";
    description += m_strMessage;
    description += "\n\t";
    description += String("%1 (%2): Thrown, GetLastError(): %3\n")
                       .Arg(m_strSourceFile)
                       .Arg(static_cast<int>(m_nLine))
                       .Arg(static_cast<uint>(m_uLastError));
    return description;
}

std::uint32_t LastSystemError() { return Platform::Kernel::LastError(); }

}  // namespace Exception
