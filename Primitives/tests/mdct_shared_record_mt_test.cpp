// One MDCT record of each build shared by several threads, each with its own buffer.
#include "support/fft_reference.h"

#include <Primitives/Prim/Fft/Mdct.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(MdctSharedRecord, ConcurrentTransformsAgreeWithASingleThread) {
    using Init = Prim::Status (*)(Prim::CosSpecF32**, int32_t);
    using Transform = Prim::Status (*)(float*, const Prim::CosSpecF32*, uint8_t*);
    using Release = Prim::Status (*)(Prim::CosSpecF32*);
    struct Build {
        Init init;
        Transform run;
        Release release;
    };
    for (const Build build : {Build{&Prim::MdctInitAllocFwdF32_x87, &Prim::MdctFwdF32_x87, &Prim::MdctFreeFwdF32_x87},
             Build{&Prim::MdctInitAllocInvF32_sse2, &Prim::MdctInvF32_sse2, &Prim::MdctFreeInvF32_sse2}}) {
        constexpr int32_t N = 1024;
        constexpr int Threads = 4;
        Prim::CosSpecF32* spec = nullptr;
        ASSERT_EQ(build.init(&spec, N), Prim::StatusOk);
        std::vector<std::vector<float>> inputs, expected;
        std::vector<uint8_t> buffer(12 * N + 15);
        for (int t = 0; t < Threads; ++t) {
            const std::vector<double> x = FftTest::RandomSignal(N, 90 + t);
            inputs.emplace_back(x.begin(), x.end());
            expected.push_back(inputs.back());
            build.run(expected.back().data(), spec, buffer.data());
        }
        std::vector<std::vector<float>> outputs(Threads);
        std::vector<std::thread> workers;
        for (int t = 0; t < Threads; ++t) {
            workers.emplace_back([&, t] {
                std::vector<uint8_t> own(12 * N + 15);
                for (int round = 0; round < 20; ++round) {
                    outputs[t] = inputs[t];
                    build.run(outputs[t].data(), spec, own.data());
                }
            });
        }
        for (std::thread& worker : workers) worker.join();
        for (int t = 0; t < Threads; ++t) EXPECT_EQ(outputs[t], expected[t]) << "thread " << t;
        EXPECT_EQ(build.release(spec), Prim::StatusOk);
    }
}
