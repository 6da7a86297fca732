// The time ruler of the whole program, switched to sample frames by a right click, after
// zooming deep into an hour-long file with the mouse wheel: its labels read apart, on
// screen as well as in the ruler.
#include "app_fixture.h"

#include <Tonalith/Analysis/TimeScale.h>
#include <Tonalith/App/EditorView.h>
#include <Tonalith/Display/TimeRuler.h>

#include <QvBase/UI/Text/Text.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TestSupport::RunCommand;
using TestSupport::Screenshot;
using TestSupport::WaitFor;

class TimeRulerXvfbTest : public app_test::AppTest {};

TEST_F(TimeRulerXvfbTest, DeepWheelZoomIntoAnHourKeepsLabelsApart) {
    // An hour of silence at 8000 Hz: 28.8 million frames, labels past 1000 s.
    const std::string file = (m_folder / "hour.wav").string();
    ASSERT_EQ(std::system(("sox -n -r 8000 -c 1 -b 16 " + file + " trim 0 3600").c_str()), 0);
    ASSERT_FALSE(Load(file).has_value());
    const UI::TimeScale* timeScale = window->GetView()->GetTimeScale();
    ASSERT_EQ(timeScale->GetLength(), 28800000u);
    auto* ruler = dynamic_cast<UI::TimeRuler*>(
        window->GetView()->FindChild("EditorView Audio Display Frame")->FindChild("EditorView Time Ruler"));
    ASSERT_NE(ruler, nullptr);
    // The menu bar takes its rows from the top of the client area once shown: the ruler
    // keeps its distance from the bottom, the window's row 799.
    const UI::Rect before = ruler->FrameRect();
    const int rulerScreenTop = 800 - (host->GetFrame()->Height() - before.top);

    // The bottom of the client area, where the time ruler lies, once the picture settles.
    constexpr int kStripTop = 700, kStripHeight = 100, kClientLeft = 300, kClientWidth = 700;
    int clientTop = -1;
    std::vector<std::uint32_t> strip;
    // The visible length as the UI thread sees it: the notches queue up behind a loaded
    // machine, so the picture is only waited for once the last one has taken effect.
    std::atomic<std::uint64_t> visible{timeScale->GetVisibleRange().Length()};
    quitter->onTick = [&] { visible = timeScale->GetVisibleRange().Length(); };
    std::thread script([&] {
        WaitFor([&] {
            const std::vector<std::uint32_t> column = Screenshot(650, 380, 1, 200);
            for (std::size_t i = 0; i < column.size() && clientTop < 0; ++i)
                if (column[i] == 0x3D4558) clientTop = 380 + int(i);
            return clientTop >= 0;
        });
        RunCommand("xdotool mousemove " + std::to_string(kClientLeft + before.left + before.Width() / 2) + " " +
            std::to_string(rulerScreenTop + before.Height() / 2) + " click 3");
        // 160 notches bring the hour down to 7 frames, labelled with 8 or more digits.
        RunCommand("xdotool mousemove 650 " + std::to_string(clientTop + 105 + 80) + " click --repeat 160 --delay 2 4");
        WaitFor([&] { return visible.load() <= 10; }, 20000ms);
        // A sanitized build can spend longer than 300 ms on the queued notches before it
        // paints again.
#ifdef TONALITH_SANITIZED
        constexpr auto kSettle = 1500ms;
#else
        constexpr auto kSettle = 300ms;
#endif
        std::vector<std::uint32_t> previous;
        WaitFor(
            [&] {
                strip = Screenshot(kClientLeft, kStripTop, kClientWidth, kStripHeight);
                const bool settled = !strip.empty() && strip == previous;
                previous = strip;
                return settled;
            },
            20000ms, kSettle);
        quitter->quit = true;
    });
    EXPECT_EQ(app->Run(), 0);
    script.join();
    quitter->onTick = nullptr;
    ASSERT_GE(clientTop, 0) << "the tool bar never showed";
    ASSERT_FALSE(strip.empty());

    EXPECT_EQ(ruler->GetMode(), std::uint32_t(UI::TimeRuler::ModeSamples));
    EXPECT_LE(timeScale->GetVisibleRange().Length(), 10u);
    const UI::Rect rect = ruler->FrameRect();
    ASSERT_EQ(clientTop + rect.top, rulerScreenTop);
    const int top = clientTop + rect.top - kStripTop;
    ASSERT_GE(top, 0);
    ASSERT_LE(top + rect.Height(), kStripHeight);
    auto at = [&](int x, int y) { return strip[std::size_t(top + y) * kClientWidth + std::size_t(rect.left + x)]; };
    // The ruler is where the strip says: its top edge in the border colour.
    EXPECT_EQ(at(rect.Width() / 2, 0), 0xAEB5BEu);

    // Shown labels: distinct texts, ink inside each, a clear background gap between.
    std::vector<const UI::RulerLabel*> shown;
    for (const UI::RulerLabel& label : ruler->Labels())
        if (label.label->IsVisible()) shown.push_back(&label);
    ASSERT_GE(shown.size(), 2u);
    for (std::size_t k = 0; k < shown.size(); ++k) {
        const std::string text = shown[k]->text.CStr();
        const UI::Rect r = shown[k]->label->GetRect();
        int ink = 0;
        for (int y = r.top; y <= r.bottom && y < rect.Height() - 1; ++y)
            for (int x = r.left; x <= r.right; ++x) ink += at(x, y) == 0xE0E0E0u;
        EXPECT_GT(ink, 10) << text;
        if (k == 0) continue;
        EXPECT_NE(text, shown[k - 1]->text.CStr());
        const int gapFrom = shown[k - 1]->shadow->GetRect().right + 1;
        ASSERT_LT(gapFrom, r.left) << text;
        for (int x = gapFrom; x < r.left; ++x)
            for (int y = 5; y < rect.Height() - 1; ++y)
                ASSERT_EQ(at(x, y), 0x222222u) << "column " << x << " row " << y << " before " << text;
    }
}

}  // namespace
