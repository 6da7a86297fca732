#include <Primitives/Prim/BlockKernels.h>

#include <cstring>

namespace Prim {
namespace {

template <std::size_t Size>
void FillElements(const void* value, void* dst, std::size_t count) {
    unsigned char pattern[Size];
    std::memcpy(pattern, value, Size);
    auto* out = static_cast<unsigned char*>(dst);
    for (std::size_t i = 0; i < count; ++i) {
        std::memcpy(out + i * Size, pattern, Size);
    }
}

}  // namespace

void CopyBytes_x87(const void* src, void* dst, std::size_t bytes) { std::memcpy(dst, src, bytes); }

void MoveBytes_x87(const void* src, void* dst, std::size_t bytes) { std::memmove(dst, src, bytes); }

void ZeroBytes_x87(void* dst, std::size_t bytes) { std::memset(dst, 0, bytes); }

void FillKernel_x87(const void* value, std::size_t size, void* dst, std::size_t count) {
    switch (size) {
    case 1: std::memset(dst, *static_cast<const unsigned char*>(value), count); break;
    case 2: FillElements<2>(value, dst, count); break;
    case 4: FillElements<4>(value, dst, count); break;
    case 8: FillElements<8>(value, dst, count); break;
    default: break;
    }
}

}  // namespace Prim
