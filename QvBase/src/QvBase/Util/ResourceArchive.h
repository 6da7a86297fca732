#pragma once
#include <QvBase/Types.h>
#include <QvBase/Util/String.h>

#include <Platform/Resources/Resources.h>

#include <cstddef>
#include <cstdint>
#include <map>

// The members of the resource archive linked into the program, read in place by path
// ("UI/png/Slider_Left_Overlay.png"). The archive: a directory of entries (path, NUL,
// 32-bit little-endian offset and size from the archive's start) ended by an empty path,
// then the members. Only the first archive that loads is ever indexed.
class ResourceArchive {
public:
    // The process's archive; the program uses only this one.
    static ResourceArchive& Instance();

    // Separate instances serve tests of the archive format.
    ResourceArchive();
    ~ResourceArchive();
    ResourceArchive(const ResourceArchive&) = delete;
    ResourceArchive& operator=(const ResourceArchive&) = delete;

    // Indexes the module's resource `name` of type "QVRESEMBED"; false when there is none.
    // True at once, changing nothing, when an archive is already loaded.
    bool Load(const Platform::Resources::Module& module, const String& name);
    // The same for an archive already in memory, which must outlive this object.
    bool LoadFromMemory(const void* data, std::size_t size);

    // Indexes the directory: an entry reaching past the archive, or a member lying outside
    // it, ends the directory there (the entries before it stay); a repeated path keeps the
    // later entry.
    void Parse();

    // The member's first byte and size, or null and 0 (exact, case-sensitive path).
    void Find(const String& path, const void*& data, std::uint32_t& size) const;

    void Clear();

    std::size_t MemberCount() const { return m_members.size(); }

private:
    struct Member {
        std::uint32_t offset;
        std::uint32_t size;
    };

    const std::uint8_t* m_base;
    std::size_t m_size;
    std::map<String, Member> m_members;
};
