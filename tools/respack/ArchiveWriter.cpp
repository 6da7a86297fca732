#include "ArchiveWriter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace Respack {
namespace {

constexpr std::uint64_t kAlignment = 32;

std::uint64_t AlignUp(std::uint64_t value) { return (value + kAlignment - 1) / kAlignment * kAlignment; }

void AppendWord(std::vector<std::uint8_t>& out, std::uint64_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) throw std::runtime_error("cannot read " + file.string());
    return bytes;
}

}  // namespace

std::vector<Member> CollectMembers(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(folder, error)) throw std::runtime_error("not a folder: " + folder);
    std::vector<Member> members;
    fs::recursive_directory_iterator it(folder, error), end;
    for (; !error && it != end; it.increment(error)) {
        if (it->is_directory(error)) continue;
        if (!it->is_regular_file(error)) throw std::runtime_error("not a regular file: " + it->path().string());
        members.push_back({it->path().lexically_relative(folder).generic_string(), ReadFile(it->path())});
    }
    if (error) throw std::runtime_error("cannot list " + folder + ": " + error.message());
    std::sort(members.begin(), members.end(), [](const Member& a, const Member& b) { return a.path < b.path; });
    return members;
}

std::vector<std::uint8_t> BuildArchive(const std::vector<Member>& members) {
    std::uint64_t directorySize = 1;  // the end marker
    for (const Member& member : members) {
        if (member.path.empty() || member.path.find('\0') != std::string::npos) {
            throw std::runtime_error("member path must be non-empty text: \"" + member.path + "\"");
        }
        directorySize += member.path.size() + 9;
    }
    std::vector<std::uint64_t> offsets;
    std::uint64_t end = AlignUp(directorySize);
    for (const Member& member : members) {
        offsets.push_back(end);
        end = AlignUp(end + member.bytes.size());
    }
    if (end > UINT32_MAX) throw std::runtime_error("archive would exceed 4 GiB");

    std::vector<std::uint8_t> archive;
    archive.reserve(end);
    for (std::size_t i = 0; i < members.size(); ++i) {
        archive.insert(archive.end(), members[i].path.begin(), members[i].path.end());
        archive.push_back(0);
        AppendWord(archive, offsets[i]);
        AppendWord(archive, members[i].bytes.size());
    }
    archive.push_back(0);
    for (std::size_t i = 0; i < members.size(); ++i) {
        archive.resize(offsets[i], 0);
        archive.insert(archive.end(), members[i].bytes.begin(), members[i].bytes.end());
    }
    archive.resize(end, 0);
    return archive;
}

}  // namespace Respack
