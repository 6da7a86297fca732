// Long Windows Media files against ffmpeg's own decode, to the last frame.

#include <support/AudioReference.h>
#include <support/DecoderChecks.h>

#include <gtest/gtest.h>

using namespace TestAudio;

TEST(WmaLongStream, EqualsFfmpegToTheLastFrameAndAfterSeeks) {
    if (!HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is needed (installed by make test)";
    TempDir dir;
    for (const WmaFile& file : {WmaFile{"wmav2", 44100, 2, 30}, WmaFile{"wmav1", 48000, 1, 30}}) {
        ExpectDecodesAsFfmpeg(MakeWma(dir, file), file);
        if (HasFatalFailure()) return;
    }
}
