// A waveform and a spectrogram of a generated tone in a real window, checked on screen.
#include <ToolkitTesting/DesktopFixture.h>
#include <ToolkitTesting/ToolkitFixture.h>

#include <Tonalith/Analysis/AmpScale.h>
#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/FreqScale.h>
#include <Tonalith/Analysis/TimeScale.h>
#include <Tonalith/Display/AudioCanvas.h>
#include <Tonalith/Display/AudioDisplayFrame.h>
#include <Tonalith/Display/AudioUpdater.h>
#include <Tonalith/Display/Spectrogram.h>
#include <Tonalith/Display/Waveform.h>

#include <QvBase/UI/ApplicationMainWindow.h>
#include <QvBase/UI/Native/HostWindow.h>

#include <TestSupport/Desktop.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

using namespace std::chrono_literals;

using TestSupport::RunCommand;
using TestSupport::Screenshot;

namespace {

int Red(std::uint32_t p) { return int(p >> 16 & 0xFF); }
int Green(std::uint32_t p) { return int(p >> 8 & 0xFF); }
int Blue(std::uint32_t p) { return int(p & 0xFF); }
int Brightness(std::uint32_t p) { return Red(p) + Green(p) + Blue(p); }

constexpr int kLeft = 100, kTop = 100, kWidth = 500, kHeight = 300;
// Rulers 20 high and 30 wide: the displays span 428 by 268 from (6, 6).
constexpr int kDisplayWidth = 428, kDisplayHeight = 268;
constexpr std::uint32_t kRate = 44100;
constexpr double kToneHz = 1000.0;

class EditorWindow : public UI::ApplicationMainWindow {
public:
    EditorWindow(UI::ApplicationInfo* info, UI::Native::HostWindow* host, UI::AudioUpdater* updater,
        const float* const* channels)
        : ApplicationMainWindow(info, host) {
        UI::Frame* frame = GetFrame();
        auto* timeRuler = new UI::Window(frame, this, "TimeRuler");
        timeRuler->SetHeight(20);
        auto* ampRuler = new UI::Window(frame, this, "AmpRuler");
        ampRuler->SetWidth(30);
        auto* freqRuler = new UI::Window(frame, this, "FreqRuler");
        freqRuler->SetWidth(30);
        displayFrame = new UI::AudioDisplayFrame(
            &canvas, frame, this, "DisplayFrame", &timeScale, &ampScale, &freqScale, timeRuler, ampRuler, freqRuler);
        spectrogram = new UI::Spectrogram(
            &canvas, frame, displayFrame, "Spectrogram", &timeScale, &ampScale, &freqScale, updater);
        waveform =
            new UI::Waveform(&canvas, frame, displayFrame, "Waveform", &timeScale, &ampScale, &freqScale, updater);
        displayFrame->AddDisplay(spectrogram);
        displayFrame->AddDisplay(waveform);
        displayFrame->SetGeometry(0, 0, kWidth, kHeight);

        timeScale.SetLength(kRate);
        timeScale.SetVisibleRange(UI::SampleRange(0, kRate));
        ampScale.SetChannelCount(1);
        ampScale.SetRange({-1.0f, 1.0f});
        ampScale.SetVisibleRange({-1.0f, 1.0f});
        freqScale.SetChannelCount(1);
        freqScale.SetRange({0.0f, float(kRate) / 2.0f});
        freqScale.SetVisibleRange({0.0f, float(kRate) / 2.0f});
        SharedPtr<UI::AudioDisplaySource> source(new UI::AudioDisplayMemorySource("Tone", kRate, 1, kRate, channels));
        spectrogram->SetSource(source);
        waveform->SetSource(source);

        frame->SetRootWindow(this);
        frame->AddTimer(this, 50, false);
        StartUpdates(33);
    }
    ~EditorWindow() override {
        // Children go after the scales they read, and a display still reads its time scale as
        // it goes: the frame holding the displays goes first, as in the editor.
        delete displayFrame;
    }
    void Paint(UI::DrawContext& dc) override {
        dc.DrawRect({0, Width() - 1, 0, Height() - 1}, UI::DrawRectFilled, 0x000000, 0);
        Window::Paint(dc);
    }
    void OnTimer(uint) override {
        if (quit) Platform::Gui::Current().Quit(0);
    }

