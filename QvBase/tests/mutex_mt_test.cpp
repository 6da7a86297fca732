#include <QvBase/Util/Atomic.h>
#include <QvBase/Util/Mutex.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(Mutex, IsRecursiveForItsOwnerAndExcludesOthers) {
    Util::Mutex mutex;
    EXPECT_FALSE(mutex.Unlock());  // not held
    EXPECT_TRUE(mutex.Lock());
    EXPECT_TRUE(mutex.Lock());

    bool strangerUnlocked = true;
    std::thread([&] { strangerUnlocked = mutex.Unlock(); }).join();
    EXPECT_FALSE(strangerUnlocked);

    EXPECT_TRUE(mutex.Unlock());
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_FALSE(mutex.Unlock());

    long plain = 0;  // guarded by the mutex only
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                mutex.Lock();
                mutex.Lock();
                ++plain;
                mutex.Unlock();
                mutex.Unlock();
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(plain, 8000);
}

TEST(Atomic, CountsAcrossThreads) {
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                Util::AtomicIncrement(&counter);
                Util::AtomicIncrement(&counter);
                Util::AtomicDecrement(&counter);
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(Util::AtomicLoad(&counter), 40000);
    EXPECT_EQ(Util::AtomicDecrement(&counter), 39999);
    EXPECT_EQ(Util::AtomicIncrement(&counter), 40000);
}
