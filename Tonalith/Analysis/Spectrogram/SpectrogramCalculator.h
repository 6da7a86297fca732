#pragma once
#include <Tonalith/Analysis/AudioCalculator.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramAnalysis.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramColourTable.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramFft.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramLayout.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramLevels.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramSettings.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramWindows.h>

#include <QvBase/Util/SharedPtr.h>

#include <cstdint>
#include <string>
#include <vector>

namespace UI {

// The spectrogram of a sample source: the compute step analyses every channel into one
// byte per bin and column ("STFT", "Multires. STFT" or "MDL STFT"), the render step
// paints those bytes through the colour map into the job's image.
class SpectrogramCalculator : public AudioCalculator {
public:
    SpectrogramCalculator(const SharedPtr<AudioDisplaySource>& source, const SpectrogramSettings& settings);
    SpectrogramCalculator(AudioDisplaySource* source, const SpectrogramSettings& settings);
    ~SpectrogramCalculator() override;

    // A block of the wrong size changes nothing; an index outside its option table is
    // taken as that option's default.
    void ApplySettings(const std::vector<std::uint8_t>& settings, bool* recompute, bool* rerender) override;

    const SpectrogramSettings& Settings() const { return m_settings; }
    const SpectrogramSpectra& Spectra() const { return m_spectra; }
    const SpectrogramColourTable& Colours() const { return m_colours; }
    const SpectrogramLevels& Levels() const { return m_levels; }
    std::int32_t LastComputedColumn() const { return m_lastColumn; }
    std::uint32_t RenderPosition() const { return m_renderPosition; }
    SpectrogramLayout Layout() const;

    // Threads the steps work with, their own included; 0 (the default) means one per
    // processor the calling thread may run on.
    void SetThreads(std::uint32_t threads) { m_threads = threads; }
    std::uint32_t Threads() const;

protected:
    int Compute() override;
    int Render(Image* image) override;

private:
    void Build(bool fft, bool windows, bool colours);
    bool ReadFrames(std::uint64_t first, std::uint32_t count, float** channels);

    SpectrogramSettings m_settings;
    SpectrogramColourTable m_colours{};
    SpectrogramLevels m_levels;
    SpectrogramSpectra m_spectra;
    std::vector<SharedPtr<SpectrogramFft>> m_fft;
    SpectrogramWindows m_windows;
    SpectrogramAnalysis m_analysis;
    std::vector<float> m_rowLow;
    std::vector<float> m_rowHigh;
    std::vector<float> m_positions;
    std::int32_t m_lastColumn = -1;
    std::uint32_t m_renderPosition = 0;
    std::uint32_t m_threads = 0;
    // Why the FFT or the windows could not be built; the compute step fails with it.
    std::string m_fftFailure;
    std::string m_windowsFailure;
};

}  // namespace UI
