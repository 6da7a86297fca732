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

TEST(AudioUpdater, AddedJobIsComputedThenRenderedIntoItsFreshBuffer) {
    ProbeSource source;
    Probe probe;
    probe.holdCompute = true;
    UI::AudioUpdater updater;
    auto* calculator = new ProbeCalculator(&source.source, probe);
    UI::Image* buffer = updater.AddJob(calculator, UI::Size{7, 5}, ViewOfLength(1000));
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->Width(), 7);
    EXPECT_EQ(buffer->Height(), 5);
    EXPECT_TRUE(buffer->HasAlpha());
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.inCompute; }));
    EXPECT_TRUE(AllTransparentBlack(*buffer));
    probe.Set([](Probe& p) { p.holdCompute = false; });
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

TEST(AudioUpdater, ViewRequestCutsTheRunningComputeAndTheNextPassUsesIt) {
    ProbeSource source;
    Probe probe;
    probe.holdCompute = true;
    UI::AudioUpdater updater;
    auto* calculator = new ProbeCalculator(&source.source, probe);
    updater.AddJob(calculator, UI::Size{4, 4}, ViewOfLength(1000));
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.inCompute; }));
    updater.UpdateView(calculator, ViewOfLength(600));
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.computeCut == 1; }));
    probe.Set([](Probe& p) { p.holdCompute = false; });
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
    const auto lengths = probe.Read<std::vector<std::uint64_t>>([](const Probe& p) { return p.computeLengths; });
    EXPECT_EQ(lengths, (std::vector<std::uint64_t>{1000, 600}));
    EXPECT_EQ(probe.Read<int>([](const Probe& p) { return p.renderStarted; }), 1);
}

TEST(AudioUpdater, RequestsForAnotherJobCutNothingAndOnlyTheLastViewIsApplied) {
    ProbeSource source;
    Probe busy;
    Probe other;
    busy.holdCompute = true;
    UI::AudioUpdater updater;
    auto* busyCalc = new ProbeCalculator(&source.source, busy);
    updater.AddJob(busyCalc, UI::Size{4, 4}, ViewOfLength(1000));
    ASSERT_TRUE(busy.WaitFor([](const Probe& p) { return p.inCompute; }));

    // Added during the pass: reached in the same pass, after the busy job.
    auto* otherCalc = new ProbeCalculator(&source.source, other);
    updater.AddJob(otherCalc, UI::Size{4, 4}, ViewOfLength(1000));
    updater.UpdateView(otherCalc, ViewOfLength(300));
    updater.UpdateView(otherCalc, ViewOfLength(200));
    busy.Set([](Probe& p) { p.holdCompute = false; });

    ASSERT_TRUE(other.WaitFor([](const Probe& p) { return p.renderDone >= 1; }));
    ASSERT_TRUE(busy.WaitFor([](const Probe& p) { return p.renderDone >= 1; }));
    EXPECT_EQ(busy.Read<int>([](const Probe& p) { return p.computeCut; }), 0);
    EXPECT_EQ(busy.Read<int>([](const Probe& p) { return p.computeDone; }), 1);
    const auto lengths = other.Read<std::vector<std::uint64_t>>([](const Probe& p) { return p.computeLengths; });
    ASSERT_EQ(lengths.size(), 1u);
    EXPECT_EQ(lengths[0], 200u);
}

TEST(AudioUpdater, SettingsCutTheRunningStepAndAreAppliedAtEveryFetch) {
    ProbeSource source;
    Probe probe;
    probe.holdCompute = true;
    UI::AudioUpdater updater;
    auto* calculator = new ProbeCalculator(&source.source, probe);
    updater.AddJob(calculator, UI::Size{4, 4}, ViewOfLength(1000));
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.inCompute; }));
    // Nothing was applied before the first settings arrived.
    EXPECT_TRUE(probe.Read<bool>([](const Probe& p) { return p.settings.empty(); }));
    const std::uint8_t bytes[3] = {1, 2, 3};
    updater.UpdateSettings(calculator, 3, bytes);
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.computeCut == 1; }));
    probe.Set([](Probe& p) { p.holdCompute = false; });
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
    const auto applied = probe.Read<std::vector<std::vector<std::uint8_t>>>([](const Probe& p) { return p.settings; });
    // The recompute pass fetches twice (compute, render): the block goes in both times.
    ASSERT_GE(applied.size(), 2u);
    for (const auto& block : applied) EXPECT_EQ(block, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(AudioUpdater, ResizeDuringRenderHandsANewBufferAndSwapsItAtTheNextFetch) {
    ProbeSource source;
    Probe probe;
    probe.holdRender = true;
    UI::AudioUpdater updater;
    auto* calculator = new ProbeCalculator(&source.source, probe);
    UI::Image* first = updater.AddJob(calculator, UI::Size{4, 4}, ViewOfLength(1000));
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.inRender; }));
    UI::Image* second = updater.Resize(calculator, UI::Size{9, 3});
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->Width(), 9);
    EXPECT_EQ(second->Height(), 3);
    EXPECT_TRUE(AllTransparentBlack(*second));
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.renderCut == 1; }));
    probe.Set([](Probe& p) { p.holdRender = false; });
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
    EXPECT_EQ(probe.Read<UI::Image*>([](const Probe& p) { return p.renderImages.back(); }), second);
    EXPECT_EQ(probe.Read<int>([](const Probe& p) { return p.computeDone; }), 1);
}

