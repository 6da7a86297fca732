#pragma once
#include <Tonalith/Analysis/AudioCalculator.h>
#include <Tonalith/Analysis/DSP/DataTail.h>
#include <Tonalith/Analysis/DSP/Transience.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculatorFft.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculatorLayout.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculatorLevels.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculatorMdl.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculatorWindows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace UI {

// Reads `count` frames from `first` on, all channels interleaved, as doubles; false when
// the source refuses.
using SpectrogramFrameReader = std::function<bool(std::uint64_t first, std::uint32_t count, double* dst)>;
// Reports the progress in percent; false when the step is to stop.
using SpectrogramComputeProgress = std::function<bool(float percent)>;

// One byte vector per channel, column after column, one byte per bin.
using SpectrogramSpectra = std::vector<std::vector<std::uint8_t>>;

struct SpectrogramAnalysisInput {
    SpectrogramLayout layout;
    std::uint32_t channels = 0;
    std::uint64_t length = 0;
    float sampleRate = 0.0f;
    const SpectrogramWindows* windows = nullptr;
    const SpectrogramFft* fft = nullptr;
    SpectrogramLevels levels;
    // Memory the step may take; a step that needs more fails before it allocates.
    std::uint64_t memoryBudget = ~std::uint64_t(0);
};

// The column loop of the compute step: slides the frame over the source and writes one
// byte per bin and column for every channel.
class SpectrogramAnalysis {
public:
    // Bytes a step allocates for the spectra and its buffers; ~0 when that does not fit 64 bits.
    static std::uint64_t RequiredBytes(const SpectrogramLayout& layout, std::uint32_t channels, std::uint64_t length);

    // A StepResult: finished, cut short (spectra freed) or failed (spectra freed, the reason
    // in Failure()). lastColumn is the last column written.
    int Run(const SpectrogramAnalysisInput& input, const SpectrogramFrameReader& read,
        const SpectrogramComputeProgress& progress, SpectrogramSpectra& spectra, std::int32_t& lastColumn);

    const StepFailure& Failure() const { return m_failure; }
    DSP::Transience& Transience() { return m_transience; }
    const SpectrogramMdl& Mdl() const { return m_mdl; }

private:
    int RunColumns(const SpectrogramAnalysisInput& input, const SpectrogramFrameReader& read,
        const SpectrogramComputeProgress& progress, SpectrogramSpectra& spectra, std::int32_t& lastColumn);
    bool FillFrame(const SpectrogramAnalysisInput& input, const SpectrogramFrameReader& read, std::uint64_t k);
    void StftColumn(const SpectrogramAnalysisInput& input, std::uint32_t channel, std::uint8_t* out);
    // Writes the four normalised power rows of a channel (table rows, or MDL ring rows).
    void PowerRows(const SpectrogramAnalysisInput& input, std::uint32_t channel, float* const rows[4]);
    void MultiresColumn(const SpectrogramAnalysisInput& input, std::uint32_t channel, std::uint8_t* out);
    void FreeBuffers();
    int Fail(StepFailureCause cause, std::string detail);

    std::vector<std::vector<double>> m_channelBuffers;
    std::vector<double> m_frame;
    std::vector<double> m_complex;
    std::vector<double> m_work;
    DSP::DataTail m_powers;
    DSP::Transience m_transience;
    SpectrogramMdl m_mdl;
    StepFailure m_failure;
};

}  // namespace UI
