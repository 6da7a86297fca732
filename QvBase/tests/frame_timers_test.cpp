// Frame timers: ids, schedule, handlers that change the list, the clock's wrap.
#include <ToolkitTesting/ToolkitFixture.h>

using namespace toolkit_test;

namespace {

class FrameTimersTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        frame = std::make_unique<UI::Frame>(
            info.get(), Platform::Gui::NoWindow, nullptr, UI::Point{}, "F", UI::Rect{0, 9, 0, 9});
    }
    void TearDown() override {
        frame.reset();
        ToolkitTest::TearDown();
    }
    std::vector<uint> Ids() {
        std::vector<uint> ids;
        for (const auto& t : frame->Timers()) ids.push_back(t.id);
        return ids;
    }
    // Ticks every 33 ms from now, like the update timer, for `ms` milliseconds.
    void Tick(int ms) {
        for (int t = 0; t < ms; t += 33) {
            system->AdvanceClock(33);
            frame->FireTimers();
        }
    }
    std::unique_ptr<UI::Frame> frame;
    std::vector<std::string> log;
};

}  // namespace

TEST_F(FrameTimersTest, IdsStartAtOneAndReuseTheLowestFree) {
    auto* w = new Probe(frame.get(), nullptr, "w");
    EXPECT_EQ(frame->AddTimer(w, 10, false), 1u);
    EXPECT_EQ(frame->AddTimer(w, 10, false), 2u);
    EXPECT_EQ(frame->AddTimer(w, 10, false), 3u);
    frame->RemoveTimer(2);
    frame->RemoveTimer(7);  // none: nothing
    EXPECT_EQ(frame->AddTimer(w, 10, false), 2u);
    EXPECT_EQ(Ids(), (std::vector<uint>{1, 2, 3}));
}

TEST_F(FrameTimersTest, FireOnScheduleAtMostOncePerPassAndOneShotsOnce) {
    auto* w = new Probe(frame.get(), nullptr, "w", &log);
    const uint periodic = frame->AddTimer(w, 100, false);
    const uint once = frame->AddTimer(w, 50, true);
    std::vector<std::uint32_t> periodicAt;
    w->onTimer = [&](uint id) {
        if (id == periodic) periodicAt.push_back(system->TickCount());
    };
    Tick(400);
    // With 33 ms ticks a 100 ms timer fires at the first pass at or after its time.
    EXPECT_EQ(periodicAt, (std::vector<std::uint32_t>{132, 264, 396}));
    EXPECT_EQ(std::count(log.begin(), log.end(), "w Timer " + std::to_string(once)), 1);
    EXPECT_EQ(Ids(), std::vector<uint>{periodic});
}

TEST_F(FrameTimersTest, HandlersThatAddOrRemoveTimersSkipNothing) {
    auto* a = new Probe(frame.get(), nullptr, "a", &log);
    auto* b = new Probe(frame.get(), nullptr, "b", &log);
    auto* c = new Probe(frame.get(), nullptr, "c", &log);
    const uint ta = frame->AddTimer(a, 10, false);
    frame->AddTimer(b, 10, false);
    frame->AddTimer(c, 10, false);
    // a removes itself (its record becomes b's) and adds a new timer with a lower id than b's... none is
    // lower, so it gets a's old id back; b and c still fire in this pass, nothing fires twice.
    a->onTimer = [&](uint id) {
        frame->RemoveTimer(id);
        frame->AddTimer(a, 1000, false);
    };
    system->AdvanceClock(10);
    frame->FireTimers();
    EXPECT_EQ(log, (std::vector<std::string>{"a Timer 1", "b Timer 2", "c Timer 3"}));
    EXPECT_EQ(frame->Timers().front().id, ta);
    EXPECT_EQ(frame->Timers().front().intervalMs, 1000u);

    // b removes c while c is due: c does not fire.
    log.clear();
    a->onTimer = nullptr;
    b->onTimer = [&](uint) { frame->RemoveTimer(3); };
    system->AdvanceClock(10);
    frame->FireTimers();
    EXPECT_EQ(log, (std::vector<std::string>{"b Timer 2"}));
}

