#include <QvBase/Util/Thread.h>

#include <Platform/Kernel/Clock.h>
#include <Platform/Kernel/Event.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

using Platform::Kernel::MonotonicMs;

namespace {

// Runs a function as its body and, as owners must, joins before its members go.
class FunctionThread : public Util::Thread {
public:
    explicit FunctionThread(std::function<void(FunctionThread&)> body) : Thread("Function"), m_body(std::move(body)) {}
    ~FunctionThread() override { Join(); }

    using Thread::StopRequested;

protected:
    void Run() override { m_body(*this); }

private:
    std::function<void(FunctionThread&)> m_body;
};

// A body that uses its own members, deleted right after Start.
class FillingThread : public Util::Thread {
public:
    explicit FillingThread(std::atomic<int>* finished) : Thread("Filling"), m_finished(finished) {}
    ~FillingThread() override { Join(); }

protected:
    void Run() override {
        for (int i = 0; i < 1000; ++i) m_values.push_back(i);
        ++*m_finished;
    }

private:
    std::vector<int> m_values;
    std::atomic<int>* m_finished;
};

// Stops as an owner with a deadline does: a short join, then Kill. The body ignores the
// stop request until it is released, and reports whether the members were gone by then.
class StoppingThread : public Util::Thread {
public:
    StoppingThread(Platform::Kernel::Event& release, std::atomic<bool>& membersGone, std::atomic<bool>& sawMembersGone)
        : Thread("Stopping"), m_release(release), m_member{&membersGone}, m_sawMembersGone(sawMembersGone) {}
    ~StoppingThread() override {
        if (!Join(10)) Kill();
    }

protected:
    void Run() override {
        m_release.Wait(std::nullopt);
        m_sawMembersGone = m_member.gone->load();
    }

private:
    struct Member {
        std::atomic<bool>* gone;
        ~Member() { *gone = true; }
    };
    Platform::Kernel::Event& m_release;
    Member m_member;
    std::atomic<bool>& m_sawMembersGone;
};

}  // namespace

TEST(Thread, JoinWaitsWithOrWithoutATimeOut) {
    Platform::Kernel::Event release(Platform::Kernel::EventMode::ManualReset);
    std::atomic<bool> ran{false};
    FunctionThread thread([&](FunctionThread&) {
        release.Wait(std::nullopt);
        ran = true;
    });
    EXPECT_EQ(thread.Name(), "Function");
    EXPECT_TRUE(thread.Join(0));  // never started

    thread.Start();
    const std::uint64_t start = MonotonicMs();
    EXPECT_FALSE(thread.Join(0));
    EXPECT_LT(MonotonicMs() - start, 500u);  // did not block
    EXPECT_FALSE(thread.Join(50));
    EXPECT_GE(MonotonicMs() - start, 50u);
    release.Set();
    EXPECT_TRUE(thread.Join());
    EXPECT_TRUE(ran);
    EXPECT_TRUE(thread.Join(0));
}

TEST(Thread, AJoinOrDeleteRightAfterStartWaitsForTheBody) {
    std::atomic<int> finished{0};
    for (int i = 1; i <= 100; ++i) {
        auto thread = std::make_unique<FillingThread>(&finished);
        thread->Start();
        thread.reset();
        ASSERT_EQ(finished, i);
    }
    FillingThread joined(&finished);
    joined.Start();
    EXPECT_TRUE(joined.Join());
    EXPECT_EQ(finished, 101);
}

TEST(Thread, KillStopsACooperativeBodyAndWaitsForAStuckOne) {
    FunctionThread idle([](FunctionThread&) {});
    idle.Kill();  // not running: nothing happens
    EXPECT_TRUE(idle.Join(0));

    std::atomic<int> loops{0};
    FunctionThread polite([&](FunctionThread& self) {
        while (!self.StopRequested()) {
            ++loops;
            Platform::Kernel::SleepMs(1);
        }
    });
    polite.Start();
    const std::uint64_t start = MonotonicMs();
    polite.Kill();
    EXPECT_LT(MonotonicMs() - start, 1000u);
    EXPECT_TRUE(polite.Join(0));

    Platform::Kernel::Event release(Platform::Kernel::EventMode::ManualReset);
    std::atomic<bool> membersGone{false};
    std::atomic<bool> sawMembersGone{true};
    auto updater = std::make_unique<StoppingThread>(release, membersGone, sawMembersGone);
    updater->Start();
    std::thread releaser([&] {
        Platform::Kernel::SleepMs(1200);
        release.Set();
    });
    updater.reset();  // its destructor joins briefly, then kills, then its members go
    EXPECT_FALSE(sawMembersGone);  // the body ended before any member of its object did
    releaser.join();
}
