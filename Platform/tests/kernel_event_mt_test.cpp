#include <Platform/Kernel/Clock.h>
#include <Platform/Kernel/Event.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace Platform::Kernel;

TEST(KernelEvent, ManualResetStaysSetAndReleasesEveryWaiter) {
    Event event(EventMode::ManualReset);
    EXPECT_FALSE(event.Wait(0));
    std::atomic<int> released{0};
    std::thread a([&] { released += event.Wait(std::nullopt); });
    std::thread b([&] { released += event.Wait(5000); });
    event.Set();
    a.join();
    b.join();
    EXPECT_EQ(released, 2);
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(event.Wait(0));  // still set: waits do not consume it
    event.Reset();
    EXPECT_FALSE(event.Wait(0));
}

TEST(KernelEvent, AutoResetReleasesOneWaiterPerSetAndKeepsAnUnclaimedSet) {
    Event event(EventMode::AutoReset);
    event.Set();  // nobody waits: the signal stays until a wait takes it
    EXPECT_TRUE(event.Wait(0));
    EXPECT_FALSE(event.Wait(0));

    std::atomic<int> released{0};
    auto waiter = [&] {
        if (event.Wait(3000)) ++released;
    };
    std::thread a(waiter), b(waiter);
    event.Set();
    while (released.load() < 1) std::this_thread::yield();
    SleepMs(30);
    EXPECT_EQ(released, 1);
    event.Set();
    a.join();
    b.join();
    EXPECT_EQ(released, 2);
    EXPECT_FALSE(event.IsSet());
}

TEST(KernelEvent, TimedWaitsTimeOutNoEarlierThanAsked) {
    Event event(EventMode::ManualReset);
    const std::uint64_t start = MonotonicMs();
    EXPECT_FALSE(event.Wait(60));
    EXPECT_GE(MonotonicMs() - start, 60u);

    Event other(EventMode::AutoReset);
    const std::uint64_t again = MonotonicMs();
    EXPECT_EQ(Event::WaitEither(event, other, 40), WaitResult::TimedOut);
    EXPECT_GE(MonotonicMs() - again, 40u);
}

TEST(KernelEvent, WaitEitherReportsWhichEventAndConsumesOnlyThat) {
    Event first(EventMode::AutoReset);
    Event second(EventMode::ManualReset);

    std::thread setter([&] {
        SleepMs(20);
        second.Set();
    });
    EXPECT_EQ(Event::WaitEither(first, second, std::nullopt), WaitResult::Second);
    setter.join();
    EXPECT_TRUE(second.IsSet());

    first.Set();
    EXPECT_EQ(Event::WaitEither(first, second, 0), WaitResult::First);  // both set: the first wins
    EXPECT_FALSE(first.IsSet());
    EXPECT_TRUE(second.IsSet());
    EXPECT_EQ(Event::WaitEither(first, second, 0), WaitResult::Second);
}

TEST(KernelEvent, ManyWaitsAndSetsAcrossThreadsLoseNoSignal) {
    Event ping(EventMode::AutoReset), pong(EventMode::AutoReset), stop(EventMode::ManualReset);
    int rounds = 0;
    std::thread player([&] {
        while (Event::WaitEither(stop, ping, std::nullopt) == WaitResult::Second) {
            ++rounds;
            pong.Set();
        }
    });
    for (int i = 0; i < 500; ++i) {
        ping.Set();
        ASSERT_TRUE(pong.Wait(5000));
    }
    stop.Set();
    player.join();
    EXPECT_EQ(rounds, 500);
}
