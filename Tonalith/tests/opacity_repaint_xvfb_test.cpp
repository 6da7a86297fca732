// The opacity sliders of the whole program dragged with the mouse: every drag that shows or
// hides a display moves the rulers and the corner block between them, and what the screen
// shows afterwards must be what a repaint of the whole window shows.
#include "app_fixture.h"

#include <Tonalith/App/EditorToolBar.h>
#include <Tonalith/App/EditorView.h>
#include <Tonalith/App/SimpleSlider.h>

#include <QvBase/UI/Frame.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TestSupport::RunCommand;
using TestSupport::Screenshot;
using TestSupport::WaitFor;

struct Drag {
    const char* what;
    bool waveform;  // which opacity slider, else the spectrogram's
    bool up;  // to near its top, else down to 0
};

// Each drag starts from where the one before left the sliders; both start as the
// program's first run leaves them: the waveform at 0, the spectrogram at 1.
constexpr Drag kDrags[] = {
    {"waveform shown beside the spectrogram", true, true},
    {"spectrogram hidden, waveform alone", false, false},
    {"waveform hidden too", true, false},
    {"spectrogram shown alone", false, true},
    {"waveform shown again", true, true},
    {"waveform hidden again", true, false},
};

constexpr int kLeft = 300, kTop = 400, kWidth = 700, kHeight = 400;  // the window, as the fixture opens it

class OpacityRepaintXvfbTest : public app_test::AppTest {};

TEST_F(OpacityRepaintXvfbTest, AfterEachOpacityDragTheScreenMatchesAWholeRepaint) {
    UI::EditorToolBar* toolBar = window->GetView()->GetToolBar();
    UI::Frame* frame = host->GetFrame();
    // Published from the UI thread: the client origin, the sliders' values, how many ticks
    // in a row found nothing left to paint, and whether a whole repaint is still asked for.
    std::atomic<int> clientX{-1}, clientY{-1}, idleTicks{0};
    std::atomic<float> waveform{-1.0f}, spectrogram{-1.0f};
    std::atomic<bool> repaintAsked{false};
    quitter->onTick = [&] {
        if (repaintAsked) frame->InvalidateRect(frame->GetFrameRect(), true);
        const bool idle = frame->DirtyRects().empty() && !frame->UpdatePosted() && !frame->CaptureWindow();
        idleTicks = idle ? idleTicks + 1 : 0;
        repaintAsked = false;
        waveform = toolBar->WaveformOpacitySlider()->GetValue();
        spectrogram = toolBar->SpectrogramOpacitySlider()->GetValue();
        const Platform::Gui::PixelPoint origin = Platform::Gui::Current().ClientOriginOnScreen(host->Handle());
        clientX = origin.x;
        clientY = origin.y;
    };

    struct Outcome {
        std::string what;
        bool reached = false;
        std::vector<std::uint32_t> after, repainted;
    };
    std::vector<Outcome> outcomes;
    // The tool bar never moves: where the sliders lie is read here, before the loop runs.
    const UI::Rect waveformSlider = toolBar->WaveformOpacitySlider()->FrameRect();
    const UI::Rect spectrogramSlider = toolBar->SpectrogramOpacitySlider()->FrameRect();
    // What the screen shows once nothing is left to paint and two looks agree.
    auto settled = [&] {
        std::vector<std::uint32_t> shot, previous;
        WaitFor([&] { return idleTicks >= 2; });
        WaitFor(
            [&] {
                shot = Screenshot(kLeft, kTop, kWidth, kHeight);
                const bool same = !shot.empty() && shot == previous;
                previous = shot;
                return same;
            },
            20000ms, 150ms);
        return shot;
    };
    std::thread script([&] {
        WaitFor([&] { return clientY >= kTop && settled().size() == std::size_t(kWidth) * kHeight; });
        for (const Drag& drag : kDrags) {
            Outcome& outcome = outcomes.emplace_back();
            outcome.what = drag.what;
            const UI::Rect& r = drag.waveform ? waveformSlider : spectrogramSlider;
            const int y = clientY + (r.top + r.bottom) / 2;
            const int from = clientX + (drag.up ? r.left : r.right),
                      to = clientX + (drag.up ? r.right - 25 : r.left - 20);
            RunCommand("xdotool mousemove " + std::to_string(from) + " " + std::to_string(y) +
                " mousedown 1 mousemove " + std::to_string((from + to) / 2) + " " + std::to_string(y) + " mousemove " +
                std::to_string(to) + " " + std::to_string(y) + " mouseup 1");
            std::atomic<float>& value = drag.waveform ? waveform : spectrogram;
            outcome.reached = WaitFor([&] { return drag.up ? value > 0.5f : value == 0.0f; });
            outcome.after = settled();
            repaintAsked = true;
            WaitFor([&] { return !repaintAsked; });
            outcome.repainted = settled();
        }
        quitter->quit = true;
    });
    EXPECT_EQ(app->Run(), 0);
    script.join();
    quitter->onTick = nullptr;

    ASSERT_EQ(outcomes.size(), std::size(kDrags)) << "the window never showed";
    for (const Outcome& outcome : outcomes) {
        SCOPED_TRACE(outcome.what);
        EXPECT_TRUE(outcome.reached);
        ASSERT_EQ(outcome.after.size(), std::size_t(kWidth) * kHeight);
        ASSERT_EQ(outcome.repainted.size(), outcome.after.size());
        int stale = 0, firstX = -1, firstY = -1;
        for (std::size_t i = 0; i < outcome.after.size(); ++i)
            if (outcome.after[i] != outcome.repainted[i] && stale++ == 0) {
                firstX = kLeft + int(i % kWidth);
                firstY = kTop + int(i / kWidth);
            }
        EXPECT_EQ(stale, 0) << "stale pixels, the first at " << firstX << "," << firstY;
    }
}

}  // namespace
