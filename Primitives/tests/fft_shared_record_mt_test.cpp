// One record shared by several threads, each with its own output and work buffer, in both builds.
#include "support/fft_records.h"
#include "support/fft_reference.h"

#include <Primitives/Prim/Fft/FftRealF32.h>
#include <Primitives/Prim/Fft/FftSpec.h>

#include <gtest/gtest.h>

#include <thread>
#include <tuple>
#include <vector>

using namespace FftTest;

namespace {

template <class B>
class FftSharedRecord : public ::testing::Test {};
TYPED_TEST_SUITE(FftSharedRecord, BothBuilds, BuildNames);

}  // namespace

TYPED_TEST(FftSharedRecord, ConcurrentTransformsAgreeWithASingleThread) {
    using B = TypeParam;
    for (int order : {9, 13, 16}) {  // 16: the large-order path of both builds
        const uint64_t n = uint64_t{1} << order;
        SpecF64 spec = Make<B>(order, Prim::FftFlagInverse);
        const int32_t size = BufferSize<B>(spec.get());

        constexpr int Threads = 4;
        std::vector<std::vector<double>> inputs, expected;
        for (int t = 0; t < Threads; ++t) {
            inputs.push_back(RandomSignal(n, 70 + t));
            expected.emplace_back(n + 2);
            ASSERT_EQ(B::Forward(inputs[t].data(), expected[t].data(), spec.get(), nullptr), Prim::StatusOk);
        }
        std::vector<std::vector<double>> outputs(Threads, std::vector<double>(n + 2));
        std::vector<std::thread> workers;
        for (int t = 0; t < Threads; ++t) {
            workers.emplace_back([&, t] {
                std::vector<uint8_t> buffer(static_cast<size_t>(size) + 1);
                for (int round = 0; round < 10; ++round)
                    B::Forward(inputs[t].data(), outputs[t].data(), spec.get(), buffer.data() + round % 2);
            });
        }
        for (std::thread& worker : workers) worker.join();
        for (int t = 0; t < Threads; ++t) EXPECT_EQ(outputs[t], expected[t]) << "thread " << t << ", order " << order;
    }
}

TEST(FftSharedRecord, ConcurrentF32TransformsOfBothBuildsAgreeWithASingleThread) {
    using Init = Prim::Status (*)(Prim::FftSpecRealF32**, int32_t, int32_t, int32_t);
    using Transform = Prim::Status (*)(const float*, float*, const Prim::FftSpecRealF32*, uint8_t*);
    const std::tuple<Init, Transform, int> runs[] = {{Prim::FftInitAllocRealF32_x87, Prim::FftForwardRealF32_x87, 13},
        {Prim::FftInitAllocRealF32_sse2, Prim::FftForwardRealF32_sse2, 17}};
    for (auto [init, forward, order] : runs) {
        const uint64_t n = uint64_t{1} << order;
        Prim::FftSpecRealF32* spec = nullptr;
        ASSERT_EQ(init(&spec, order, Prim::FftFlagSqrtBoth, 1), Prim::StatusOk);
        int32_t size = 0;
        Prim::FftGetBufSizeRealF32(spec, &size);
        constexpr int Threads = 4;
        std::vector<std::vector<float>> inputs, expected, outputs(Threads, std::vector<float>(n + 2));
        for (int t = 0; t < Threads; ++t) {
            const std::vector<double> x = FftTest::RandomSignal(n, 170 + t);
            inputs.emplace_back(x.begin(), x.end());
            expected.emplace_back(n + 2);
            ASSERT_EQ(forward(inputs[t].data(), expected[t].data(), spec, nullptr), Prim::StatusOk);
        }
        std::vector<std::thread> workers;
        for (int t = 0; t < Threads; ++t) {
            workers.emplace_back([&, t] {
                // Half the threads bring a buffer, the others let each call allocate its own.
                std::vector<uint8_t> buffer(t % 2 == 0 ? static_cast<size_t>(size) : 0);
                for (int round = 0; round < 10; ++round)
                    forward(inputs[t].data(), outputs[t].data(), spec, buffer.empty() ? nullptr : buffer.data());
            });
        }
        for (std::thread& worker : workers) worker.join();
        for (int t = 0; t < Threads; ++t) EXPECT_EQ(outputs[t], expected[t]) << "thread " << t << ", order " << order;
        Prim::FftFreeRealF32(spec);
    }
}