TEST_F(FrameTimersTest, ADestroyedWindowLosesItsTimers) {
    auto* keeper = new Probe(frame.get(), nullptr, "keeper", &log);
    auto* doomed = new Probe(frame.get(), nullptr, "doomed", &log);
    auto* doomedChild = new Probe(frame.get(), doomed, "child", &log);
    frame->AddTimer(doomed, 10, false);
    frame->AddTimer(keeper, 10, false);
    frame->AddTimer(doomedChild, 10, true);
    // Moving a window elsewhere in the tree keeps its timers.
    doomedChild->SetParent(doomed, {1, 1});
    EXPECT_EQ(frame->Timers().size(), 3u);
    delete doomed;
    ASSERT_EQ(frame->Timers().size(), 1u);
    EXPECT_EQ(frame->Timers().front().target, keeper);
    system->AdvanceClock(10);
    frame->FireTimers();
    EXPECT_EQ(log, (std::vector<std::string>{"keeper Timer 2"}));

    // A timer whose handler deletes its own window.
    auto* selfDeleting = new Probe(frame.get(), nullptr, "self", &log);
    frame->AddTimer(selfDeleting, 10, false);
    selfDeleting->onTimer = [&](uint) { delete selfDeleting; };
    system->AdvanceClock(10);
    frame->FireTimers();
    EXPECT_EQ(frame->Timers().size(), 1u);
}

TEST_F(FrameTimersTest, KeepFiringAcrossTheTickCountsWrap) {
    system->AdvanceClock(0xFFFFFFFFu - 50);  // 51 ms before the wrap
    const std::uint32_t start = system->TickCount();
    auto* w = new Probe(frame.get(), nullptr, "w", &log);
    std::vector<std::uint32_t> after;
    w->onTimer = [&](uint) { after.push_back(system->TickCount() - start); };
    frame->AddTimer(w, 100, false);
    Tick(13 * 33);
    EXPECT_EQ(after, (std::vector<std::uint32_t>{132, 264, 396}));
}

TEST_F(FrameTimersTest, AHandlerThatDeletesEarlierTimersSkipsNoLaterOne) {
    auto* doomed = new Probe(frame.get(), nullptr, "doomed", &log);
    auto* keeper = new Probe(frame.get(), nullptr, "keeper", &log);
    frame->AddTimer(doomed, 10, false);
    frame->AddTimer(doomed, 10, false);
    frame->AddTimer(keeper, 10, false);
    // The second timer's handler takes both of its window's records, the one before it too.
    doomed->onTimer = [&](uint id) {
        if (id == 2) delete doomed;
    };
    system->AdvanceClock(10);
    frame->FireTimers();
    EXPECT_EQ(log, (std::vector<std::string>{"doomed Timer 1", "doomed Timer 2", "keeper Timer 3"}));
    EXPECT_EQ(Ids(), std::vector<uint>{3});
}

TEST_F(FrameTimersTest, AOneShotReArmedUnderItsOwnIdIsKept) {
    auto* w = new Probe(frame.get(), nullptr, "w", &log);
    uint current = frame->AddTimer(w, 10, true);
    // The handler drops its timer and starts the next one, which gets the freed id back.
    w->onTimer = [&](uint id) {
        frame->RemoveTimer(id);
        current = frame->AddTimer(w, 20, true);
    };
    system->AdvanceClock(10);
    frame->FireTimers();
    ASSERT_EQ(frame->Timers().size(), 1u);
    EXPECT_EQ(frame->Timers().front().id, current);
    EXPECT_EQ(frame->Timers().front().intervalMs, 20u);
    system->AdvanceClock(20);
    frame->FireTimers();
    EXPECT_EQ(log, (std::vector<std::string>{"w Timer 1", "w Timer 1"}));
}
