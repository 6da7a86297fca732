// The update timer in both modes: a window-system timer, and a thread that posts ticks.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/ToolkitMessages.h>
#include <QvBase/UI/UpdateTimer.h>

#include <chrono>
#include <thread>

using namespace toolkit_test;

namespace {

class UpdateTimerTest : public ToolkitTest {};

struct TickCounter : Platform::Gui::WindowEvents {
    int ticks = 0;
    void OnMessage(unsigned message, std::uint64_t, std::uint64_t) override {
        if (message == UI::TimerTickMessage()) ++ticks;
    }
};

}  // namespace

TEST_F(UpdateTimerTest, SystemModeStartsAndStopsTheWindowTimerOnce) {
    const auto id = system->CreateWindow({"w", {0, 0, 10, 10}, false, true, "T", 0, nullptr});
    system->ClearCalls();
    {
        UI::UpdateTimer timer(id, 33, UI::UpdateTimer::SystemTimer);
        EXPECT_EQ(UI::UpdateTimer::GetTimerId(), 123722u);
        timer.Start();
        timer.Start();
        EXPECT_TRUE(timer.IsRunning());
        timer.Stop();
        timer.Stop();
        timer.Start();
    }  // the destructor stops a running timer
    EXPECT_EQ(system->Calls(),
        (std::vector<std::string>{
            "StartTimer 1 123722 33", "StopTimer 1 123722", "StartTimer 1 123722 33", "StopTimer 1 123722"}));
}

TEST_F(UpdateTimerTest, ThreadModePostsTicksAsTheClockAdvancesAndStopsPromptly) {
    TickCounter counter;
    const auto id = system->CreateWindow({"w", {0, 0, 10, 10}, false, true, "T", 0, &counter});
    UI::UpdateTimer timer(id, 20, UI::UpdateTimer::ThreadTimer);
    system->AdvanceClock(1000);
    timer.Start();
    // The clock of the fake moves only when told to; the thread posts one tick per interval.
    for (std::size_t i = 1; i <= 5; ++i) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (system->PendingPosts() < i && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        system->AdvanceClock(20);
    }
    const auto start = std::chrono::steady_clock::now();
    timer.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(timer.IsRunning());
    system->DispatchPosted();
    EXPECT_GE(counter.ticks, 5);
    EXPECT_LE(counter.ticks, 6);  // the last advance may have let one more through
}
