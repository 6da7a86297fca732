#include <QvBase/Util/ResourceArchive.h>

#include <cstring>
#include <string>

namespace {

constexpr const char* kArchiveType = "QVRESEMBED";

std::uint32_t ReadWord(const std::uint8_t* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

}  // namespace

ResourceArchive& ResourceArchive::Instance() {
    static ResourceArchive instance;  // emptied at exit by its destructor
    return instance;
}

ResourceArchive::ResourceArchive() : m_base(nullptr), m_size(0) {}

ResourceArchive::~ResourceArchive() { Clear(); }

bool ResourceArchive::Load(const Platform::Resources::Module& module, const String& name) {
    if (m_base) {
        return true;
    }
    Platform::Resources::Resource resource;
    if (!module.Find(std::string_view(name.CStr(), name.Length()), kArchiveType, resource)) {
        return false;
    }
    return LoadFromMemory(resource.data, resource.size);
}

bool ResourceArchive::LoadFromMemory(const void* data, std::size_t size) {
    if (m_base) {
        return true;
    }
    if (!data) {
        return false;
    }
    m_base = static_cast<const std::uint8_t*>(data);
    m_size = size;
    Parse();
    return true;
}

void ResourceArchive::Parse() {
    if (!m_base) {
        return;
    }
    std::size_t pos = 0;
    while (pos < m_size && m_base[pos] != 0) {
        const void* nul = std::memchr(m_base + pos, 0, m_size - pos);
        if (!nul) {
            return;  // a path without its NUL
        }
        const std::size_t length = static_cast<const std::uint8_t*>(nul) - (m_base + pos);
        if (m_size - pos - length < 9) {
            return;  // offset and size cut off
        }
        const std::uint32_t offset = ReadWord(m_base + pos + length + 1);
        const std::uint32_t size = ReadWord(m_base + pos + length + 5);
        if (offset > m_size || size > m_size - offset) {
            return;  // the member lies outside the archive
        }
        m_members[String(std::string(reinterpret_cast<const char*>(m_base + pos), length))] = {offset, size};
        pos += length + 9;
    }
}

void ResourceArchive::Find(const String& path, const void*& data, std::uint32_t& size) const {
    data = nullptr;
    size = 0;
    if (!m_base) {
        return;
    }
    const auto it = m_members.find(path);
    if (it != m_members.end()) {
        data = m_base + it->second.offset;
        size = it->second.size;
    }
}

void ResourceArchive::Clear() { m_members.clear(); }
