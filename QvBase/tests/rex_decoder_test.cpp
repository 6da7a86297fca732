// The REX decoder over the test-only stand-in for the vendor library (testing/RexStandIn):
// each way a load can end, the slices laid out on the loop's timeline, and every refusal.

#include <QvBase/Audio/Decode/CreateStream.h>
#include <QvBase/Audio/Decode/Exception.h>
#include <QvBase/Audio/Decode/Rex/RexLibrary.h>

#include <Platform/Kernel/MemoryInfo.h>
#include <Platform/Library/RuntimeLibrary.h>
#include <RexStandIn/RexStandInFile.h>
#include <support/AudioFileWriter.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace Audio::Decode;
using Audio::Decode::Exception::BadFormat;
using REX::RexLibrary;

namespace {

// The library is looked for beside the program first: the stand-in's folder stands in for it.
// "" is a folder without the library, "cut" one with the normal build cut short.
class StandIn {
public:
    explicit StandIn(const std::string& variant) {
        if (variant == "cut") {
            TestAudio::Bytes bytes =
                TestAudio::ReadWholeFile(TONALITH_BINARY_DIR "/rex-standin/normal/REX Shared Library.so");
            bytes.resize(2000);
            m_own.Write("REX Shared Library.so", bytes);
        }
        Platform::Library::SetProgramFolderForTesting(
            variant.empty() || variant == "cut" ? m_own.Path() : TONALITH_BINARY_DIR "/rex-standin/" + variant);
    }
    ~StandIn() { Platform::Library::SetProgramFolderForTesting(""); }

private:
    TestAudio::TempDir m_own;
};

// 120 beats per minute, 44100 frames per second, four beats: 88200 frames.
RexStandIn::Loop Loop(int32_t channels, std::vector<RexStandIn::Slice> slices) {
    RexStandIn::Loop loop;
    const int32_t info[9] = {channels, 44100, int32_t(slices.size()), 0, 120000, 61440, 1, 4, 0};
    std::copy(info, info + 9, loop.info);
    loop.slices = std::move(slices);
    return loop;
}

struct Opened {
    SharedPtr<Stream> stream;
    std::string error;  // the BadFormat message when Open failed
};

class RexDecoderTest : public ::testing::Test {
protected:
    Opened Open(const RexStandIn::Loop& loop) {
        const std::string path = m_dir.Write("loop.rx2", RexStandIn::Bytes(loop));
        Opened opened{CreateStream(path.c_str()), {}};
        EXPECT_TRUE(opened.stream);
        try {
            opened.stream->OpenForward();
        } catch (const BadFormat& e) {
            opened.error = e.Message().CStr();
        }
        return opened;
    }

