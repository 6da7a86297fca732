#pragma once
// A calculator whose steps the test can hold and watch, for the updater's thread tests.
#include <Tonalith/Analysis/AudioCalculator.h>
#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/TimeScale.h>

#include "support/WholeView.h"

#include <QvBase/UI/Drawing/Image.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace updater_test {

struct Probe {
    std::mutex mutex;
    std::condition_variable changed;
    bool holdCompute = false;
    bool holdRender = false;
    int failCompute = 0;  // this many computes fail
    // This many cancels a held compute loses, as one does that lands after the fetch but
    // before the step clears the flag.
    int loseCancels = 0;
    int computeStarted = 0, computeDone = 0, computeCut = 0;
    int renderStarted = 0, renderDone = 0, renderCut = 0;
    bool inCompute = false, inRender = false;
    std::vector<std::uint64_t> computeLengths;  // the view length each compute saw
    std::vector<std::vector<std::uint8_t>> settings;
    std::vector<UI::Image*> renderImages;
    std::atomic<bool> deleted{false};

    void Set(const std::function<void(Probe&)>& change) {
        std::lock_guard lock(mutex);
        change(*this);
        changed.notify_all();
    }
    // true once the condition holds; false after five seconds.
    bool WaitFor(const std::function<bool(const Probe&)>& condition) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5), [&] { return condition(*this); });
    }
    template <class T>
    T Read(const std::function<T(const Probe&)>& read) {
        std::lock_guard lock(mutex);
        return read(*this);
    }
};

class ProbeCalculator : public UI::AudioCalculator {
public:
    ProbeCalculator(UI::AudioDisplaySource* source, Probe& probe) : AudioCalculator(source), m_probe(probe) {
        SetActive(true);
    }
    ~ProbeCalculator() override { m_probe.deleted.store(true); }

    void ApplySettings(const std::vector<std::uint8_t>& settings, bool* recompute, bool* rerender) override {
        std::lock_guard lock(m_probe.mutex);
        *recompute = m_probe.settings.empty() || m_probe.settings.back() != settings;
        *rerender = false;
        m_probe.settings.push_back(settings);
    }

protected:
    int Compute() override {
        std::unique_lock lock(m_probe.mutex);
        ++m_probe.computeStarted;
        m_probe.computeLengths.push_back(GetLength());
        m_probe.inCompute = true;
        m_probe.changed.notify_all();
        int result = UI::kStepFinished;
        while (m_probe.holdCompute && result == UI::kStepFinished) {
            m_probe.changed.wait_for(lock, std::chrono::milliseconds(1));
            if (!SetComputeProgress(50.0f)) {
                if (m_probe.loseCancels > 0) {
                    --m_probe.loseCancels;
                    ClearCancel();
                } else {
                    result = UI::kStepCutShort;
                }
            }
        }
        if (result == UI::kStepFinished && m_probe.failCompute > 0) {
            --m_probe.failCompute;
            result = UI::kStepFailed;
        }
        if (result == UI::kStepFinished) {
            SetComputeProgress(100.0f);
            ++m_probe.computeDone;
        } else if (result == UI::kStepCutShort) {
            ++m_probe.computeCut;
        }
        m_probe.inCompute = false;
        m_probe.changed.notify_all();
        return result;
    }

    int Render(UI::Image* image) override {
        std::unique_lock lock(m_probe.mutex);
        ++m_probe.renderStarted;
        m_probe.renderImages.push_back(image);
        m_probe.inRender = true;
        m_probe.changed.notify_all();
        int result = UI::kStepFinished;
        while (m_probe.holdRender && result == UI::kStepFinished) {
            m_probe.changed.wait_for(lock, std::chrono::milliseconds(1));
            if (!SetRenderProgress(50.0f, 0)) result = UI::kStepCutShort;
        }
        if (result == UI::kStepFinished) {
            image->Pixels()[0] = 0x00123456;
            SetRenderProgress(100.0f, std::uint32_t(image->Width()));
            ++m_probe.renderDone;
        } else {
            ++m_probe.renderCut;
        }
        m_probe.inRender = false;
        m_probe.changed.notify_all();
        return result;
    }

private:
    // A render step with work clears the cancel flag first; with no image it ends there.
    void ClearCancel() {
        const bool renderDue = NeedsRender();
        SetNeedsRender(true);
        DoRender(nullptr);
        SetNeedsRender(renderDue);
    }

    Probe& m_probe;
};

// One second of a mono signal.
struct ProbeSource {
    std::vector<float> samples = std::vector<float>(1000, 0.25f);
    const float* table[1] = {samples.data()};
    UI::AudioDisplayMemorySource source{"Probe", 1000, 1, 1000, table};
};

inline UI::AudioViewRequest ViewOfLength(std::uint64_t length) { return WholeView(1, length, 500.0f); }

}  // namespace updater_test
