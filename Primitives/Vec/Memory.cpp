#include <Primitives/Vec/Memory.h>

#include <Primitives/Prim/Memory.h>

namespace Vec {

std::uint8_t* AllocU8(std::int32_t n) { return Prim::AllocU8(n); }
float* AllocF32(std::int32_t n) { return Prim::AllocF32(n); }
double* AllocF64(std::int32_t n) { return Prim::AllocF64(n); }
void Free(void* p) { Prim::Free(p); }

}  // namespace Vec
