// One record shared by several threads, each with its own output and work buffer, in both
// builds of both precisions.
#include "support/fft_records.h"
#include "support/fft_reference.h"

#include <Primitives/Prim/Fft/FftSpec.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace FftTest;

namespace {

template <class B>
class FftSharedRecord : public FftCopies<B> {};
TYPED_TEST_SUITE(FftSharedRecord, AllBuilds, BuildNames);

}  // namespace

TYPED_TEST(FftSharedRecord, ConcurrentTransformsAgreeWithASingleThread) {
    using B = TypeParam;
    using T = typename B::Value;
    // 16: the large-order path of both builds on doubles; 17 that of the SSE2 build on floats
    for (int order : {9, 13, 16, 17}) {
        const uint64_t n = uint64_t{1} << order;
        const auto spec = Make<B>(order, Prim::FftFlagInverse);
        const int32_t size = BufferSize<B>(spec.get());

        constexpr int Threads = 4;
        std::vector<std::vector<T>> inputs, expected;
        for (int t = 0; t < Threads; ++t) {
            const std::vector<double> signal = RandomSignal(n, 70 + t);
            inputs.emplace_back(signal.begin(), signal.end());
            expected.emplace_back(n + 2);
            ASSERT_EQ(B::Forward(inputs[t].data(), expected[t].data(), spec.get(), nullptr), Prim::StatusOk);
        }
        std::vector<std::vector<T>> outputs(Threads, std::vector<T>(n + 2));
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
