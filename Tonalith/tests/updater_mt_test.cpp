#include "updater_probe.h"

#include <Tonalith/Display/AudioUpdater.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

using updater_test::Probe;
using updater_test::ProbeCalculator;
using updater_test::ProbeSource;
using updater_test::ViewOfLength;

namespace {

bool AllTransparentBlack(const UI::Image& image) {
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (image.Pixels()[y * image.Stride() + x] != 0xFF000000u) return false;
    return true;
}

// One updater with the probe's job added over 1000 frames; the updater goes first, then the probe.
class AudioUpdater : public ::testing::Test {
protected:
    // Adds the job with its compute (or render) held and waits until the thread is inside it.
    void StartHeld(bool render = false, UI::Size size = UI::Size{4, 4}) {
        (render ? probe.holdRender : probe.holdCompute) = true;
        calculator = new ProbeCalculator(&source.source, probe);
        buffer = updater.AddJob(calculator, size, ViewOfLength(1000));
        ASSERT_TRUE(probe.WaitFor([render](const Probe& p) { return render ? p.inRender : p.inCompute; }));
    }
    void Release() {
        probe.Set([](Probe& p) { p.holdCompute = p.holdRender = false; });
    }
    int Count(int Probe::*field) {
        return probe.Read<int>([field](const Probe& p) { return p.*field; });
    }

    ProbeSource source;
    Probe probe;
    Probe other;  // a second job's, or a witness that a pass went by
    UI::AudioUpdater updater;
    ProbeCalculator* calculator = nullptr;
    UI::Image* buffer = nullptr;
};

TEST_F(AudioUpdater, AddedJobIsComputedThenRenderedIntoItsFreshBuffer) {
    StartHeld(false, UI::Size{7, 5});
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->Width(), 7);
    EXPECT_EQ(buffer->Height(), 5);
    EXPECT_TRUE(buffer->HasAlpha());
    EXPECT_TRUE(AllTransparentBlack(*buffer));
    Release();
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
    EXPECT_EQ(probe.Read<UI::Image*>([](const Probe& p) { return p.renderImages.back(); }), buffer);
    EXPECT_EQ(probe.Read<std::uint64_t>([](const Probe& p) { return p.computeLengths.back(); }), 1000u);
    EXPECT_EQ(buffer->Pixels()[0], 0x00123456u);
    EXPECT_EQ(updater.JobCount(), 1u);
    // Requests about calculators without a job do nothing.
    ProbeCalculator stranger(&source.source, probe);
    EXPECT_EQ(updater.Resize(&stranger, UI::Size{3, 3}), nullptr);
    updater.UpdateView(&stranger, ViewOfLength(5));
    updater.RemoveJob(&stranger);
    EXPECT_EQ(updater.JobCount(), 1u);
}

TEST_F(AudioUpdater, ViewRequestCutsTheRunningComputeAndTheNextPassUsesIt) {
    StartHeld();
    updater.UpdateView(calculator, ViewOfLength(600));
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.computeCut == 1; }));
    Release();
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
    const auto lengths = probe.Read<std::vector<std::uint64_t>>([](const Probe& p) { return p.computeLengths; });
    EXPECT_EQ(lengths, (std::vector<std::uint64_t>{1000, 600}));
    EXPECT_EQ(Count(&Probe::renderStarted), 1);
}

TEST_F(AudioUpdater, RequestsForAnotherJobCutNothingAndOnlyTheLastViewIsApplied) {
    StartHeld();

    // Added during the pass: reached in the same pass, after the busy job.
    auto* otherCalc = new ProbeCalculator(&source.source, other);
    updater.AddJob(otherCalc, UI::Size{4, 4}, ViewOfLength(1000));
    updater.UpdateView(otherCalc, ViewOfLength(300));
    updater.UpdateView(otherCalc, ViewOfLength(200));
    Release();

    ASSERT_TRUE(other.WaitFor([](const Probe& p) { return p.renderDone >= 1; }));
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.renderDone >= 1; }));
    EXPECT_EQ(Count(&Probe::computeCut), 0);
    EXPECT_EQ(Count(&Probe::computeDone), 1);
    const auto lengths = other.Read<std::vector<std::uint64_t>>([](const Probe& p) { return p.computeLengths; });
    ASSERT_EQ(lengths.size(), 1u);
    EXPECT_EQ(lengths[0], 200u);
}

TEST_F(AudioUpdater, SettingsCutTheRunningStepAndAreAppliedAtEveryFetch) {
    StartHeld();
    // Nothing was applied before the first settings arrived.
    EXPECT_TRUE(probe.Read<bool>([](const Probe& p) { return p.settings.empty(); }));
    const std::uint8_t bytes[3] = {1, 2, 3};
    updater.UpdateSettings(calculator, 3, bytes);
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.computeCut == 1; }));
    Release();
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
    const auto applied = probe.Read<std::vector<std::vector<std::uint8_t>>>([](const Probe& p) { return p.settings; });
    // The recompute pass fetches twice (compute, render): the block goes in both times.
    ASSERT_GE(applied.size(), 2u);
    for (const auto& block : applied) EXPECT_EQ(block, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(AudioUpdater, ResizeDuringRenderHandsANewBufferAndSwapsItAtTheNextFetch) {
    StartHeld(true);
    UI::Image* second = updater.Resize(calculator, UI::Size{9, 3});
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, buffer);
    EXPECT_EQ(second->Width(), 9);
    EXPECT_EQ(second->Height(), 3);
    EXPECT_TRUE(AllTransparentBlack(*second));
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.renderCut == 1; }));
    Release();
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
    EXPECT_EQ(probe.Read<UI::Image*>([](const Probe& p) { return p.renderImages.back(); }), second);
    EXPECT_EQ(Count(&Probe::computeDone), 1);
}

