#include <Platform/Kernel/Clock.h>
#include <Platform/Kernel/Event.h>
#include <Platform/Kernel/LastError.h>
#include <Platform/Kernel/Processors.h>
#include <Platform/Kernel/RecursiveLock.h>
#include <Platform/Kernel/Thread.h>

#include <gtest/gtest.h>

#include <TestSupport/Affinity.h>
#include <TestSupport/Desktop.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace Platform::Kernel;

TEST(KernelThread, JoinWaitsForTheBodyAndTimesOutWhileItRuns) {
    Thread thread;
    EXPECT_FALSE(thread.IsHeld());
    EXPECT_TRUE(thread.Join(0));  // nothing started

    Event release(EventMode::ManualReset);
    std::atomic<bool> done{false};
    ASSERT_TRUE(thread.Start([&] {
        release.Wait(std::nullopt);
        done = true;
    }));
    EXPECT_TRUE(thread.IsHeld());
    EXPECT_FALSE(thread.Join(0));
    const std::uint64_t start = MonotonicMs();
    EXPECT_FALSE(thread.Join(50));
    EXPECT_GE(MonotonicMs() - start, 50u);
    EXPECT_FALSE(thread.HasEnded());

    release.Set();
    EXPECT_TRUE(thread.Join(std::nullopt));
    EXPECT_TRUE(done);
    EXPECT_FALSE(thread.IsHeld());
    EXPECT_TRUE(thread.Join(0));
}

TEST(KernelThread, DestroyingRightAfterStartWaitsForTheBody) {
    for (int i = 0; i < 50; ++i) {
        auto counter = std::make_shared<std::atomic<int>>(0);
        {
            Thread thread;
            ASSERT_TRUE(thread.Start([counter] {
                std::this_thread::yield();
                ++*counter;
            }));
        }
        EXPECT_EQ(counter->load(), 1);
    }
}

TEST(KernelThread, StartingAgainJoinsThePreviousThreadFirst) {
    Thread thread;
    std::atomic<int> active{0}, maxActive{0}, runs{0};
    auto body = [&] {
        int now = ++active;
        int seen = maxActive.load();
        while (now > seen && !maxActive.compare_exchange_weak(seen, now)) {}
        SleepMs(5);
        --active;
        ++runs;
    };
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(thread.Start(body));
    EXPECT_TRUE(thread.Join(std::nullopt));
    EXPECT_EQ(runs, 5);
    EXPECT_EQ(maxActive, 1);
}

TEST(KernelThread, AThreadCannotJoinItselfAndSaysWhy) {
    Thread thread;
    std::atomic<bool> joined{true};
    std::atomic<std::uint32_t> error{0};
    Event started(EventMode::ManualReset);
    ASSERT_TRUE(thread.Start([&] {
        started.Wait(std::nullopt);
        joined = thread.Join(std::nullopt);
        error = LastError();
    }));
    started.Set();
    EXPECT_TRUE(thread.Join(std::nullopt));
    EXPECT_FALSE(joined);
    EXPECT_EQ(error, static_cast<std::uint32_t>(EDEADLK));
}

TEST(KernelThread, LastErrorBelongsToEachThread) {
    SetLastError(7);
    std::uint32_t seenInOther = 99;
    std::thread other([&] {
        seenInOther = LastError();
        SetLastError(42);
    });
    other.join();
    EXPECT_EQ(seenInOther, 0u);
    EXPECT_EQ(LastError(), 7u);
}

// Against coreutils' nproc, which counts the same mask; threads started under a narrowed
// mask see it too.
TEST(KernelProcessors, UsableProcessorsFollowTheAffinityMask) {
    const std::uint32_t all = Platform::Kernel::UsableProcessors();
    EXPECT_EQ(std::to_string(all) + "\n", TestSupport::RunCommand("nproc"));
    EXPECT_LE(all, std::max(1u, std::thread::hardware_concurrency()));
    for (const int count : {1, 2}) {
        TestSupport::ScopedAffinity narrowed(count);
        ASSERT_TRUE(narrowed.Applied());
        const std::uint32_t expected = std::min(std::uint32_t(count), all);
        EXPECT_EQ(Platform::Kernel::UsableProcessors(), expected);
        std::uint32_t seenByThread = 0;
        std::thread([&] { seenByThread = Platform::Kernel::UsableProcessors(); }).join();
        EXPECT_EQ(seenByThread, expected);
    }
    EXPECT_EQ(Platform::Kernel::UsableProcessors(), all);
}

TEST(KernelLock, IsRecursiveForItsOwnerAndExcludesOthers) {
    RecursiveLock lock;
    EXPECT_FALSE(lock.Leave());  // not held
    lock.Enter();
    EXPECT_TRUE(lock.TryEnter());
    bool otherGotIt = true;
    bool strangerLeft = true;
    std::thread([&] {
        otherGotIt = lock.TryEnter();
        strangerLeft = lock.Leave();
    }).join();
    EXPECT_FALSE(otherGotIt);
    EXPECT_FALSE(strangerLeft);
    EXPECT_TRUE(lock.Leave());
    std::thread([&] { otherGotIt = lock.TryEnter(); }).join();
    EXPECT_FALSE(otherGotIt);  // still held once
    EXPECT_TRUE(lock.Leave());
    EXPECT_FALSE(lock.Leave());
    std::thread([&] {
        otherGotIt = lock.TryEnter();
        if (otherGotIt) lock.Leave();
    }).join();
    EXPECT_TRUE(otherGotIt);

    long counter = 0;  // guarded by the lock only
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&] {
            for (int i = 0; i < 5000; ++i) {
                LockGuard outer(lock);
                LockGuard inner(lock);
                ++counter;
            }
        });
    for (auto& worker : workers) worker.join();
    EXPECT_EQ(counter, 20000);
    EXPECT_FALSE(lock.Leave());  // every guard let go
}

TEST(KernelClock, IsMonotonicAndCountsMilliseconds) {
    const std::uint64_t a = MonotonicMs();
    SleepMs(25);
    const std::uint64_t b = MonotonicMs();
    EXPECT_GE(b - a, 25u);
    EXPECT_LT(b - a, 5000u);
}
