#include <Tonalith/Analysis/AmpScale.h>
#include <Tonalith/Analysis/AudioCalculator.h>
#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/FreqScale.h>
#include <Tonalith/Analysis/TimeScale.h>

#include <QvBase/UI/Drawing/Image.h>
#include "support/WholeView.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

using UI::AudioCalculator;
using UI::AudioViewRequest;
using UI::SampleRange;

namespace {

// Scripted steps that record what they saw.
class ScriptedCalculator : public AudioCalculator {
public:
    using AudioCalculator::AudioCalculator;

    int computeResult = 0;
    int renderResult = 0;
    int computeCalls = 0;
    int renderCalls = 0;
    int seenWidth = 0, seenAmpHeight = 0, seenFreqHeight = 0;
    bool cancelledAtStart = false;
    std::function<int(ScriptedCalculator&)> computeScript;  // replaces computeResult when set

    bool Progress(float p) { return SetComputeProgress(p); }
    using AudioCalculator::Fail;
    bool RenderProgress(float p, std::uint32_t columns) { return SetRenderProgress(p, columns); }

protected:
    int Compute() override {
        ++computeCalls;
        cancelledAtStart = IsCancelled();
        return computeScript ? computeScript(*this) : computeResult;
    }
    int Render(UI::Image*) override {
        ++renderCalls;
        cancelledAtStart = IsCancelled();
        seenWidth = PrivateTimeScale().GetPixelWidth();
        seenAmpHeight = PrivateAmpScale().GetPixelHeight();
        seenFreqHeight = PrivateFreqScale().GetPixelHeight();
        return renderResult;
    }
};

AudioViewRequest StereoView() { return WholeView(2, 44100); }

struct Flags {
    bool compute = true;
    bool render = true;
    friend bool operator==(const Flags&, const Flags&) = default;
};

Flags Sync(AudioCalculator& calculator, const AudioViewRequest& view) {
    Flags flags;
    calculator.SyncView(view, &flags.compute, &flags.render);
    return flags;
}

constexpr Flags kNothing{false, false};
constexpr Flags kRenderOnly{false, true};
constexpr Flags kBoth{true, true};

}  // namespace

TEST(AudioCalculator, SyncViewSaysWhichStepEachChangeNeeds) {
    ScriptedCalculator calculator(static_cast<UI::AudioDisplaySource*>(nullptr));
    EXPECT_EQ(Sync(calculator, AudioViewRequest()), kNothing);  // a default request matches fresh scales
    AudioViewRequest view = StereoView();
    EXPECT_EQ(Sync(calculator, view), kBoth);
    EXPECT_EQ(Sync(calculator, view), kNothing);
    EXPECT_EQ(calculator.GetLength(), 44100u);
    EXPECT_EQ(calculator.GetVisibleRange(), SampleRange(0, 44100));
    EXPECT_EQ(calculator.FreqChannelBand(1).top, calculator.FreqChannelBand(0).bottom + 4);

    view.visible = SampleRange(100, 1000);
    EXPECT_EQ(Sync(calculator, view), kRenderOnly);
    view.ampVisible = {-0.5f, 0.5f};
    EXPECT_EQ(Sync(calculator, view), kRenderOnly);
    view.bMel = true;
    EXPECT_EQ(Sync(calculator, view), kRenderOnly);
    view.freqVisible = {0.0f, 8000.0f};
    EXPECT_EQ(Sync(calculator, view), kRenderOnly);
    EXPECT_EQ(Sync(calculator, view), kNothing);

    view.length = 48000;
    EXPECT_EQ(Sync(calculator, view), kBoth);
    // The new length emptied the range; the request's range came back in the same call.
    EXPECT_EQ(calculator.GetVisibleRange(), SampleRange(100, 1000));
    view.channels = 1;
    EXPECT_EQ(Sync(calculator, view), kBoth);
    view.ampFull = {-2.0f, 2.0f};
    EXPECT_EQ(Sync(calculator, view), kBoth);
    EXPECT_EQ(calculator.AmpToPixel(0, 0.75f, true).valid, false);  // visible amp range kept
    view.freqFull = {0.0f, 24000.0f};
    EXPECT_EQ(Sync(calculator, view), kBoth);
    EXPECT_EQ(calculator.PixelToFreq(1e6f), 8000.0f);  // visible freq range kept
    EXPECT_EQ(Sync(calculator, view), kNothing);

    // Floats compare exactly: a NaN in the request is a change every time.
    view.ampVisible.high = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(Sync(calculator, view), kRenderOnly);
    EXPECT_EQ(Sync(calculator, view), kRenderOnly);
}

