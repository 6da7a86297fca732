#include <QvBase/UI/Drawing/PixelBuffer.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

// Holders on several threads copy and drop their handles of one block at once: the
// count must end where it began and the block must be freed exactly once.
TEST(PixelBufferThreads, CopiesAndReleasesOnManyThreadsKeepTheCount) {
    PixelBuffer original(PixelBuffer::Allocate(16));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        PixelBuffer handed = original;  // each thread gets its own handle
        threads.emplace_back([handed] {
            for (int i = 0; i < 20000; ++i) {
                PixelBuffer copy = handed;
                PixelBuffer another(copy);
                another = copy;
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(original.UseCount(), 1);

    // The last of several threads to let go frees the block (the sanitizers see a leak or
    // a double free otherwise).
    std::vector<std::thread> last;
    {
        PixelBuffer shared(PixelBuffer::Allocate(16));
        for (int t = 0; t < 4; ++t) last.emplace_back([copy = shared] { (void)copy.Get(); });
    }
    for (auto& t : last) t.join();
}
