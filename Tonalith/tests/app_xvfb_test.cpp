// The whole program in one process on a real window: a tone (a WAV made by sox, a Windows
// Media file made by ffmpeg) is loaded as File > Open would, and the screen must show the
// tone's row bright and the rest of the spectrogram dark.

#include "app_fixture.h"

#include <Tonalith/Analysis/TimeScale.h>
#include <Tonalith/App/EditorToolBar.h>
#include <Tonalith/App/EditorView.h>
#include <Tonalith/App/SimpleSlider.h>
#include <Tonalith/Display/Spectrogram.h>
#include <Tonalith/Display/Waveform.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

std::string RunCommand(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
        pclose(p);
    }
    return out;
}

// Grey levels (mean of R, G, B) of a part of the screen, as another program sees them.
std::vector<int> ScreenshotGrey(int x, int y, int width, int height) {
    const std::string raw = RunCommand("import -silent -window root -crop " + std::to_string(width) + "x" +
        std::to_string(height) + "+" + std::to_string(x) + "+" + std::to_string(y) + " +repage -depth 8 rgb:-");
    std::vector<int> grey;
    if (raw.size() != std::size_t(width) * height * 3) return grey;
    for (std::size_t i = 0; i < raw.size(); i += 3)
        grey.push_back((int((unsigned char)raw[i]) + (unsigned char)raw[i + 1] + (unsigned char)raw[i + 2]) / 3);
    return grey;
}

// The first screen row at or below y whose pixel in column x is the tool bar's colour.
int FindToolBarTop(int x, int y, int height) {
    const std::string raw = RunCommand("import -silent -window root -crop 1x" + std::to_string(height) + "+" +
        std::to_string(x) + "+" + std::to_string(y) + " +repage -depth 8 rgb:-");
    for (std::size_t i = 0; i + 2 < raw.size(); i += 3)
        if ((unsigned char)raw[i] == 0x3D && (unsigned char)raw[i + 1] == 0x45 && (unsigned char)raw[i + 2] == 0x58)
            return y + int(i / 3);
    return -1;
}

struct ToneFile {
    const char* name;
    const char* command;  // %s is the path; both give 32768 frames
};

class AppXvfbTest : public app_test::AppTest, public ::testing::WithParamInterface<ToneFile> {};

INSTANTIATE_TEST_SUITE_P(Files, AppXvfbTest,
    ::testing::Values(ToneFile{"tone.wav", "sox -n -r 16000 -c 1 -b 16 %s synth 2.048 sine 4000 vol 0.5"},
        // Windows Media decodes whole codec frames: 2.05 seconds give 32768 frames.
        ToneFile{"tone.wma",
            "ffmpeg -nostdin -v error -f lavfi -i sine=f=4000:r=16000:d=2.05 -af volume=0.5 -c:a wmav2 %s"}),
    [](const auto& tested) { return std::string(tested.param.name[6] == 'a' ? "Wav" : "WindowsMedia"); });