TEST(AudioCalculator, BaseSettingsChangeNothing) {
    ScriptedCalculator calculator(static_cast<UI::AudioDisplaySource*>(nullptr));
    bool compute = true, render = true;
    calculator.ApplySettings({1, 2, 3}, &compute, &render);
    EXPECT_FALSE(compute);
    EXPECT_FALSE(render);
}

TEST(AudioCalculator, ComputeRunsOnlyWhenActiveDueAndNotEmpty) {
    ScriptedCalculator calculator(static_cast<UI::AudioDisplaySource*>(nullptr));
    calculator.SetNeedsCompute(true);
    // Inactive: nothing runs and the flag waits.
    EXPECT_EQ(calculator.DoCompute(), 0);
    EXPECT_TRUE(calculator.NeedsCompute());
    EXPECT_EQ(calculator.computeCalls, 0);

    // Length 0: the flag is spent without running the step.
    calculator.SetActive(true);
    EXPECT_EQ(calculator.DoCompute(), 0);
    EXPECT_FALSE(calculator.NeedsCompute());
    EXPECT_EQ(calculator.computeCalls, 0);

    Sync(calculator, StereoView());
    EXPECT_EQ(calculator.DoCompute(), 0);  // not due
    EXPECT_EQ(calculator.computeCalls, 0);

    calculator.SetNeedsCompute(true);
    calculator.Cancel();
    EXPECT_EQ(calculator.DoCompute(), 0);
    EXPECT_EQ(calculator.computeCalls, 1);
    EXPECT_FALSE(calculator.cancelledAtStart);  // cleared before the step
    EXPECT_FALSE(calculator.NeedsCompute());

    // Cut short: due again. Failed (any other value): not retried.
    calculator.computeResult = 1;
    calculator.SetNeedsCompute(true);
    EXPECT_EQ(calculator.DoCompute(), 1);
    EXPECT_TRUE(calculator.NeedsCompute());
    calculator.computeResult = 2;
    EXPECT_EQ(calculator.DoCompute(), 2);
    EXPECT_FALSE(calculator.NeedsCompute());
    calculator.computeResult = -7;
    calculator.SetNeedsCompute(true);
    EXPECT_EQ(calculator.DoCompute(), 2);
    EXPECT_FALSE(calculator.NeedsCompute());
}

TEST(AudioCalculator, RenderSizesTheScalesToTheImage) {
    ScriptedCalculator calculator(static_cast<UI::AudioDisplaySource*>(nullptr));
    SharedPtr<UI::Image> image = UI::Image::Create({320, 200});
    ASSERT_TRUE(image);
    calculator.SetActive(true);
    calculator.SetNeedsRender(true);
    // No visible range yet: the flag is spent, nothing runs.
    EXPECT_EQ(calculator.DoRender(image.Get()), 0);
    EXPECT_FALSE(calculator.NeedsRender());
    EXPECT_EQ(calculator.renderCalls, 0);

    Sync(calculator, StereoView());
    calculator.SetNeedsRender(true);
    EXPECT_EQ(calculator.DoRender(image.Get()), 0);
    EXPECT_EQ(calculator.renderCalls, 1);
    EXPECT_EQ(calculator.seenWidth, 320);
    EXPECT_EQ(calculator.seenAmpHeight, 200);
    EXPECT_EQ(calculator.seenFreqHeight, 200);

    calculator.renderResult = 1;
    calculator.SetNeedsRender(true);
    EXPECT_EQ(calculator.DoRender(image.Get()), 1);
    EXPECT_TRUE(calculator.NeedsRender());
    calculator.renderResult = 5;
    EXPECT_EQ(calculator.DoRender(image.Get()), 2);
    EXPECT_FALSE(calculator.NeedsRender());
}

TEST(AudioCalculator, RenderSkipsEmptyImagesAndRanges) {
    ScriptedCalculator calculator(static_cast<UI::AudioDisplaySource*>(nullptr));
    calculator.SetActive(true);
    AudioViewRequest view = StereoView();
    Sync(calculator, view);
    SharedPtr<UI::Image> empty = UI::Image::Create({0, 10});
    ASSERT_TRUE(empty);
    calculator.SetNeedsRender(true);
    EXPECT_EQ(calculator.DoRender(empty.Get()), 0);
    calculator.SetNeedsRender(true);
    EXPECT_EQ(calculator.DoRender(nullptr), 0);

    SharedPtr<UI::Image> image = UI::Image::Create({4, 4});
    view.visible = SampleRange::FromEnds(0, UINT64_MAX);
    Sync(calculator, view);
    calculator.SetNeedsRender(true);
    EXPECT_EQ(calculator.DoRender(image.Get()), 0);
    view.visible = SampleRange::FromEnds(10, 9);
    Sync(calculator, view);
    calculator.SetNeedsRender(true);
    EXPECT_EQ(calculator.DoRender(image.Get()), 0);
    calculator.SetNeedsRender(true);
    calculator.SetActive(false);
    EXPECT_EQ(calculator.DoRender(image.Get()), 0);
    EXPECT_TRUE(calculator.NeedsRender());
    EXPECT_EQ(calculator.renderCalls, 0);
}

