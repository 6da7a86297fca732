// Posting from other threads while the UI thread runs its loop, and naming messages from
// many threads at once.
#include <Platform/Gui/Fake/FakeWindowSystem.h>
#include <Platform/Gui/RegisteredMessages.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace Platform::Gui;

TEST(GuiPostThreads, MessagesPostedDuringTheLoopArriveOnceEachInEachSendersOrder) {
    FakeWindowSystem fake;
    constexpr int kSenders = 3, kEach = 2000;
    struct Events : WindowEvents {
        FakeWindowSystem* fake;
        std::vector<std::vector<std::uint64_t>> bySender = std::vector<std::vector<std::uint64_t>>(kSenders);
        int total = 0;
        void OnMessage(unsigned message, std::uint64_t a, std::uint64_t b) override {
            bySender.at(message - 100).push_back(a + b);
            if (++total == kSenders * kEach) fake->Quit(0);
        }
    } events;
    events.fake = &fake;
    const WindowId id = fake.CreateWindow({"Posts", {0, 0, 10, 10}, false, true, "", NoWindow, &events});
    fake.SetIdleScript([] {
        std::this_thread::yield();
        return true;
    });

    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s)
        senders.emplace_back([&, s] {
            for (int i = 0; i < kEach; ++i) EXPECT_TRUE(fake.Post(id, 100 + s, i, 0));
        });
    EXPECT_EQ(fake.RunMessageLoop(), 0);
    for (auto& t : senders) t.join();
    for (const auto& received : events.bySender) {
        ASSERT_EQ(received.size(), std::size_t(kEach));
        for (int i = 0; i < kEach; ++i) ASSERT_EQ(received[i], std::uint64_t(i));
    }
    EXPECT_EQ(fake.PendingPosts(), 0u);
}

TEST(GuiPostThreads, RacingRegistrationsAgreeOnEveryName) {
    std::vector<std::vector<unsigned>> seen(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &seen] {
            for (int i = 0; i < 200; ++i)
                seen[t].push_back(RegisterMessage("race " + std::to_string((i * 7 + t * 13) % 200)));
        });
    for (auto& th : threads) th.join();
    std::set<unsigned> distinct;
    for (const auto& ids : seen) distinct.insert(ids.begin(), ids.end());
    EXPECT_EQ(distinct.size(), 200u);
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 200; ++i)
            EXPECT_EQ(seen[t][i], RegisterMessage("race " + std::to_string((i * 7 + t * 13) % 200)));
}
