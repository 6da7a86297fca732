#include <Primitives/Vec/Window.h>

#include <Primitives/Prim/Window.h>
#include <Primitives/Vec/Convert.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace Vec {
namespace {

constexpr std::int32_t maxTemporaryLength = 0x3FFFFFFF;

// Narrow, window the float temporary through its entry point, widen back.
template <class Window>
void ThroughFloats(const char* name, std::int32_t len, double* data, Window window) {
    if (len > maxTemporaryLength) {
        throw std::length_error(std::string(name) + ": " + std::to_string(len) +
            " points exceed the float temporary's limit of " + std::to_string(maxTemporaryLength));
    }
    // A negative length gives an empty temporary; every step is then refused.
    std::vector<float> temporary(len > 0 ? static_cast<std::size_t>(len) : 0, 0.0f);
    ConvertF64ToF32(len, data, temporary.data());
    window(temporary.data(), len);
    ConvertF32ToF64(len, temporary.data(), data);
}

}  // namespace

void WinBartlettF64(std::int32_t len, double* data) {
    ThroughFloats("Vec::WinBartlettF64", len, data, Prim::WinBartlettF32);
}
void WinHannF64(std::int32_t len, double* data) { ThroughFloats("Vec::WinHannF64", len, data, Prim::WinHannF32); }
void WinHammingF64(std::int32_t len, double* data) {
    ThroughFloats("Vec::WinHammingF64", len, data, Prim::WinHammingF32);
}
void WinBlackmanF64(std::int32_t len, double* data, float alpha) {
    ThroughFloats("Vec::WinBlackmanF64", len, data,
        [alpha](float* x, std::int32_t n) { return Prim::WinBlackmanF32(x, n, alpha); });
}

}  // namespace Vec
