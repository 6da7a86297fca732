#include <Primitives/Prim/Filter/Tone.h>
#include <Primitives/Prim/Filter/ToneSteps.h>

namespace Prim {

Status ToneF32_x87(float* dst, std::int32_t len, float magnitude, float rFreq, float* phase, std::int32_t) {
    if (const Status s = ToneSteps::Check(dst, len, magnitude, rFreq, phase); s != StatusOk) return s;
    const double omega = ToneSteps::TwoPi * static_cast<double>(rFreq);
    const float start = *phase;
    *phase = ToneSteps::NextPhase(omega, len, start);
    ToneSteps::Recurrence(dst, static_cast<std::size_t>(len), magnitude, omega, start);
    return StatusOk;
}

}  // namespace Prim
