#include <QvBase/Util/Event.h>
#include <QvBase/Util/Mutex.h>

#include <Platform/Kernel/Clock.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using Platform::Kernel::MonotonicMs;

TEST(Event, ManualModeStaysSetUntilReset) {
    Util::Event event("Manual", true);
    EXPECT_EQ(event.Name(), "Manual");
    EXPECT_FALSE(event.Wait(0));
    event.Set();  // nobody waits yet: it stays set
    EXPECT_TRUE(event.Wait(0));
    EXPECT_TRUE(event.Wait());
    std::atomic<int> released{0};
    std::thread a([&] { released += event.Wait(1000); }), b([&] { released += event.Wait(1000); });
    a.join();
    b.join();
    EXPECT_EQ(released, 2);
    event.Reset();
    const std::uint64_t start = MonotonicMs();
    EXPECT_FALSE(event.Wait(40));
    EXPECT_GE(MonotonicMs() - start, 40u);
}

TEST(Event, ManualModeRefusesAWaitWithAMutexWithoutTouchingIt) {
    Util::Event event("Manual", true);
    event.Set();
    Util::Mutex mutex;
    mutex.Lock();
    EXPECT_FALSE(event.WaitWithMutex(&mutex, std::nullopt));
    EXPECT_TRUE(mutex.Unlock());  // still held once by us
    EXPECT_FALSE(mutex.Unlock());  // and only once
}

TEST(Event, AWaitConditionSetWithNobodyWaitingIsLost) {
    Util::Event condition("Condition", false);
    condition.Set();
    condition.Reset();  // does nothing in this mode
    const std::uint64_t start = MonotonicMs();
    EXPECT_FALSE(condition.Wait(50));
    EXPECT_GE(MonotonicMs() - start, 50u);
}

TEST(Event, OneSetReleasesEveryWaiterAndTheLastRearmsTheCondition) {
    for (int round = 0; round < 20; ++round) {
        Util::Event condition("Condition", false);
        Util::Mutex mutex;
        int ready = 0;  // guarded by mutex
        std::atomic<int> released{0};
        auto waiter = [&] {
            mutex.Lock();
            ++ready;
            // Counted as a waiter before the mutex is let go, so the setter cannot miss us.
            if (condition.WaitWithMutex(&mutex, 5000)) ++released;
            mutex.Unlock();
        };
        std::thread a(waiter), b(waiter);
        for (;;) {
            mutex.Lock();
            const bool both = ready == 2;
            if (both) condition.Set();
            mutex.Unlock();
            if (both) break;
            std::this_thread::yield();
        }
        a.join();
        b.join();
        ASSERT_EQ(released, 2);
        EXPECT_FALSE(condition.Wait(20));  // re-armed: a later waiter is not released
    }
}

TEST(Event, ATimedOutWaitTakesTheMutexBack) {
    Util::Event condition("Condition", false);
    Util::Mutex mutex;
    mutex.Lock();
    const std::uint64_t start = MonotonicMs();
    EXPECT_FALSE(condition.WaitWithMutex(&mutex, 30));
    EXPECT_GE(MonotonicMs() - start, 30u);
    bool otherGotIt = true;
    std::thread([&] {
        otherGotIt = mutex.Unlock();  // not the owner
    }).join();
    EXPECT_FALSE(otherGotIt);
    EXPECT_TRUE(mutex.Unlock());
}

TEST(Event, ProducerAndConsumerLoseNoWakeUp) {
    Util::Event condition("Queue", false);
    Util::Mutex mutex;
    int items = 0, consumed = 0;  // guarded by mutex
    std::thread consumer([&] {
        mutex.Lock();
        while (consumed < 300) {
            while (items == 0) condition.WaitWithMutex(&mutex, std::nullopt);
            --items;
            ++consumed;
        }
        mutex.Unlock();
    });
    for (int i = 0; i < 300; ++i) {
        mutex.Lock();
        ++items;
        condition.Set();
        mutex.Unlock();
    }
    consumer.join();
    EXPECT_EQ(consumed, 300);
}
