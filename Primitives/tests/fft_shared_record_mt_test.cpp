// One record shared by several threads, each with its own output and work buffer.
#include "support/fft_reference.h"

#include <Primitives/Prim/Fft/FftSpec.h>
#include <Primitives/Vec/Fft.h>
#include <Primitives/Vec/Memory.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(FftSharedRecord, ConcurrentTransformsAgreeWithASingleThread) {
    for (int order : {9, 13}) {
        const uint64_t n = uint64_t{1} << order;
        Prim::FftSpecRealF64* spec = nullptr;
        Vec::FftInitAllocRealF64(&spec, order);
        ASSERT_NE(spec, nullptr);
        int32_t size = 0;
        Vec::FftGetBufSizeRealF64(spec, &size);

        constexpr int Threads = 4;
        std::vector<std::vector<double>> inputs, expected;
        for (int t = 0; t < Threads; ++t) {
            inputs.push_back(FftTest::RandomSignal(n, 70 + t));
            expected.emplace_back(n + 2);
            Vec::FftTransformF64(inputs[t].data(), expected[t].data(), spec, nullptr);
        }
        std::vector<std::vector<double>> outputs(Threads, std::vector<double>(n + 2));
        std::vector<std::thread> workers;
        for (int t = 0; t < Threads; ++t) {
            workers.emplace_back([&, t] {
                uint8_t* buffer = Vec::AllocU8(size);
                for (int round = 0; round < 20; ++round)
                    Vec::FftTransformF64(inputs[t].data(), outputs[t].data(), spec, buffer);
                Vec::Free(buffer);
            });
        }
        for (std::thread& worker : workers) worker.join();
        for (int t = 0; t < Threads; ++t) EXPECT_EQ(outputs[t], expected[t]) << "thread " << t << ", order " << order;
        Vec::FftFreeRealF64(spec);
    }
}
