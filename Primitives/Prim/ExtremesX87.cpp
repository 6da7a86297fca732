// Portable builds: one pass in index order with the x87 comparisons. The
// minimum's test is "not at least", which lets a NaN in; the maximum's is
// "greater", which never does.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Extremes.h>

#include <cstddef>

namespace Prim {
namespace {

struct Greater {
    template <class T>
    bool operator()(T x, T running) const {
        return x > running;
    }
};
struct NotAtLeast {
    template <class T>
    bool operator()(T x, T running) const {
        return !(x >= running);
    }
};

template <class T, class Beyond>
Status Extreme(const T* src, std::int32_t len, T* result, std::int32_t* index, Beyond beyond) {
    if (const Status s = ArithCheck::Vectors(len, src, result); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    T running = src[0];
    std::size_t at = 0;
    for (std::size_t i = 1; i < n; ++i) {
        if (beyond(src[i], running)) {
            running = src[i];
            at = i;
        }
    }
    *result = running;
    if (index != nullptr) *index = static_cast<std::int32_t>(at);
    return StatusOk;
}

// srcDst[i] stays when keep(srcDst[i], src[i]), else takes src[i].
template <class Keep>
Status Every(const float* src, float* srcDst, std::int32_t len, Keep keep) {
    if (const Status s = ArithCheck::Vectors(len, src, srcDst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i) {
        if (!keep(srcDst[i], src[i])) srcDst[i] = src[i];
    }
    return StatusOk;
}

}  // namespace

Status MaxF32_x87(const float* src, std::int32_t len, float* max) { return Extreme(src, len, max, nullptr, Greater{}); }
Status MaxF64_x87(const double* src, std::int32_t len, double* max) {
    return Extreme(src, len, max, nullptr, Greater{});
}
Status MinF32_x87(const float* src, std::int32_t len, float* min) {
    return Extreme(src, len, min, nullptr, NotAtLeast{});
}
Status MinF64_x87(const double* src, std::int32_t len, double* min) {
    return Extreme(src, len, min, nullptr, NotAtLeast{});
}
Status MaxIndexF32_x87(const float* src, std::int32_t len, float* max, std::int32_t* index) {
    return Extreme(src, len, max, index, Greater{});
}
Status MinIndexF32_x87(const float* src, std::int32_t len, float* min, std::int32_t* index) {
    return Extreme(src, len, min, index, NotAtLeast{});
}
Status MaxEveryInPlaceF32_x87(const float* src, float* srcDst, std::int32_t len) {
    return Every(src, srcDst, len, [](float d, float s) { return d >= s; });
}
Status MinEveryInPlaceF32_x87(const float* src, float* srcDst, std::int32_t len) {
    return Every(src, srcDst, len, [](float d, float s) { return d <= s; });
}

}  // namespace Prim