    std::atomic<bool> quit{false};
    UI::AudioCanvas canvas{kRate};
    UI::TimeScale timeScale{"Time"};
    UI::AmpScale ampScale{"Amp"};
    UI::FreqScale freqScale{"Freq"};
    UI::AudioDisplayFrame* displayFrame = nullptr;
    UI::Spectrogram* spectrogram = nullptr;
    UI::Waveform* waveform = nullptr;
};

class DisplayXvfb : public toolkit_test::DesktopTest {};

}  // namespace

TEST_F(DisplayXvfb, ToneShowsAsAWaveformOverItsSpectrogram) {
    std::vector<float> tone(kRate);
    for (std::uint32_t i = 0; i < kRate; ++i) tone[i] = float(0.5 * std::sin(2.0 * M_PI * kToneHz * double(i) / kRate));
    const float* channels[1] = {tone.data()};

    Application app("Quorvel", "DisplayXvfbTest");
    UI::ApplicationInfo info("Tonalith", 1000, 5, "Tonalith/resources", "UI/Layout");
    UI::AudioUpdater updater;
    auto* host = UI::CreateMainHostWindow(&info, "Display Test Host Window",
        UI::Rect::FromXYWH(kLeft, kTop, kWidth, kHeight), false, "Display Xvfb Test");
    ASSERT_NE(host->Handle(), Platform::Gui::NoWindow);
    auto* editor = new EditorWindow(&info, host, &updater, channels);

    // Rows of the display band: 1 kHz lies 12 rows above the bottom, 20 kHz 25 rows below the top,
    // the tone's peaks at a quarter of the height from either edge.
    auto brightestIn = [](const std::vector<std::uint32_t>& shot, int firstRow, int lastRow, int column) {
        int best = 0;
        for (int y = firstRow; y <= lastRow; ++y)
            best = std::max(best, Brightness(shot[std::size_t(y) * kDisplayWidth + column]));
        return best;
    };
    // Image columns are rendered on several threads, in no set order: the picture is whole
    // once every checked column shows the tone, in the waveform and in the spectrogram.
    auto ready = [&](const std::vector<std::uint32_t>& shot) {
        if (shot.size() != std::size_t(kDisplayWidth) * kDisplayHeight) return false;
        const std::uint32_t middle = shot[std::size_t(kDisplayHeight / 2) * kDisplayWidth + kDisplayWidth / 2];
        if (Green(middle) <= 100) return false;
        for (int x = 0; x < kDisplayWidth; x += 37) {
            const std::uint32_t p = shot[std::size_t(kDisplayHeight / 2) * kDisplayWidth + x];
            if (Green(p) <= Red(p) || Green(p) <= Blue(p)) return false;
        }
        for (int x = 10; x < kDisplayWidth - 10; x += 37)
            if (brightestIn(shot, 250, 260, x) <= 200) return false;
        return true;
    };
    std::vector<std::uint32_t> shot;
    std::vector<std::uint32_t> border;
    std::thread script([&] {
        const auto end = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < end) {
            shot = Screenshot(kLeft + 6, kTop + 6, kDisplayWidth, kDisplayHeight);
            if (ready(shot)) break;
            std::this_thread::sleep_for(50ms);
        }
        border = Screenshot(kLeft, kTop, 6, 6);
        RunCommand("import -silent -window root -crop " + std::to_string(kWidth) + "x" + std::to_string(kHeight) + "+" +
            std::to_string(kLeft) + "+" + std::to_string(kTop) + " +repage " + std::string(TONALITH_BINARY_DIR) +
            "/display_xvfb_test.png");
        editor->quit = true;
    });
    EXPECT_EQ(app.Run(), 0);
    script.join();
    delete host;

    ASSERT_TRUE(ready(shot)) << "the displays never showed the tone";
    // The bevel's outer band.
    ASSERT_EQ(border.size(), 36u);
    EXPECT_EQ(border[0], 0x3D4558u);
    // The waveform: green across the tone's span in every column, its transparent
    // background elsewhere showing the spectrogram beneath.
    for (int x = 0; x < kDisplayWidth; x += 37) {
        const std::uint32_t p = shot[std::size_t(kDisplayHeight / 2) * kDisplayWidth + x];
        EXPECT_GT(Green(p), Red(p)) << "column " << x;
        EXPECT_GT(Green(p), Blue(p)) << "column " << x;
    }
    // The spectrogram: the tone's row bright, far above it dark, in every column.
    for (int x = 10; x < kDisplayWidth - 10; x += 37) {
        const int tone1k = brightestIn(shot, 250, 260, x);
        const int high = brightestIn(shot, 15, 35, x);
        EXPECT_GT(tone1k, 200) << "column " << x;
        EXPECT_LT(high * 3, tone1k) << "column " << x;
    }
}
