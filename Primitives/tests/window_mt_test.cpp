#include <Primitives/Vec/Interleave.h>
#include <Primitives/Vec/Sum.h>
#include <Primitives/Vec/Window.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// What one analysis frame does: de-interleave, window, sum.
struct FrameResult {
    std::vector<double> left;
    float sum = 0;
};

FrameResult Analyse(const std::vector<float>& stereo, std::int32_t frames) {
    std::vector<float> left(static_cast<std::size_t>(frames)), right(static_cast<std::size_t>(frames));
    float* channels[2] = {left.data(), right.data()};
    Vec::DeinterleaveF32(2, frames, stereo.data(), channels);
    FrameResult result;
    result.left.assign(left.begin(), left.end());
    Vec::WinHannF64(frames, result.left.data());
    result.sum = Vec::SumF32(frames, right.data());
    return result;
}

// The vector layer keeps no state: threads running it at once on their own
// buffers get what one thread alone gets.
TEST(WindowThreads, ConcurrentFramesMatchASingleThread) {
    const std::int32_t frames = 4096;
    std::vector<float> stereo(2 * static_cast<std::size_t>(frames));
    for (std::size_t i = 0; i < stereo.size(); ++i) stereo[i] = float(i % 97) * 0.01f - 0.4f;
    const FrameResult expected = Analyse(stereo, frames);

    constexpr int threadCount = 4;
    std::vector<int> mismatches(threadCount, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                const FrameResult got = Analyse(stereo, frames);
                mismatches[std::size_t(t)] += got.left != expected.left || got.sum != expected.sum;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int m : mismatches) EXPECT_EQ(m, 0);
}

}  // namespace
