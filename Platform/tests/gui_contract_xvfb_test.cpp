// What the fake window system the toolkit's tests run on and the desktop's own must do
// alike: the same scenarios, run on both (the desktop's on the X display of the test).
#include <Platform/Gui/Fake/FakeWindowSystem.h>
#include <Platform/Gui/Gtk/GtkWindowSystem.h>
#include <Platform/Gui/RegisteredMessages.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace Platform::Gui;

namespace {

struct Backend {
    const char* name;
    std::unique_ptr<WindowSystem> (*make)();
};

const Backend kBackends[] = {
    {"Fake", [] { return std::unique_ptr<WindowSystem>(std::make_unique<FakeWindowSystem>()); }},
    {"Gtk",
        [] {
            if (!std::getenv("DISPLAY"))
                throw std::runtime_error("these tests need an X display: run them under scripts/with-xvfb");
            return MakeGtkWindowSystem();
        }},
};

class WindowSystemContract : public ::testing::TestWithParam<Backend> {
protected:
    std::unique_ptr<WindowSystem> system = GetParam().make();
};

unsigned Count() { return RegisterMessage("gui contract: count"); }
unsigned Fail() { return RegisterMessage("gui contract: fail"); }
unsigned QuitWith() { return RegisterMessage("gui contract: quit"); }

// Takes numbered messages; once all have come, ends the loop with 5 on the third tick of
// a 15 ms timer.
struct LoopEvents : WindowEvents {
    WindowSystem* system = nullptr;
    WindowId window = NoWindow;
    std::vector<std::uint64_t> received;
    int ticks = 0;
    void OnMessage(unsigned message, std::uint64_t a, std::uint64_t) override {
        if (message == Count() && (received.push_back(a), received.size() == 2000)) system->StartTimer(window, 7, 15);
        if (message == Fail()) throw std::runtime_error("handler failed on purpose");
        if (message == QuitWith()) system->Quit(int(a));
    }
    void OnTimer(unsigned id) override {
        if (++ticks == 3 && system->StopTimer(window, id)) system->Quit(5);
    }
};

struct QuitOnTimer : WindowEvents {
    WindowSystem* system = nullptr;
    void OnTimer(unsigned) override { system->Quit(0); }
};

}  // namespace

TEST_P(WindowSystemContract, PostsTimersAndFailuresGoThroughTheLoop) {
    LoopEvents events;
    events.system = system.get();
    events.window = system->CreateWindow({"Gui Contract Loop", {0, 0, 50, 50}, false, true, "", NoWindow, &events});

    // Messages from two threads arrive, each thread's in its own order.
    std::thread a([&] {
        for (std::uint64_t i = 0; i < 1000; ++i) system->Post(events.window, Count(), i);
    });
    std::thread b([&] {
        for (std::uint64_t i = 1000; i < 2000; ++i) system->Post(events.window, Count(), i);
    });
    a.join();
    b.join();
    const std::uint32_t start = system->TickCount();
    EXPECT_EQ(system->RunMessageLoop(), 5);
    EXPECT_GE(system->TickCount() - start, 45u);
    ASSERT_EQ(events.received.size(), 2000u);
    std::uint64_t lastA = 0, lastB = 999;
    bool ordered = true;
    for (std::uint64_t v : events.received) {
        std::uint64_t& last = v < 1000 ? lastA : lastB;
        ordered = ordered && (v == 0 || v > last);
        last = v;
    }
    EXPECT_TRUE(ordered);

    // A handler's exception leaves the loop and comes out of it; what it did not reach
    // stays queued for the next loop.
    EXPECT_TRUE(system->Post(events.window, Fail()));
    EXPECT_TRUE(system->Post(events.window, QuitWith(), 3));
    EXPECT_THROW(system->RunMessageLoop(), std::runtime_error);
    EXPECT_EQ(system->RunMessageLoop(), 3);
    system->Quit(9);
    EXPECT_EQ(system->RunMessageLoop(), 9);  // a Quit made before the loop ends it at once

    system->DestroyWindow(events.window);
    EXPECT_FALSE(system->WindowExists(events.window));
    EXPECT_FALSE(system->Post(events.window, Count()));
    EXPECT_FALSE(system->StartTimer(events.window, 1, 10));
}

TEST_P(WindowSystemContract, PlacesWindowsWhereAskedAndKeepsTheMinimumClientSize) {
    QuitOnTimer events;
    events.system = system.get();
    const WindowId id =
        system->CreateWindow({"Gui Contract Placement", {300, 400, 700, 400}, false, true, "", NoWindow, &events});
    system->ShowWindow(id, ShowMode::Normal);
    system->StartTimer(id, 1, 300);
    EXPECT_EQ(system->RunMessageLoop(), 0);

    const auto placement = system->GetPlacement(id);
    ASSERT_TRUE(placement);
    EXPECT_EQ(placement->normal, (PixelRect{300, 400, 700, 400}));
    EXPECT_FALSE(placement->maximised);
    EXPECT_TRUE(placement->visible);
    EXPECT_EQ(system->ClientSize(id), (PixelSize{700, 400}));
    EXPECT_EQ(system->ClientOriginOnScreen(id), (PixelPoint{300, 400}));
    EXPECT_EQ(system->MonitorAreas(), (std::vector<PixelRect>{{0, 0, 1280, 1024}}));

    // A minimum above the present size grows the client area to it.
    system->SetMinimumClientSize(id, 800, 450);
    EXPECT_EQ(system->RunMessageLoop(), 0);
    EXPECT_EQ(system->ClientSize(id), (PixelSize{800, 450}));
    system->DestroyWindow(id);
    EXPECT_FALSE(system->WindowExists(id));
    EXPECT_FALSE(system->GetPlacement(id));
    EXPECT_EQ(system->ClientSize(id), (PixelSize{}));
}

INSTANTIATE_TEST_SUITE_P(Backends, WindowSystemContract, ::testing::ValuesIn(kBackends),
    [](const auto& tested) { return tested.param.name; });
