// The opacity sliders of the whole program dragged with the mouse: showing or hiding a
// display moves the rulers and the corner block between them, and after every drag the
// screen must show what a repaint of the whole window shows.
#include "app_fixture.h"

#include <Tonalith/App/EditorToolBar.h>
#include <Tonalith/App/EditorView.h>
#include <Tonalith/App/SimpleSlider.h>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TestSupport::WaitFor;

class OpacityRepaintXvfbTest : public app_test::AppTest {};

TEST_F(OpacityRepaintXvfbTest, AfterEachOpacityDragTheScreenMatchesAWholeRepaint) {
    // From the first run's waveform 0 and spectrogram 1 through every pair of shown displays.
    const struct {
        int slider;  // 0 the waveform's, 1 the spectrogram's
        bool up;  // to near its top, else to 0
    } drags[] = {{0, true}, {1, false}, {0, false}, {1, true}, {0, true}, {0, false}};
    UI::EditorToolBar* bar = window->GetView()->GetToolBar();
    const UI::SimpleSlider* sliders[] = {bar->WaveformOpacitySlider(), bar->SpectrogramOpacitySlider()};
    const UI::Rect rects[] = {sliders[0]->FrameRect(), sliders[1]->FrameRect()};  // the tool bar never moves
    UI::Frame* frame = host->GetFrame();
    std::atomic<int> originX{-1}, originY{-1}, idleTicks{0};
    std::atomic<float> values[2] = {-1.0f, -1.0f};
    std::atomic<bool> repaintAsked{false};
    quitter->onTick = [&] {
        if (repaintAsked) frame->InvalidateRect(frame->GetFrameRect(), true);
        const bool idle = frame->DirtyRects().empty() && !frame->UpdatePosted() && !frame->CaptureWindow();
        idleTicks = idle ? idleTicks + 1 : 0;
        repaintAsked = false;
        for (int i : {0, 1}) values[i] = sliders[i]->GetValue();
        const Platform::Gui::PixelPoint origin = Platform::Gui::Current().ClientOriginOnScreen(host->Handle());
        originX = origin.x;
        originY = origin.y;
    };
    // The window where the fixture opens it, once nothing is left to paint and two looks agree.
    auto settled = [&] {
        std::vector<std::uint32_t> shot, previous;
        WaitFor([&] { return idleTicks >= 2; });
        WaitFor(
            [&] {
                previous = std::exchange(shot, TestSupport::Screenshot(300, 400, 700, 400));
                return !shot.empty() && shot == previous;
            },
            20000ms, 150ms);
        return shot;
    };
    std::vector<long> stalePixels;  // per drag; -1 when the slider never got there
    std::thread script([&] {
        WaitFor([&] { return originY >= 400; });
        for (const auto& drag : drags) {
            const UI::Rect& r = rects[drag.slider];
            const int y = originY + (r.top + r.bottom) / 2, from = originX + (drag.up ? r.left : r.right);
            const int to = originX + (drag.up ? r.right - 25 : r.left - 20);
            TestSupport::RunCommand("xdotool mousemove " + std::to_string(from) + " " + std::to_string(y) +
                " mousedown 1 mousemove " + std::to_string(to) + " " + std::to_string(y) + " mouseup 1");
            std::atomic<float>& value = values[drag.slider];
            const bool reached = WaitFor([&] { return drag.up ? value > 0.5f : value == 0.0f; });
            const std::vector<std::uint32_t> after = settled();
            repaintAsked = true;
            WaitFor([&] { return !repaintAsked; });
            const std::vector<std::uint32_t> repainted = settled();
            long stale = after.size() == repainted.size() ? 0 : -1;
            for (std::size_t i = 0; i < after.size() && stale >= 0; ++i) stale += after[i] != repainted[i];
            stalePixels.push_back(reached ? stale : -1);
        }
        quitter->quit = true;
    });
    EXPECT_EQ(app->Run(), 0);
    script.join();
    quitter->onTick = nullptr;
    EXPECT_EQ(stalePixels, std::vector<long>(std::size(drags), 0));
}

}  // namespace
