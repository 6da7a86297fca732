#include <QvBase/Util/Atomic.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

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