TEST_P(AppXvfbTest, ALoadedToneShowsItsRowBrightAndSilenceDarkAndTheToolBarCycles) {
    const std::string file = (m_folder / GetParam().name).string();
    // A tone at a quarter of the sampling rate: half-way up a linear frequency axis.
    std::string command = GetParam().command;
    command.replace(command.find("%s"), 2, file);
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    ASSERT_FALSE(Load(file).has_value());
    // The whole file is in view after a load, and stays so once the view has its real width.
    const UI::TimeScale* timeScale = window->GetView()->GetTimeScale();
    EXPECT_EQ(timeScale->GetLength(), 32768u);
    EXPECT_EQ(timeScale->GetVisibleRange(), UI::SampleRange(0, 32768));

    // The sliders sit where the tool bar's layout puts them and start from the defaults.
    UI::EditorToolBar* toolBar = window->GetView()->GetToolBar();
    UI::SimpleSlider* ampRange = toolBar->AmpRangeSlider();
    EXPECT_EQ(ampRange->GetRect().left, 330);
    EXPECT_EQ(ampRange->GetRect().top, 80);
    EXPECT_EQ(ampRange->Width(), 95);
    EXPECT_EQ(toolBar->WaveformOpacitySlider()->GetRect().top, 9);
    EXPECT_EQ(toolBar->SpectrogramOpacitySlider()->GetRect().top, 29);
    EXPECT_TRUE(toolBar->LoadLayout());
    EXPECT_EQ(ampRange->GetValue(), 120.0f);
    EXPECT_EQ(std::string(ampRange->GetValueReadout()->GetText().CStr()), "120.0");
    EXPECT_EQ(window->GetView()->GetWaveform()->GetTransparency(), 255);
    // A typed opacity reaches the display and the store at once.
    toolBar->SpectrogramOpacitySlider()->slotEdited("0.5");
    EXPECT_EQ(window->GetView()->GetSpectrogram()->GetTransparency(), 128);
    EXPECT_EQ(Settings(editor_test::kKeyPath).GetFloat("EditorView.SpectrogramOpacity", -1.0f), 0.5f);
    toolBar->SpectrogramOpacitySlider()->slotEdited("1");
    ampRange->slotEdited("500");
    EXPECT_EQ(window->GetView()->GetSpectrogram()->GetSettings().ampRange, 300.0f);
    EXPECT_EQ(Settings(editor_test::kKeyPath).GetFloat("EditorView.Spectrogram.AmpRange", -1.0f), 300.0f);
    ampRange->slotEdited("120");

    // The display area: below the 105-pixel tool bar, away from the frame's border; the menu
    // bar may push the client area down.
    constexpr int kX = 300 + 350;
    int clientTop = -1, kTop = 0, kHeight = 0;
    std::vector<int> column;
    bool found = false;
    std::thread script([&] {
        for (int i = 0; i < 50 && clientTop < 0; ++i) {
            std::this_thread::sleep_for(100ms);
            clientTop = FindToolBarTop(kX, 380, 200);
        }
        const int clientHeight = 400 + 400 - clientTop;
        kTop = clientTop + 105 + 10;
        kHeight = clientHeight - 105 - 20;
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < end && !found) {
            std::this_thread::sleep_for(200ms);
            column = ScreenshotGrey(kX, kTop, 1, kHeight);
            if (kHeight > 40 && column.size() == std::size_t(kHeight)) {
                int brightest = 0;
                for (int g : column) brightest = std::max(brightest, g);
                found = brightest > 150;
            }
        }
        // The FFT-size button: a left click goes to the next size, two right clicks back past the start.
        RunCommand("xdotool mousemove 699 " + std::to_string(clientTop + 18) + " click 1");
        std::this_thread::sleep_for(300ms);
        RunCommand("xdotool mousemove 699 " + std::to_string(clientTop + 18) + " click 3");
        std::this_thread::sleep_for(300ms);
        RunCommand("xdotool mousemove 699 " + std::to_string(clientTop + 18) + " click 3");
        std::this_thread::sleep_for(300ms);
        quitter->quit = true;
    });
    EXPECT_EQ(app->Run(), 0);
    script.join();
    EXPECT_EQ(timeScale->GetVisibleRange(), UI::SampleRange(0, 32768));
    host.reset();
    info.reset();

    EXPECT_EQ(Settings(editor_test::kKeyPath).GetInt("EditorView.Spectrogram.FFTSize", -1), 3);

    ASSERT_GT(clientTop, 0) << "the tool bar never showed";
    ASSERT_TRUE(found) << "the spectrogram never showed a bright row";
    const int peakRow = int(std::max_element(column.begin(), column.end()) - column.begin());
    // Half-way up the display, give or take the border and a few rows of spread.
    EXPECT_NEAR(kTop + peakRow, clientTop + 105 + (800 - clientTop - 105) / 2, 20);
    // Well away from the tone the picture is dark.
    EXPECT_LT(column[5], 60);
    EXPECT_LT(column[kHeight - 6], 60);
}

}  // namespace
