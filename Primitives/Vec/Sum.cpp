#include <Primitives/Vec/Sum.h>

#include <Primitives/Prim/Sum.h>

namespace Vec {

float SumF32(std::int32_t len, const float* src) {
    float sum = 0.0f;
    const Prim::Status status = Prim::SumF32(src, len, &sum, 0);
    return status == Prim::StatusOk ? sum : 0.0f;
}

}  // namespace Vec
