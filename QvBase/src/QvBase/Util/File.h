#pragma once
#include <QvBase/Util/Path.h>

#include <cstdint>
#include <cstdio>
#include <optional>

namespace Util {

// A file handle over a buffered stream: opened by mode bits, read exactly, sought
// and measured. Every failure on the stream throws Util::Exception::FileIO.
// Positions and sizes are 64-bit inside; one that does not fit 32 bits is refused.
class File {
public:
    // Mode bits of Open.
    enum : std::uint32_t {
        ModeRead = 2,
        ModeWrite = 4,
        ModeReadWrite = 8,
        ModeAppend = 16,
        ModeTruncate = 32,
        ModeText = 64,
    };

    explicit File(const Path& path);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Closes a stream that is already open first.
    void Open(std::uint32_t mode);
    void Seek(std::uint32_t offset);
    void Read(void* buffer, std::uint32_t count);
    void Close();

    std::optional<std::uint32_t> Tell() const;
    std::optional<std::uint32_t> SizeOf() const;
    bool Exists() const;

    const Path& GetPath() const { return m_path; }
    bool IsOpen() const { return m_bOpen; }

private:
    Path m_path;
    std::FILE* m_pStream = nullptr;
    std::uint32_t m_uMode = 0;
    bool m_bOpen = false;
};

}  // namespace Util