    TestAudio::TempDir m_dir;
};

TEST(RexLibraryLoad, EachWayALoadEnds) {
    struct Case {
        const char* variant;  // "" for a folder without the library
        int32_t status;
    };
    for (const Case c : {Case{"normal", 1}, Case{"old-minor", 102}, Case{"old-major", 102}, Case{"new-major", 104},
             Case{"no-version", 101}, Case{"missing-entry", 101}, Case{"open-fails", 101}, Case{"huge", 100},
             Case{"", 103}, Case{"cut", 103}}) {
        StandIn standIn(c.variant);
        EXPECT_EQ(RexLibrary::Load(), c.status) << c.variant;
        EXPECT_EQ(RexLibrary::IsLoaded(), c.status == 1) << c.variant;
        REX::Handle handle = 0;
        if (c.status == 1) {
            EXPECT_EQ(RexLibrary::Load(), 201);
            RexLibrary::Unload();
            EXPECT_TRUE(RexLibrary::IsLoaded());
            RexLibrary::Unload();
        } else {
            EXPECT_EQ(RexLibrary::Create(&handle, "CAT ", 4), 200) << c.variant;
        }
        EXPECT_FALSE(RexLibrary::IsLoaded()) << c.variant;
    }
}

TEST_F(RexDecoderTest, SlicesSumOnTheTimelineWithTheirFadeAndCutAtTheEnd) {
    StandIn standIn("normal");
    // Ticks to frames: 44100 / 30720 per tick.
    const std::vector<RexStandIn::Slice> slices{
        {0, 1000, 1000},  // overlapped by the next one
        {256, 2000, 2400},  // starts at frame 368 (367.5 rounded away from zero); renders more than it keeps
        {15360, 200, 200},  // shorter than 10 ms: faded over its whole length
        {60000, 5000, 5000},  // from frame 86133 across the end: 2067 kept
        {61440, 100, 100},  // at the end: nothing
        {-100, 100, 100},  // before the start: nothing
    };
    const Opened opened = Open(Loop(2, slices));
    ASSERT_EQ(opened.error, "");
    SharedPtr<Stream> stream = opened.stream;
    EXPECT_EQ(stream->GetType(), Type::Rex);
    EXPECT_EQ(stream->GetFormat(), (Format{2, 4, 44100, 1, 0}));
    ASSERT_EQ(stream->GetTotalFrames(), 88200u);

    // The cache as the loop describes it, worked out here slice by slice.
    std::vector<std::vector<float>> expected(2, std::vector<float>(88200, 0.0f));
    const struct {
        int32_t slice;
        uint32_t start, kept;
    } placed[] = {{0, 0, 1000}, {1, 368, 2000}, {2, 22050, 200}, {3, 86133, 2067}};
    for (const auto& p : placed) {
        const uint32_t m = std::min(441u, p.kept);
        for (int32_t c = 0; c < 2; ++c) {
            float gain = 1.0f;
            for (uint32_t f = 0; f < p.kept; ++f) {
                float v = RexStandIn::Sample(p.slice, c, int32_t(f));
                if (f >= p.kept - m) {
                    v *= gain;
                    gain -= 1.0f / float(m);
                }
                expected[size_t(c)][p.start + f] += v;
            }
        }
    }

    // Two reads of 100 frames follow each other, then the rest.
    std::vector<float> interleaved(400);
    uint32_t got = 0;
    for (uint32_t from : {0u, 100u}) {
        stream->ReadFloatInterleaved(100, interleaved.data(), got);
        ASSERT_EQ(got, 100u);
        for (uint32_t f = 0; f < 100; ++f) ASSERT_EQ(interleaved[2 * f + 1], expected[1][from + f]) << from + f;
    }
    std::vector<std::vector<float>> ours(2, std::vector<float>(88200, 9.0f));
    float* channels[] = {ours[0].data() + 200, ours[1].data() + 200};
    stream->ReadFloatDeinterleaved(100000, channels, got);
    ASSERT_EQ(got, 88000u);
    for (size_t c = 0; c < 2; ++c)
        for (size_t f = 200; f < 88200; ++f) ASSERT_EQ(ours[c][f], expected[c][f]) << c << " " << f;

    // The 64-bit read is refused and says it read nothing.
    stream->Seek(0);
    double f64[2];
    got = 5;
    EXPECT_THROW(stream->ReadFloatInterleaved(1, f64, got), BadFormat);
    EXPECT_EQ(got, 0u);
    // The raw read gives the cache's floats.
    stream->Seek(400);
    stream->ReadRawInterleaved(1, f64, got);
    EXPECT_EQ(reinterpret_cast<float*>(f64)[1], expected[1][400]);
}

TEST_F(RexDecoderTest, RefusesWhatTheLibraryReportsBadly) {
    using Edit = std::function<void(RexStandIn::Loop&)>;
    const std::vector<RexStandIn::Slice> two{{0, 100, 100}, {15360, 100, 100}};
    struct Case {
        const char* variant;
        Edit edit;
        std::string message;
    };
    const std::vector<Case> cases{
        {"", [](auto&) {}, "Can't create REX handle: 200"},
        {"normal", [](auto& l) { l.info[4] = 999; }, "Invalid file info"},
        {"normal", [](auto& l) { l.info[0] = 3; }, "Invalid file info"},
        {"normal", [](auto& l) { l.info[1] = 999; }, "Invalid file info"},
        {"normal", [](auto& l) { l.info[6] = 0; }, "Invalid file info"},
        {"normal", [](auto& l) { l.info[7] = 0; }, "Invalid file info"},
        {"normal", [](auto& l) { l.info[2] = -1; }, "Invalid file info"},
        {"normal", [](auto& l) { l.info[2] = 0; }, "No active slices"},
        // 2^31 - 1 ticks at a thousandth of a beat... per minute and 1000000 frames a second.
        {"normal", [](auto& l) { l.info[5] = INT32_MAX, l.info[4] = 1000, l.info[1] = 1000000; }, "Invalid file info"},
        {"normal", [](auto& l) { l.createStatus = 7; }, "Can't create REX handle: 7"},
        {"normal", [](auto& l) { l.infoStatus = 9; }, "Can't get file info: 9"},
        {"normal", [](auto& l) { l.sliceInfoStatus = 11, l.failingSlice = 1; }, "Can't get slice 1 info: 11"},
        {"normal", [](auto& l) { l.renderStatus = 13; }, "Can't render slice 0: 13"},
        {"normal", [](auto& l) { l.info[2] = 3; }, "Can't get slice 2 info: 6"},
        {"normal", [](auto& l) { l.slices[1].length = -5; }, "Invalid file info"},
        // The second answer for a slice must still hold the frames the first one promised.
        {"normal", [](auto& l) { l.slices[1].laterLength = 99; }, "Invalid file info"},
        {"normal", [](auto& l) { l.slices[1].laterLength = -1; }, "Invalid file info"},
    };
    for (const Case& c : cases) {
        StandIn standIn(c.variant);
        RexStandIn::Loop loop = Loop(1, two);
        c.edit(loop);
        EXPECT_EQ(Open(loop).error, c.message) << c.message;
    }

    StandIn standIn("normal");
    // A loop too short for one frame opens empty; nothing divides by its total.
    RexStandIn::Loop tiny = Loop(1, two);
    tiny.info[5] = 1, tiny.info[4] = 1000000, tiny.info[1] = 1000;
    const Opened empty = Open(tiny);
    EXPECT_EQ(empty.error, "");
    EXPECT_EQ(empty.stream->GetTotalFrames(), 0u);
    // A cache of 31.5 GB (3937500000 frames of two channels) is refused before it is
    // allocated; a machine with that much to spare twice over skips the case.
    const auto available = Platform::Kernel::AvailableMemoryBytes();
    if (available && *available < 60'000'000'000ull) {
        RexStandIn::Loop huge = Loop(2, two);
        huge.info[5] = 2'100'000'000, huge.info[4] = 100000, huge.info[1] = 48000;
        EXPECT_EQ(Open(huge).error, "Not enough memory to decode the loop");
    }
}

}  // namespace
