#include <Tonalith/Analysis/Spectrogram/SpectrogramAnalysis.h>

#include <Tonalith/Analysis/Spectrogram/SpectrogramMemory.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>

namespace UI {
namespace {

// What every thread of a step holds whatever it analyses: its stack and its allocator's
// arena (measured: below 180 kilobytes).
constexpr std::uint64_t kThreadBytes = 256 << 10;

// Columns a thread of "STFT" or "Multires. STFT" analyses at a time.
std::uint64_t SharedRunLength(const SpectrogramLayout& layout, std::uint64_t columns) {
    return std::min(SpectrogramColumns::RunLength(layout), columns);
}

}  // namespace

std::uint64_t SpectrogramAnalysis::RequiredBytes(
    const SpectrogramLayout& layout, std::uint32_t channels, std::uint64_t length, std::uint32_t threads) {
    const std::uint64_t columns = layout.Columns(length);
    threads = std::max<std::uint32_t>(threads, 1);
    // The spectra, and what every thread holds.
    std::uint64_t bytes = BytesMulAdd(BytesMulAdd(columns, std::uint64_t(layout.bins)), channels);
    bytes = BytesMulAdd(threads, kThreadBytes, bytes);
    const std::uint64_t transform = SpectrogramColumns::TransformBytes(layout);
    if (layout.type == SpectrogramMdlStft) {
        // One reader for a run's frames, the state, and the threads that transform and weigh
        // the run's frames.
        const std::uint64_t run = SpectrogramMdl::RunFrames(layout, channels, layout.AnalysedFrames(length));
        bytes = BytesMulAdd(1, SpectrogramColumns::FrameBytes(layout, channels, run), bytes);
        bytes = BytesMulAdd(1, SpectrogramMdl::StateBytes(layout, channels, length), bytes);
        const std::uint64_t perThread = BytesMulAdd(1, transform, SpectrogramMdl::ThreadBytes(layout));
        return BytesMulAdd(SpectrogramMdl::FrameWorkers(run, channels, threads), perThread, bytes);
    }
    // Each thread that analyses a run: its frames, and its transforms; "STFT" shares a byte table.
    if (layout.type == SpectrogramStft) bytes = BytesMulAdd(1, SpectrogramByteTable::MostBytes(), bytes);
    const std::uint64_t run = SharedRunLength(layout, columns);
    const std::uint64_t runs = run == 0 ? 0 : columns / run + (columns % run != 0 ? 1u : 0u);
    const std::uint64_t perThread = BytesMulAdd(1, SpectrogramColumns::FrameBytes(layout, channels, run), transform);
    return BytesMulAdd(std::min<std::uint64_t>(threads, runs), perThread, bytes);
}

int SpectrogramAnalysis::Fail(StepFailureCause cause, std::string detail) {
    m_failure = {cause, "spectrogram analysis: " + std::move(detail)};
    return kStepFailed;
}

int SpectrogramAnalysis::Run(const SpectrogramAnalysisInput& given, const SpectrogramFrameReader& read,
    const SpectrogramComputeProgress& progress, SpectrogramSpectra& spectra, std::int32_t& lastColumn) {
    m_failure = {};
    // Every check of the step goes through one latch, so that its threads and stages agree.
    StopLatch stop(given.cancelled);
    SpectrogramAnalysisInput input = given;
    input.cancelled = [&stop] { return stop(); };
    int result = kStepFailed;
    try {
        result = RunColumns(input, read, progress, spectra, lastColumn);
    } catch (const std::bad_alloc&) {
        result = Fail(StepFailureCause::OutOfMemory, "out of memory for the spectra or buffers");
    } catch (const std::length_error& e) {
        result = Fail(StepFailureCause::OutOfMemory, std::string("a buffer too long: ") + e.what());
    }
    if (result != kStepFinished) spectra = {};
    return result;
}

int SpectrogramAnalysis::RunColumns(const SpectrogramAnalysisInput& input, const SpectrogramFrameReader& read,
    const SpectrogramComputeProgress& progress, SpectrogramSpectra& spectra, std::int32_t& lastColumn) {
    const SpectrogramLayout& layout = input.layout;
    spectra = {};
    const std::uint64_t columns = layout.Columns(input.length);
    if (columns == 0 || input.channels == 0) return Fail(StepFailureCause::Unusable, "no columns or no channels");
    if (input.windows == nullptr || (*input.windows)[kShortestFrame].size() != std::size_t(layout.n))
        return Fail(StepFailureCause::Unusable, "no analysis windows of this size");
    if (input.fft == nullptr || !input.fft->IsValid() || input.fft->Order() != std::uint32_t(layout.fftOrder))
        return Fail(StepFailureCause::Unusable, "no FFT of order " + std::to_string(layout.fftOrder));
    if (!(input.sampleRate > 0.0f)) return Fail(StepFailureCause::Unusable, "no sample rate");
    const std::uint32_t threads = std::max<std::uint32_t>(input.threads, 1);
    const std::uint64_t required = RequiredBytes(layout, input.channels, input.length, threads);
    if (required > input.memoryBudget)
        return Fail(StepFailureCause::OutOfMemory,
            "needs " + std::to_string(required) + " bytes, " + std::to_string(input.memoryBudget) + " available");

    spectra.resize(input.channels);
    const std::size_t size = std::size_t(columns * std::uint64_t(layout.bins));
    // Zeros the system hands out untouched; the analysis writes every byte.
    for (auto& spectrum : spectra) spectrum.resize(size);
    // One group of threads for every stage of the step.
    WorkerGroup workers(threads);
    if (layout.type == SpectrogramMdlStft) return RunMdl(input, read, progress, spectra, lastColumn, workers);
    const int result = RunShared(input, read, progress, spectra, workers);
    if (result == kStepFinished)
        lastColumn = static_cast<std::int32_t>(std::min<std::uint64_t>(columns - 1, 0x7FFFFFFF));
    return result;
}

int SpectrogramAnalysis::RunShared(const SpectrogramAnalysisInput& given, const SpectrogramFrameReader& read,
    const SpectrogramComputeProgress& progress, SpectrogramSpectra& spectra, WorkerGroup& workers) {
    SpectrogramAnalysisInput input = given;
    const SpectrogramLayout& layout = input.layout;
    std::unique_ptr<SpectrogramByteTable> bytes;
    if (layout.type == SpectrogramStft && input.bytes == nullptr) {
        bytes = std::make_unique<SpectrogramByteTable>(input.levels, input.levels.RawOffset(layout.n));
        input.bytes = bytes.get();
    }
    const std::uint64_t columns = layout.Columns(input.length);
    const std::uint64_t bins = std::uint64_t(layout.bins);
    const std::uint64_t run = SharedRunLength(layout, columns);
    const std::uint64_t runs = (columns + run - 1) / run;
    const std::uint32_t threads = workers.Size();

    std::atomic<std::uint64_t> done{0};
    std::atomic<bool> failed{false};
    std::mutex lock;  // the source's position, and the first failure
    StepFailure failure;
    const SpectrogramFrameReader lockedRead = [&](std::uint64_t first, std::uint32_t count, float** dst) {
        std::lock_guard<std::mutex> guard(lock);
        return read(first, count, dst);
    };
    std::vector<std::unique_ptr<SpectrogramColumns>> buffers(threads);  // per thread

    const auto analyse = [&](std::uint64_t index, std::uint32_t worker) {
        if (failed.load() || input.Cancelled()) return;
        if (!buffers[worker]) buffers[worker] = std::make_unique<SpectrogramColumns>(input, run);
        SpectrogramColumns& columnsOfRun = *buffers[worker];
        const std::uint64_t first = index * run;
        const std::uint64_t count = std::min(run, columns - first);
        if (!columnsOfRun.Read(lockedRead, first, count)) {
            std::lock_guard<std::mutex> guard(lock);
            if (failure.cause == StepFailureCause::None)
                failure = {StepFailureCause::SourceRefused,
                    "the source refused the frames of columns " + std::to_string(first) + " to " +
                        std::to_string(first + count - 1)};
            failed.store(true);
            return;
        }
        for (std::uint64_t k = first; k < first + count; ++k) {
            for (std::uint32_t c = 0; c < input.channels; ++c) {
                if (input.Cancelled()) return;
                std::uint8_t* out = spectra[c].data() + k * bins;
                if (layout.type == SpectrogramStft)
                    columnsOfRun.Stft(columnsOfRun.Frame(c, k), out);
                else if (!columnsOfRun.Multires(columnsOfRun.Frame(c, k), out))
                    return;
            }
        }
        done.fetch_add(count);
    };
    const auto proceed = [&] { return !failed.load() && progress(float(done.load()) / float(columns) * 100.0f); };
    const bool finished = workers.Run(runs, analyse, proceed);
    if (failure.cause != StepFailureCause::None) return Fail(failure.cause, failure.detail);
    return finished && !input.Cancelled() ? kStepFinished : kStepCutShort;
}

int SpectrogramAnalysis::RunMdl(const SpectrogramAnalysisInput& input, const SpectrogramFrameReader& read,
    const SpectrogramComputeProgress& progress, SpectrogramSpectra& spectra, std::int32_t& lastColumn,
    WorkerGroup& workers) {
    const SpectrogramLayout& layout = input.layout;
    const std::uint64_t total = layout.AnalysedFrames(input.length);
    const std::uint64_t run = SpectrogramMdl::RunFrames(layout, input.channels, total);
    const std::uint32_t threads = workers.Size();
    const std::uint32_t transformers = SpectrogramMdl::FrameWorkers(run, input.channels, threads);
    m_mdl.Prepare(m_transience, layout, input.channels, input.sampleRate, input.length);
    SpectrogramColumns reader(input, run, false);
    std::vector<std::unique_ptr<SpectrogramColumns>> buffers(threads);  // per thread
    std::vector<std::vector<std::uint32_t>> sortScratch(threads);
    for (std::uint64_t first = 0; first < total; first += run) {
        if (!progress(float(first) / float(total) * 100.0f)) return kStepCutShort;
        const std::uint64_t count = std::min(run, total - first);
        if (!reader.Read(read, first, count))
            return Fail(StepFailureCause::SourceRefused,
                "the source refused the frames of columns " + std::to_string(first) + " to " +
                    std::to_string(first + count - 1));
        // Every frame's four spectra, sorted by band, the frames dealt out round the threads.
        workers.Run(
            count * input.channels,
            [&](std::uint64_t i, std::uint32_t worker) {
                if (input.Cancelled()) return;
                if (!buffers[worker]) buffers[worker] = std::make_unique<SpectrogramColumns>(input, 0);
                const std::uint64_t k = first + i / input.channels;
                const std::uint32_t c = std::uint32_t(i % input.channels);
                float* rows[kFrameLengths];
                for (int r = 0; r < kFrameLengths; ++r) rows[r] = m_mdl.Row(c, r, k);
                buffers[worker]->PowerRows(reader.Frame(c, k), rows);
                m_mdl.SortRows(c, k, sortScratch[worker]);
            },
            nullptr, transformers);
        // A run is long work: a cancel inside it leaves the state half made, which the
        // next step rebuilds anyway.
        if (input.Cancelled() || !m_mdl.FinishRun(first, count, workers, input.levels, spectra, input.cancelled))
            return kStepCutShort;
        const std::uint64_t end = first + count;
        const std::uint64_t last = end > layout.Lookahead() ? end - 1 - layout.Lookahead() : 0;
        lastColumn = static_cast<std::int32_t>(std::min<std::uint64_t>(last, 0x7FFFFFFF));
    }
    return kStepFinished;
}

}  // namespace UI
