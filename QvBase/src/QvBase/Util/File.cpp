#include <QvBase/Util/File.h>

#include <QvBase/Util/ExceptionFileIO.h>
#include <QvBase/Util/FileMode.h>

#include <Platform/Kernel/FileStatus.h>
#include <Platform/Kernel/FileStream.h>

#include <limits>

namespace Util {

namespace {

const char* const kSourceFile = "\\Quorvel\\QvBase\\src\\QvBase\\Util\\File";

[[noreturn]] void ThrowFileError(const String& message, const Path& path, std::int32_t kind, std::int32_t line) {
    ::Exception::Throw(Exception::FileIO(message, path.Text(), kind), kSourceFile, line);
}

std::optional<std::uint32_t> Fit32(std::optional<std::uint64_t> value) {
    if (!value || *value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

}  // namespace

File::File(const Path& path) : m_path(path) {}

File::~File() {
    // A failed close must not escape a destructor, least of all during unwinding.
    try {
        Close();
    } catch (...) {}
}

void File::Open(std::uint32_t mode) {
    if (m_pStream) Close();
    const String native = m_path.ToNative();
    std::FILE* stream = Platform::Kernel::OpenFile(native.CStr(), FileRuntimeMode(mode).CStr());
    if (!stream) ThrowFileError("Error opening file", m_path, Exception::FileIO::OpenError, 248);
    m_pStream = stream;
    m_uMode = mode;
    m_bOpen = true;
}

void File::Seek(std::uint32_t offset) {
    if (!m_pStream)
        ThrowFileError(String("Attempt to seek to %1 when not open").Arg(static_cast<uint>(offset)), m_path,
            Exception::FileIO::UnexpectedError, 278);
    if (!Platform::Kernel::SeekFile(m_pStream, offset))
        ThrowFileError(String("Seek to %1 failed").Arg(static_cast<uint>(offset)), m_path,
            Exception::FileIO::UnexpectedError, 285);
}

void File::Read(void* buffer, std::uint32_t count) {
    if (count == 0 || !buffer) return;
    if (!m_pStream)
        ThrowFileError(String("Attempt to read %1 bytes when not open").Arg(static_cast<uint>(count)), m_path,
            Exception::FileIO::ReadError, 378);
    const String shortRead("Attempt to read %1 bytes, only read %2 bytes");
    if (m_uMode & ModeText) {
        const std::optional<std::uint64_t> before = Platform::Kernel::TellFile(m_pStream);
        Platform::Kernel::ReadFile(m_pStream, buffer, count);
        const std::optional<std::uint64_t> after = Platform::Kernel::TellFile(m_pStream);
        const std::uint64_t advanced = before && after && *after >= *before ? *after - *before : 0;
        if (advanced != count)
            ThrowFileError(shortRead.Arg(static_cast<uint>(count)).Arg(static_cast<unsigned long long>(advanced)),
                m_path, Exception::FileIO::ReadError, 393);
        return;
    }
    const std::size_t got = Platform::Kernel::ReadFile(m_pStream, buffer, count);
    if (got < count)
        ThrowFileError(shortRead.Arg(static_cast<uint>(count)).Arg(static_cast<unsigned long long>(got)), m_path,
            Exception::FileIO::ReadError, 400);
}

void File::Close() {
    if (!m_pStream) return;
    const bool closed = Platform::Kernel::CloseFile(m_pStream);
    m_pStream = nullptr;
    m_uMode = 0;
    m_bOpen = false;
    if (!closed) ThrowFileError("Close failed", m_path, Exception::FileIO::CloseError, 318);
}

std::optional<std::uint32_t> File::Tell() const {
    if (!m_pStream) return std::nullopt;
    return Fit32(Platform::Kernel::TellFile(m_pStream));
}

std::optional<std::uint32_t> File::SizeOf() const {
    if (m_path.IsEmpty()) return std::nullopt;
    if (m_pStream) return Fit32(Platform::Kernel::FileSize(m_pStream));
    return Fit32(Platform::Kernel::FileSize(m_path.ToNative().CStr()));
}

bool File::Exists() const { return Platform::Kernel::FileExists(m_path.ToNative().CStr()); }

}  // namespace Util
