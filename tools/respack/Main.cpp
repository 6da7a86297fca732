// Packs a folder into the program's resource archive: respack <folder> <archive>.
#include "ArchiveWriter.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

// Written beside the target and renamed over it, so a failed run leaves no half archive.
void WriteFileAtomically(const std::string& target, const std::vector<std::uint8_t>& bytes) {
    const std::string temporary = target + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) throw std::runtime_error("cannot write " + temporary);
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw std::runtime_error("cannot replace " + target);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: respack <folder> <archive>\n");
        return 2;
    }
    try {
        WriteFileAtomically(argv[2], Respack::BuildArchive(Respack::CollectMembers(argv[1])));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "respack: %s\n", error.what());
        return 1;
    }
    return 0;
}