TEST_F(AudioUpdater, RemovingTheRunningJobWaitsForItsStepThenDeletesTheCalculator) {
    StartHeld();
    updater.RemoveJob(calculator);
    EXPECT_TRUE(probe.deleted.load());
    EXPECT_FALSE(probe.Read<bool>([](const Probe& p) { return p.inCompute; }));
    EXPECT_EQ(Count(&Probe::computeCut), 1);
    EXPECT_EQ(updater.JobCount(), 0u);

    // The thread goes on serving new jobs.
    updater.AddJob(new ProbeCalculator(&source.source, other), UI::Size{2, 2}, ViewOfLength(10));
    EXPECT_TRUE(other.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
}

// Runs the body; when it is still blocked after two seconds, lets the held step end so
// that the test fails instead of hanging. Returns how long the body took.
std::chrono::steady_clock::duration TimeWithRescue(Probe& probe, const std::function<void()>& body) {
    std::atomic<bool> done{false};
    std::thread rescue([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!done.load() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!done.load()) probe.Set([](Probe& p) { p.holdCompute = false; });
    });
    const auto start = std::chrono::steady_clock::now();
    body();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    done.store(true);
    rescue.join();
    return elapsed;
}

TEST_F(AudioUpdater, ACancelLostBeforeTheStepClearsItNeitherStallsRemovalNorShutDown) {
    probe.loseCancels = 1;
    StartHeld();
    EXPECT_LT(TimeWithRescue(probe, [&] { updater.RemoveJob(calculator); }), std::chrono::milliseconds(1000));
    EXPECT_TRUE(probe.deleted.load());

    other.holdCompute = true;
    other.loseCancels = 1;
    auto owned = std::make_unique<UI::AudioUpdater>();
    owned->AddJob(new ProbeCalculator(&source.source, other), UI::Size{4, 4}, ViewOfLength(1000));
    ASSERT_TRUE(other.WaitFor([](const Probe& p) { return p.inCompute; }));
    EXPECT_LT(TimeWithRescue(other, [&] { owned.reset(); }), std::chrono::milliseconds(1000));
    EXPECT_EQ(other.Read<int>([](const Probe& p) { return p.computeCut; }), 1);
}

TEST_F(AudioUpdater, RemovalRacingTheEndOfAStepNeverHangs) {
    for (int round = 0; round < 200; ++round) {
        Probe racing;
        auto* job = new ProbeCalculator(&source.source, racing);
        updater.AddJob(job, UI::Size{3, 3}, ViewOfLength(1000 + round));
        if (round % 3 == 1) std::this_thread::yield();
        updater.RemoveJob(job);
        ASSERT_TRUE(racing.deleted.load());
    }
    EXPECT_EQ(updater.JobCount(), 0u);
}

TEST_F(AudioUpdater, AFailedComputeIsNotRetriedUntilAChangeOfViewSizeOrSettings) {
    probe.failCompute = 1;
    calculator = new ProbeCalculator(&source.source, probe);
    updater.AddJob(calculator, UI::Size{4, 4}, ViewOfLength(1000));
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.computeStarted == 1 && !p.inCompute; }));
    // A job behind it proves that a further pass went by without computing it again
    // (its render, still due, may run: what it draws of a failed compute is its own).
    updater.AddJob(new ProbeCalculator(&source.source, other), UI::Size{4, 4}, ViewOfLength(10));
    ASSERT_TRUE(other.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
    updater.Wake();
    other.Set([](Probe&) {});
    EXPECT_EQ(Count(&Probe::computeStarted), 1);
    // A new size alone makes only the render due; after a failed compute, the compute too.
    updater.Resize(calculator, UI::Size{5, 4});
    EXPECT_TRUE(probe.WaitFor([](const Probe& p) { return p.computeDone == 1 && p.renderDone >= 1; }));
}

TEST_F(AudioUpdater, InactiveCalculatorWaitsUntilActivatedAndWoken) {
    calculator = new ProbeCalculator(&source.source, probe);
    calculator->SetActive(false);
    updater.AddJob(calculator, UI::Size{4, 4}, ViewOfLength(1000));
    // A second job after it proves the pass went by.
    updater.AddJob(new ProbeCalculator(&source.source, other), UI::Size{4, 4}, ViewOfLength(10));
    ASSERT_TRUE(other.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
    EXPECT_EQ(Count(&Probe::computeStarted), 0);
    EXPECT_TRUE(calculator->NeedsCompute());
    calculator->SetActive(true);
    updater.Wake();
    EXPECT_TRUE(probe.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
}

TEST_F(AudioUpdater, DestructionWhileComputingCancelsAndEndsPromptly) {
    probe.holdCompute = true;
    auto owned = std::make_unique<UI::AudioUpdater>();
    owned->AddJob(new ProbeCalculator(&source.source, probe), UI::Size{4, 4}, ViewOfLength(1000));
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.inCompute; }));
    const auto start = std::chrono::steady_clock::now();
    owned.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_TRUE(probe.deleted.load());
    EXPECT_EQ(Count(&Probe::computeCut), 1);
}

}  // namespace
