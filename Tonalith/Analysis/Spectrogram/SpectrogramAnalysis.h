#pragma once
#include <Tonalith/Analysis/AudioCalculator.h>
#include <Tonalith/Analysis/DSP/DataTail.h>
#include <Tonalith/Analysis/DSP/Transience.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramColumns.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramMdl.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramParallel.h>
#include <Tonalith/Analysis/Spectrogram/SpectrumAllocator.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace UI {

// Reports the progress in percent; false when the step is to stop.
using SpectrogramComputeProgress = std::function<bool(float percent)>;

struct SpectrogramAnalysisInput : SpectrogramColumnSetup {
    // Memory the step may take; a step that needs more (RequiredBytes) fails before it allocates.
    std::uint64_t memoryBudget = ~std::uint64_t(0);
    // Threads that analyse columns, the calling one included.
    std::uint32_t threads = 1;
};

// The column loop of the compute step: writes one byte per bin and column for every
// channel. The calling thread reports the progress between runs of columns; a cancel,
// reported there or seen by any thread through the input's `cancelled`, stops every thread
// within one transform or one frame of the "MDL STFT" band measures.
class SpectrogramAnalysis {
public:
    // The most memory a step holds at once: the spectra, its buffers and state, and its
    // threads; ~0 when that does not fit 64 bits. It follows the source's length: a source
    // shorter than a frame costs about the frames its columns span.
    static std::uint64_t RequiredBytes(
        const SpectrogramLayout& layout, std::uint32_t channels, std::uint64_t length, std::uint32_t threads = 1);

    // A StepResult: finished, cut short (spectra freed) or failed (spectra freed, the reason
    // in Failure()). lastColumn is the last column written.
    int Run(const SpectrogramAnalysisInput& input, const SpectrogramFrameReader& read,
        const SpectrogramComputeProgress& progress, SpectrogramSpectra& spectra, std::int32_t& lastColumn);

    const StepFailure& Failure() const { return m_failure; }
    DSP::Transience& Transience() { return m_transience; }
    SpectrogramMdl& Mdl() { return m_mdl; }

private:
    int RunColumns(const SpectrogramAnalysisInput& input, const SpectrogramFrameReader& read,
        const SpectrogramComputeProgress& progress, SpectrogramSpectra& spectra, std::int32_t& lastColumn);
    int RunShared(const SpectrogramAnalysisInput& input, const SpectrogramFrameReader& read,
        const SpectrogramComputeProgress& progress, SpectrogramSpectra& spectra, WorkerGroup& workers);
    int RunMdl(const SpectrogramAnalysisInput& input, const SpectrogramFrameReader& read,
        const SpectrogramComputeProgress& progress, SpectrogramSpectra& spectra, std::int32_t& lastColumn,
        WorkerGroup& workers);
    int Fail(StepFailureCause cause, std::string detail);

    DSP::Transience m_transience;
    SpectrogramMdl m_mdl;
    StepFailure m_failure;
};

}  // namespace UI