TEST(AudioCalculator, ProgressReportsTheCancel) {
    ScriptedCalculator calculator(static_cast<UI::AudioDisplaySource*>(nullptr));
    EXPECT_TRUE(calculator.Progress(12.5f));
    EXPECT_EQ(calculator.GetComputeProgress(), 12.5f);
    EXPECT_TRUE(calculator.RenderProgress(40.0f, 17));
    EXPECT_EQ(calculator.GetRenderProgress(), 40.0f);
    EXPECT_EQ(calculator.GetRenderedColumns(), 17u);
    calculator.Cancel();
    EXPECT_FALSE(calculator.Progress(13.0f));
    EXPECT_EQ(calculator.GetComputeProgress(), 13.0f);
    EXPECT_FALSE(calculator.RenderProgress(50.0f, 20));
}

TEST(AudioCalculator, SharesTheSourcesOwnership) {
    std::vector<float> samples(8, 0.0f);
    const float* table[1] = {samples.data()};
    SharedPtr<UI::AudioDisplaySource> source(new UI::AudioDisplayMemorySource("S", 8000, 1, 8, table));
    {
        ScriptedCalculator calculator(source);
        EXPECT_EQ(source.UseCount(), 2);
        EXPECT_EQ(calculator.GetSource(), source.Get());
    }
    EXPECT_EQ(source.UseCount(), 1);
}

TEST(AudioCalculator, AFailedStepKeepsItsReasonUntilItRunsAgain) {
    using Cause = UI::StepFailureCause;
    struct Case {
        std::function<int(ScriptedCalculator&)> script;
        int result;
        Cause cause;
        const char* detail;
    };
    const Case cases[] = {
        {[](ScriptedCalculator&) -> int { throw std::bad_alloc(); }, UI::kStepFailed, Cause::OutOfMemory,
            "compute step: out of memory"},
        {[](ScriptedCalculator&) -> int { throw std::runtime_error("disk gone"); }, UI::kStepFailed, Cause::Error,
            "compute step: disk gone"},
        {[](ScriptedCalculator& c) { return c.Fail(Cause::SourceRefused, "frames 5..9"); }, UI::kStepFailed,
            Cause::SourceRefused, "frames 5..9"},
        {[](ScriptedCalculator&) { return 7; }, UI::kStepFailed, Cause::Error, "compute step failed"},
        {[](ScriptedCalculator&) { return int(UI::kStepCutShort); }, UI::kStepCutShort, Cause::None, ""},
    };
    for (const Case& c : cases) {
        ScriptedCalculator calculator(static_cast<UI::AudioDisplaySource*>(nullptr));
        Sync(calculator, StereoView());
        calculator.SetActive(true);
        calculator.SetNeedsCompute(true);
        calculator.computeScript = c.script;
        EXPECT_EQ(calculator.DoCompute(), c.result) << c.detail;
        const UI::StepFailure failure = calculator.LastFailure(UI::CalculatorStep::Compute);
        EXPECT_EQ(failure.cause, c.cause) << c.detail;
        EXPECT_EQ(failure.detail, c.detail);
        EXPECT_EQ(calculator.LastFailure(UI::CalculatorStep::Render).cause, Cause::None);
        // The next run that gets that far forgets it.
        calculator.computeScript = nullptr;
        calculator.SetNeedsCompute(true);
        EXPECT_EQ(calculator.DoCompute(), UI::kStepFinished);
        EXPECT_EQ(calculator.LastFailure(UI::CalculatorStep::Compute).cause, Cause::None);
    }
}

TEST(AudioCalculator, AnAbandonedCalculatorStaysCancelledThroughEveryStepStart) {
    ScriptedCalculator calculator(static_cast<UI::AudioDisplaySource*>(nullptr));
    Sync(calculator, StereoView());
    calculator.SetActive(true);
    calculator.Abandon();
    calculator.computeScript = [](ScriptedCalculator& c) {
        return c.Progress(10.0f) ? int(UI::kStepFinished) : int(UI::kStepCutShort);
    };
    for (int round = 0; round < 2; ++round) {
        calculator.SetNeedsCompute(true);
        EXPECT_EQ(calculator.DoCompute(), UI::kStepCutShort);
        EXPECT_TRUE(calculator.cancelledAtStart);
    }
}
