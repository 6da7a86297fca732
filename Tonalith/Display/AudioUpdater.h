#pragma once
#include <Tonalith/Analysis/AudioViewRequest.h>

#include <QvBase/UI/Drawing/Geometry.h>
#include <QvBase/Util/CriticalSection.h>
#include <QvBase/Util/Event.h>
#include <QvBase/Util/SharedPtr.h>
#include <QvBase/Util/Thread.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace UI {

class AudioCalculator;
class Image;

// The one background thread that runs the calculators of every display. A display hands
// it a calculator (which the job then owns), a pixel size and a view; the thread computes
// and renders into the job's image, which the display paints on its own timer. Requests
// come from the UI thread and cut short the step of the calculator they concern.
class AudioUpdater : public Util::Thread {
public:
    AudioUpdater();
    // Cancels the running step, stops the thread and waits for it before the jobs go.
    ~AudioUpdater() override;

    // The returned image belongs to the job; it stays valid until the job's buffer is
    // replaced or the job removed. Null when no image of that size can be made.
    Image* AddJob(AudioCalculator* calculator, Size pixels, const AudioViewRequest& view);
    // Returns once the calculator's running step (if any) has ended; deletes the calculator.
    void RemoveJob(AudioCalculator* calculator);
    void UpdateSettings(AudioCalculator* calculator, std::uint32_t byteCount, const std::uint8_t* bytes);
    void UpdateView(AudioCalculator* calculator, const AudioViewRequest& view);
    // The image of the new size that replaces the job's buffer at its next fetch; null
    // when the calculator has no job (or no image can be made).
    Image* Resize(AudioCalculator* calculator, Size pixels);
    void Wake();

    std::size_t JobCount();

protected:
    void Run() override;

private:
    struct Job {
        SharedPtr<AudioCalculator> calculator;
        SharedPtr<Image> buffer;
        SharedPtr<Image> pending;
        SharedPtr<AudioViewRequest> view;
        std::vector<std::uint8_t> settings;
    };

    bool FetchJob(std::uint32_t index, AudioCalculator** calculator, Image** buffer);
    void EndStep();
    void Stop();
    Job* FindJob(AudioCalculator* calculator);
    void CancelIfRunning(AudioCalculator* calculator);
    static SharedPtr<Image> NewPixelBuffer(Size pixels);

    std::atomic<bool> m_stop{false};
    Util::Event m_wake;
    // Signalled, with the running calculator cleared under its mutex, after every step.
    std::mutex m_stepMutex;
    std::condition_variable m_stepDone;
    Util::CriticalSection m_lock;
    std::vector<Job> m_jobs;
    std::atomic<AudioCalculator*> m_running{nullptr};
};

}  // namespace UI
