#include <Tonalith/App/ChannelBuffer.h>

#include <TestSupport/ProcessCounters.h>

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace {

using UI::ChannelBuffer;

// A buffer grows by moving its pages, never by copying them: in a process that may map 1 GiB
// more, 600 MiB grow to 900 MiB, which a copy (both at once) could not, and keep their values.
// The C library's allocator would move the pages of a block this large too, but only while it
// maps such blocks apart: here it keeps them in its heap, where a block with a neighbour after
// it grows by a copy, so that a buffer leaning on the allocator fails in every tree.
TEST(ChannelBuffer, GrowsWithoutACopy) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            constexpr std::size_t kFloatsPerMiB = std::size_t(1) << 18;
            mallopt(M_MMAP_MAX, 0);
            if (!TestSupport::LimitAddressSpaceGrowth(std::uint64_t(1) << 30)) std::_Exit(2);
            ChannelBuffer buffer;
            buffer.Resize(600 * kFloatsPerMiB);
            const auto neighbour = std::make_unique<char[]>(std::size_t(1) << 20);
            const std::size_t last = buffer.size() - 1;
            buffer[0] = 1.0f;
            buffer[last] = 2.0f;
            buffer.Resize(900 * kFloatsPerMiB);
            std::_Exit(buffer[0] == 1.0f && buffer[last] == 2.0f && buffer[buffer.size() - 1] == 0.0f ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// LeakSanitizer does not see pages from the system: every way a buffer ends (destroyed,
// emptied, moved onto, moved from and grown again) gives all of them back, guard included,
// or ten thousand rounds would not fit in a process that may map 16 MiB more.
TEST(ChannelBuffer, GivesItsPagesBack) {
    const auto round = [](std::size_t count) {
        ChannelBuffer grown, movedOnto, emptied;
        grown.Resize(1 << 18);
        grown.Resize(1 << 19);
        movedOnto.Resize(1000);
        movedOnto = std::move(grown);
        grown.Resize(3000);
        emptied.Resize(count);
        emptied.Resize(0);
    };
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (!TestSupport::LimitAddressSpaceGrowth(std::uint64_t(16) << 20)) std::_Exit(2);
            for (std::size_t i = 0; i < 10000; ++i) round(1 + i % 5000);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// Buffers are pages from the system, side by side: under AddressSanitizer a write one float
// past the end of one is reported, whatever its length (a page's worth, an odd count) and
// after it grew or shrank, and never a write to its last value.
TEST(ChannelBuffer, AWritePastTheEndIsReportedUnderAddressSanitizer) {
#if defined(__SANITIZE_ADDRESS__)
    const struct {
        std::size_t count, resized;
    } cases[] = {{4000, 4000}, {4001, 4001}, {1024, 1024}, {4000, 6000}, {4000, 1000}, {1, 200000}};
    for (const auto& c : cases) {
        std::vector<ChannelBuffer> buffers(2);
        for (ChannelBuffer& buffer : buffers) buffer.Resize(c.count);
        buffers[0].Resize(c.resized);
        for (ChannelBuffer& buffer : buffers) buffer[buffer.size() - 1] = 1.0f;
        ChannelBuffer& first = buffers[0];
        EXPECT_DEATH(first[first.size()] = 1.0f, "AddressSanitizer: (use-after-poison|heap-buffer-overflow)")
            << c.count << " resized to " << c.resized;
    }
#else
    GTEST_SKIP() << "only AddressSanitizer sees a write past a buffer";
#endif
}

}  // namespace
