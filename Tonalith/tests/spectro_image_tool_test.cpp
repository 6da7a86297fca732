// The spectrogram-image developer tool on a file made by sox.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string tool = std::string(TONALITH_BINARY_DIR) + "/bin/spectrogram-image";

int RunTool(const std::string& arguments) {
    const int status = std::system((tool + " " + arguments + " 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Temporary(const char* name) { return ::testing::TempDir() + "spectro_tool_" + name; }

TEST(SpectrogramImageTool, WritesTheSpectrogramOfAFileAsPpm) {
    const std::string wav = Temporary("tone.wav");
    const std::string ppm = Temporary("tone.ppm");
    // 1 s of a 5512.5 Hz tone (a quarter of the Nyquist frequency), mono, 16 bits.
    ASSERT_EQ(std::system(("sox -n -r 44100 -c 1 -b 16 " + wav + " synth 1 sine 5512.5 vol 0.5").c_str()), 0);
    ASSERT_EQ(RunTool(wav + " " + ppm + " 40 101 0 4 0 1 6 120 0 0"), 0);

    std::ifstream in(ppm, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    const std::string header = "P6\n40 101\n255\n";
    ASSERT_EQ(bytes.size(), header.size() + 40 * 101 * 3);
    ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + std::ptrdiff_t(header.size())), header);
    // Nearest bin: a quarter of the way up the band (row 75 of 0..100) is the brightest.
    int brightest = -1, best = -1;
    for (int y = 0; y < 101; ++y) {
        const unsigned char* p = bytes.data() + header.size() + std::size_t(y * 40 + 20) * 3;
        if (p[0] + p[1] + p[2] > best) {
            best = p[0] + p[1] + p[2];
            brightest = y;
        }
    }
    EXPECT_EQ(brightest, 75);
    std::remove(wav.c_str());
    std::remove(ppm.c_str());
}

TEST(SpectrogramImageTool, RefusesBadArgumentsAndFiles) {
    const std::string ppm = Temporary("bad.ppm");
    EXPECT_EQ(RunTool(""), 2);
    EXPECT_EQ(RunTool("x.wav " + ppm + " 0 10"), 2);
    EXPECT_EQ(RunTool("x.wav " + ppm + " 10 10 3"), 2);  // no analysis type 3
    EXPECT_EQ(RunTool("x.wav " + ppm + " 10 10 0 12"), 2);  // no FFT size index 12
    EXPECT_EQ(RunTool("x.wav " + ppm + " 10 10 0 4 0 1 6 -5"), 2);
    EXPECT_EQ(RunTool(Temporary("missing.wav") + " " + ppm + " 10 10"), 1);
    const std::string junk = Temporary("junk.wav");
    std::ofstream(junk) << "RIFF not really a wave file";
    EXPECT_EQ(RunTool(junk + " " + ppm + " 10 10"), 1);
    std::remove(junk.c_str());
}

}  // namespace