TEST(AudioUpdater, RemovingTheRunningJobWaitsForItsStepThenDeletesTheCalculator) {
    ProbeSource source;
    Probe probe;
    probe.holdCompute = true;
    UI::AudioUpdater updater;
    auto* calculator = new ProbeCalculator(&source.source, probe);
    updater.AddJob(calculator, UI::Size{4, 4}, ViewOfLength(1000));
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.inCompute; }));
    updater.RemoveJob(calculator);
    EXPECT_TRUE(probe.deleted.load());
    EXPECT_FALSE(probe.Read<bool>([](const Probe& p) { return p.inCompute; }));
    EXPECT_EQ(probe.Read<int>([](const Probe& p) { return p.computeCut; }), 1);
    EXPECT_EQ(updater.JobCount(), 0u);

    // The thread goes on serving new jobs.
    Probe next;
    updater.AddJob(new ProbeCalculator(&source.source, next), UI::Size{2, 2}, ViewOfLength(10));
    EXPECT_TRUE(next.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
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

TEST(AudioUpdater, ACancelLostBeforeTheStepClearsItNeitherStallsRemovalNorShutDown) {
    ProbeSource source;
    {
        Probe probe;
        probe.holdCompute = true;
        probe.loseCancels = 1;
        UI::AudioUpdater updater;
        auto* calculator = new ProbeCalculator(&source.source, probe);
        updater.AddJob(calculator, UI::Size{4, 4}, ViewOfLength(1000));
        ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.inCompute; }));
        const auto elapsed = TimeWithRescue(probe, [&] { updater.RemoveJob(calculator); });
        EXPECT_LT(elapsed, std::chrono::milliseconds(1000));
        EXPECT_TRUE(probe.deleted.load());
    }
    {
        Probe probe;
        probe.holdCompute = true;
        probe.loseCancels = 1;
        auto updater = std::make_unique<UI::AudioUpdater>();
        updater->AddJob(new ProbeCalculator(&source.source, probe), UI::Size{4, 4}, ViewOfLength(1000));
        ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.inCompute; }));
        const auto elapsed = TimeWithRescue(probe, [&] { updater.reset(); });
        EXPECT_LT(elapsed, std::chrono::milliseconds(1000));
        EXPECT_EQ(probe.Read<int>([](const Probe& p) { return p.computeCut; }), 1);
    }
}

TEST(AudioUpdater, RemovalRacingTheEndOfAStepNeverHangs) {
    ProbeSource source;
    UI::AudioUpdater updater;
    for (int round = 0; round < 200; ++round) {
        Probe probe;
        auto* calculator = new ProbeCalculator(&source.source, probe);
        updater.AddJob(calculator, UI::Size{3, 3}, ViewOfLength(1000 + round));
        if (round % 3 == 1) std::this_thread::yield();
        updater.RemoveJob(calculator);
        ASSERT_TRUE(probe.deleted.load());
    }
    EXPECT_EQ(updater.JobCount(), 0u);
}

TEST(AudioUpdater, AFailedComputeIsNotRetriedUntilAChangeOfViewSizeOrSettings) {
    ProbeSource source;
    Probe probe;
    probe.failCompute = 1;
    UI::AudioUpdater updater;
    auto* calculator = new ProbeCalculator(&source.source, probe);
    updater.AddJob(calculator, UI::Size{4, 4}, ViewOfLength(1000));
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.computeStarted == 1 && !p.inCompute; }));
    // A job behind it proves that a further pass went by without computing it again
    // (its render, still due, may run: what it draws of a failed compute is its own).
    Probe witness;
    updater.AddJob(new ProbeCalculator(&source.source, witness), UI::Size{4, 4}, ViewOfLength(10));
    ASSERT_TRUE(witness.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
    updater.Wake();
    witness.Set([](Probe&) {});
    EXPECT_EQ(probe.Read<int>([](const Probe& p) { return p.computeStarted; }), 1);
    // A new size alone makes only the render due; after a failed compute, the compute too.
    updater.Resize(calculator, UI::Size{5, 4});
    EXPECT_TRUE(probe.WaitFor([](const Probe& p) { return p.computeDone == 1 && p.renderDone >= 1; }));
}

TEST(AudioUpdater, InactiveCalculatorWaitsUntilActivatedAndWoken) {
    ProbeSource source;
    Probe probe;
    UI::AudioUpdater updater;
    auto* calculator = new ProbeCalculator(&source.source, probe);
    calculator->SetActive(false);
    updater.AddJob(calculator, UI::Size{4, 4}, ViewOfLength(1000));
    // A second job after it proves the pass went by.
    Probe witness;
    updater.AddJob(new ProbeCalculator(&source.source, witness), UI::Size{4, 4}, ViewOfLength(10));
    ASSERT_TRUE(witness.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
    EXPECT_EQ(probe.Read<int>([](const Probe& p) { return p.computeStarted; }), 0);
    EXPECT_TRUE(calculator->NeedsCompute());
    calculator->SetActive(true);
    updater.Wake();
    EXPECT_TRUE(probe.WaitFor([](const Probe& p) { return p.renderDone == 1; }));
}

TEST(AudioUpdater, DestructionWhileComputingCancelsAndEndsPromptly) {
    ProbeSource source;
    Probe probe;
    probe.holdCompute = true;
    auto updater = std::make_unique<UI::AudioUpdater>();
    updater->AddJob(new ProbeCalculator(&source.source, probe), UI::Size{4, 4}, ViewOfLength(1000));
    ASSERT_TRUE(probe.WaitFor([](const Probe& p) { return p.inCompute; }));
    const auto start = std::chrono::steady_clock::now();
    updater.reset();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::milliseconds(1000));
    EXPECT_TRUE(probe.deleted.load());
    EXPECT_EQ(probe.Read<int>([](const Probe& p) { return p.computeCut; }), 1);
}

}  // namespace
