// The filters and generators of the primitive library, per build, in samples per second.
#include <Primitives/Prim/Filter/Tone.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

// The tone generator's double recurrence (both builds) against the SSE2 block method.
void BM_ToneF32(benchmark::State& state, Prim::Status (*tone)(float*, std::int32_t, float, float, float*, std::int32_t),
    std::int32_t hint) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    std::vector<float> out(static_cast<std::size_t>(n));
    float phase = 0.0f;
    for (auto _ : state) {
        tone(out.data(), n, 1.0f, 0.0123f, &phase, hint);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK_CAPTURE(BM_ToneF32, x87, &Prim::ToneF32_x87, 0)->Arg(65536);
BENCHMARK_CAPTURE(BM_ToneF32, sse2_double, &Prim::ToneF32_sse2, 0)->Arg(65536);
BENCHMARK_CAPTURE(BM_ToneF32, sse2_block, &Prim::ToneF32_sse2, 1)->Arg(65536);

}  // namespace
