// The worker group that every parallel stage of a spectrogram step shares.
#include <Tonalith/Analysis/Spectrogram/SpectrogramParallel.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Stages this thread has worked in, over the whole test program.
thread_local int stagesSeen = 0;

TEST(WorkerGroup, StagesReuseTheThreadsAndHandOutEveryIndexOnce) {
    UI::WorkerGroup group(4);
    ASSERT_GE(group.Size(), 1u);
    std::atomic<int> mostStagesOnAHelper{0};
    // Stages of `count` indexes for at most `workers` of the group.
    const struct {
        std::uint64_t count;
        std::uint32_t workers;
    } stages[] = {{0, 4}, {1, 4}, {2, 4}, {7, 2}, {1000, 4}, {3, 1}, {500, 3}, {64, 2}, {100, 0}};
    for (int round = 0; round < 20; ++round) {
        for (const auto [count, workers] : stages) {
            std::vector<std::atomic<int>> hits(count);
            std::vector<std::atomic<int>> seenIn(group.Size());
            const bool finished = group.Run(
                count,
                [&](std::uint64_t i, std::uint32_t worker) {
                    EXPECT_LT(worker, std::min(group.Size(), std::max(workers, 1u)));
                    hits[i].fetch_add(1);
                    // A worker counts the stage once, on its first index.
                    if (seenIn[worker].exchange(1) == 0 && worker != 0) {
                        const int seen = ++stagesSeen;
                        int most = mostStagesOnAHelper.load();
                        while (seen > most && !mostStagesOnAHelper.compare_exchange_weak(most, seen)) {}
                    }
                },
                nullptr, workers);
            EXPECT_TRUE(finished);
            for (std::uint64_t i = 0; i < count; ++i) ASSERT_EQ(hits[i].load(), 1) << i << " of " << count;
        }
    }
    // Threads started per stage would each have seen one stage only.
    if (group.Size() > 1) {
        EXPECT_GT(mostStagesOnAHelper.load(), 1);
    }
}

TEST(WorkerGroup, StopsWhenTheCallerSaysAndPassesOnTheFirstException) {
    UI::WorkerGroup group(3);
    // The helpers hold their first index until the caller has been asked five times, so
    // that they cannot finish the stage first however the threads are scheduled.
    std::atomic<int> asked{0};
    EXPECT_FALSE(group.Run(
        100000,
        [&](std::uint64_t, std::uint32_t worker) {
            while (worker != 0 && asked.load() < 5) std::this_thread::yield();
        },
        [&] { return ++asked < 5; }));
    EXPECT_EQ(asked.load(), 5);

    EXPECT_THROW(group.Run(64,
                     [](std::uint64_t i, std::uint32_t) {
                         if (i == 10) throw std::runtime_error("body failed");
                     }),
        std::runtime_error);
    // The group is whole again for the next stage.
    std::atomic<std::uint64_t> sum{0};
    EXPECT_TRUE(group.Run(100, [&](std::uint64_t i, std::uint32_t) { sum.fetch_add(i); }));
    EXPECT_EQ(sum.load(), 4950u);
    EXPECT_TRUE(UI::ParallelFor(2, 10, [&](std::uint64_t i, std::uint32_t) { sum.fetch_add(i); }));
    EXPECT_EQ(sum.load(), 4995u);
}

}  // namespace
