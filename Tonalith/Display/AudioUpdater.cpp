#include <Tonalith/Display/AudioUpdater.h>

#include <Tonalith/Analysis/AudioCalculator.h>

#include <Primitives/Vec/Copy.h>
#include <QvBase/UI/Drawing/Image.h>

#include <algorithm>

namespace UI {

namespace {

using Locker = Platform::Kernel::LockGuard;

constexpr std::uint32_t kStopWaitMs = 3000;

}  // namespace

AudioUpdater::AudioUpdater()
    : Util::Thread("AudioUpdater"),
      m_wake("Audio Updater Wait Condition", true),
      m_lock("Audio Updater Critical Section") {
    Start();
}

AudioUpdater::~AudioUpdater() { Stop(); }

void AudioUpdater::Stop() {
    // The stop flag first: a fetch after the lock below finds it and runs nothing, and a
    // step fetched before is abandoned, which no step start can undo.
    m_stop.store(true);
    {
        Locker lock(m_lock);
        if (AudioCalculator* running = m_running.load()) running->Abandon();
    }
    m_wake.Set();
    // A thread is never terminated: Kill asks it to stop and waits until it has; its step
    // ends at its next progress report, and the jobs it works on must outlive it.
    if (!Join(kStopWaitMs)) Kill();
}

SharedPtr<Image> AudioUpdater::NewPixelBuffer(Size pixels) {
    SharedPtr<Image> image = Image::Create(pixels);
    if (!image || !image->Pixels()) return image;
    for (int y = 0; y < image->Height(); ++y)
        std::fill_n(image->Pixels() + std::size_t(y) * std::size_t(image->Stride()), image->Width(), 0xFF000000u);
    image->SetAlpha(true);
    return image;
}

AudioUpdater::Job* AudioUpdater::FindJob(AudioCalculator* calculator) {
    for (Job& job : m_jobs)
        if (job.calculator.Get() == calculator) return &job;
    return nullptr;
}

void AudioUpdater::CancelIfRunning(AudioCalculator* calculator) {
    if (m_running.load() == calculator) calculator->Cancel();
}

Image* AudioUpdater::AddJob(AudioCalculator* calculator, Size pixels, const AudioViewRequest& view) {
    Locker lock(m_lock);
    Job job;
    job.calculator = SharedPtr<AudioCalculator>(calculator);
    job.buffer = NewPixelBuffer(pixels);
    job.view = SharedPtr<AudioViewRequest>(new AudioViewRequest(view));
    m_jobs.push_back(job);
    calculator->SetNeedsCompute(true);
    calculator->SetNeedsRender(true);
    m_wake.Set();
    return m_jobs.back().buffer.Get();
}

void AudioUpdater::RemoveJob(AudioCalculator* calculator) {
    Locker lock(m_lock);
    auto it = std::find_if(
        m_jobs.begin(), m_jobs.end(), [calculator](const Job& job) { return job.calculator.Get() == calculator; });
    if (it == m_jobs.end()) return;
    // Abandoned, the step ends at its next progress report even if it has only just
    // started; holding the lock keeps the thread from fetching the job again meanwhile.
    if (m_running.load() == calculator) {
        calculator->Abandon();
        std::unique_lock<std::mutex> step(m_stepMutex);
        m_stepDone.wait(step, [this, calculator] { return m_running.load() != calculator; });
    }
    m_jobs.erase(it);
}

void AudioUpdater::UpdateSettings(AudioCalculator* calculator, std::uint32_t byteCount, const std::uint8_t* bytes) {
    Locker lock(m_lock);
    Job* job = FindJob(calculator);
    if (!job || (byteCount > 0 && !bytes)) return;
    CancelIfRunning(calculator);
    job->settings.resize(byteCount);
    if (byteCount > 0)
        Vec::CopyU8(std::int32_t(std::min<std::uint32_t>(byteCount, 0x7FFFFFFF)), bytes, job->settings.data());
    m_wake.Set();
}

void AudioUpdater::UpdateView(AudioCalculator* calculator, const AudioViewRequest& view) {
    Locker lock(m_lock);
    Job* job = FindJob(calculator);
    if (!job) return;
    CancelIfRunning(calculator);
    job->view = SharedPtr<AudioViewRequest>(new AudioViewRequest(view));
    m_wake.Set();
}

Image* AudioUpdater::Resize(AudioCalculator* calculator, Size pixels) {
    Locker lock(m_lock);
    Job* job = FindJob(calculator);
    if (!job) return nullptr;
    CancelIfRunning(calculator);
    job->pending = NewPixelBuffer(pixels);
    calculator->SetNeedsRender(true);
    m_wake.Set();
    return job->pending.Get();
}

void AudioUpdater::Wake() { m_wake.Set(); }

std::size_t AudioUpdater::JobCount() {
    Locker lock(m_lock);
    return m_jobs.size();
}

bool AudioUpdater::FetchJob(std::uint32_t index, AudioCalculator** calculator, Image** buffer) {
    Locker lock(m_lock);
    if (m_stop.load()) return false;
    Job* job = nullptr;
    if (*calculator)
        job = FindJob(*calculator);
    else if (index < m_jobs.size())
        job = &m_jobs[index];
    if (!job) return false;

    bool changed = job->pending.Get() != nullptr;
    if (job->pending) {
        job->buffer = job->pending;
        job->pending = SharedPtr<Image>();
    }
    AudioCalculator* calc = job->calculator.Get();
    bool recompute = false;
    bool rerender = false;
    calc->SyncView(*job->view, &recompute, &rerender);
    if (recompute) calc->SetNeedsCompute(true);
    if (recompute || rerender) calc->SetNeedsRender(true);
    changed = changed || recompute || rerender;
    if (!job->settings.empty()) {
        recompute = false;
        rerender = false;
        calc->ApplySettings(job->settings, &recompute, &rerender);
        if (recompute) calc->SetNeedsCompute(true);
        if (recompute || rerender) calc->SetNeedsRender(true);
        changed = changed || recompute || rerender;
    }
    // A failed compute is tried again with any change of view, size or settings, even one
    // that alone would only render: the display shows the failure until then.
    if (changed && calc->LastFailure(CalculatorStep::Compute).cause != StepFailureCause::None)
        calc->SetNeedsCompute(true);
    m_running.store(calc);
    *calculator = calc;
    *buffer = job->buffer.Get();
    return true;
}

void AudioUpdater::EndStep() {
    {
        std::lock_guard<std::mutex> step(m_stepMutex);
        m_running.store(nullptr);
    }
    m_stepDone.notify_all();
}

void AudioUpdater::Run() {
    while (!m_stop.load()) {
        m_wake.Wait();
        m_wake.Reset();
        for (std::uint32_t i = 0;; ++i) {
            if (m_stop.load()) return;
            AudioCalculator* calculator = nullptr;
            Image* buffer = nullptr;
            if (!FetchJob(i, &calculator, &buffer)) break;
            int result = calculator->DoCompute();
            EndStep();
            if (result == kStepCutShort || result == kStepFailed) break;
            if (m_stop.load()) return;
            if (!FetchJob(i, &calculator, &buffer)) break;
            result = calculator->DoRender(buffer);
            EndStep();
            if (result == kStepCutShort || result == kStepFailed) break;
        }
    }
}

}  // namespace UI
