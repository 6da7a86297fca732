#include <Primitives/Prim/Memory.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace Prim {
namespace {

// The raw heap address is kept in the pointer-sized word just before the block.
constexpr std::size_t RawWord = sizeof(void*);
constexpr std::size_t Overhead = RawWord + AllocAlignment - 1;

std::atomic<AllocFailHook> failHook{nullptr};

void* AllocBytes(std::int32_t n, std::size_t elementSize) {
    if (n <= 0) {
        return nullptr;
    }
    // 64-bit arithmetic: n * 8 cannot wrap, and the block is never shorter than asked.
    const std::int64_t bytes = static_cast<std::int64_t>(n) * static_cast<std::int64_t>(elementSize);
    if (bytes > MaxAllocBytes) {
        return nullptr;
    }
    if (const AllocFailHook hook = failHook.load(std::memory_order_relaxed); hook && hook()) {
        return nullptr;
    }
    void* raw = std::malloc(static_cast<std::size_t>(bytes) + Overhead);
    if (raw == nullptr) {
        return nullptr;
    }
    const std::uintptr_t rawAddress = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t block = (rawAddress + Overhead) & ~(AllocAlignment - 1);
    std::memcpy(reinterpret_cast<void*>(block - RawWord), &raw, RawWord);
    return reinterpret_cast<void*>(block);
}

}  // namespace

std::uint8_t* AllocU8Direct(std::int32_t n) { return static_cast<std::uint8_t*>(AllocBytes(n, 1)); }
float* AllocF32Direct(std::int32_t n) { return static_cast<float*>(AllocBytes(n, sizeof(float))); }
double* AllocF64Direct(std::int32_t n) { return static_cast<double*>(AllocBytes(n, sizeof(double))); }

void FreeDirect(void* p) {
    if (p == nullptr) {
        return;
    }
    std::free(AllocRawAddress(p));
}

void SetAllocFailHook(AllocFailHook hook) { failHook.store(hook, std::memory_order_relaxed); }

void* AllocRawAddress(const void* block) {
    void* raw = nullptr;
    std::memcpy(&raw, static_cast<const unsigned char*>(block) - RawWord, RawWord);
    return raw;
}

}  // namespace Prim
