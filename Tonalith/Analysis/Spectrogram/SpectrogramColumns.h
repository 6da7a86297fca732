#pragma once
#include <Tonalith/Analysis/Spectrogram/SpectrogramByteTable.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramFft.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramLayout.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramLevels.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramWindows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace UI {

// Reads `count` frames from `first` on, channel c into channels[c]; false when the source
// refuses.
using SpectrogramFrameReader = std::function<bool(std::uint64_t first, std::uint32_t count, float** channels)>;

// What every column of one compute step shares; read-only while columns are analysed.
struct SpectrogramColumnSetup {
    SpectrogramLayout layout;
    std::uint32_t channels = 0;
    std::uint64_t length = 0;
    float sampleRate = 0.0f;
    const SpectrogramWindows* windows = nullptr;
    const SpectrogramFft* fft = nullptr;
    SpectrogramLevels levels;
    // The bytes of "STFT" powers; none: the analysis builds it.
    const SpectrogramByteTable* bytes = nullptr;
    // True once the step is to stop; asked from every thread between transforms, so that
    // a cancel cuts even a single costly column short. None: never.
    std::function<bool()> cancelled;

    bool Cancelled() const { return cancelled && cancelled(); }
};

// The buffers of one thread that analyses runs of consecutive columns. A run reads the
// frames of all its columns at once (column k is centred on frame k * hop, zeros outside
// the source) as floats straight into one contiguous array per channel, from which each
// column's frame is windowed straight into the FFT's input.
class SpectrogramColumns {
public:
    // Allocates the buffers for runs of up to maxColumns columns (none: reads no frames) and,
    // unless told not to, those that window and transform frames; throws std::bad_alloc.
    SpectrogramColumns(const SpectrogramColumnSetup& setup, std::uint64_t maxColumns, bool transforms = true);

    // Columns a run should hold: a few milliseconds of work, so that a cancel is seen soon.
    static std::uint64_t RunLength(const SpectrogramLayout& layout);
    // Bytes the frames of runs of up to maxColumns columns take, and those of the transforms;
    // ~0 when that does not fit 64 bits.
    static std::uint64_t FrameBytes(const SpectrogramLayout& layout, std::uint32_t channels, std::uint64_t maxColumns);
    static std::uint64_t TransformBytes(const SpectrogramLayout& layout);

    // Reads the frames of columns [first, first + count); false when the source refuses.
    bool Read(const SpectrogramFrameReader& read, std::uint64_t first, std::uint64_t count);
    // The frame of column k (within the last Read) of a channel: frameLength samples.
    const float* Frame(std::uint32_t channel, std::uint64_t k) const;

    // "STFT": the bytes of one column of one channel.
    void Stft(const float* frame, std::uint8_t* out);
    // "Multires. STFT": the four power rows, then the bytes stitched by frequency band;
    // false, with the bytes unwritten, when the step was cancelled meanwhile.
    bool Multires(const float* frame, std::uint8_t* out);
    // The normalised power spectra of the four centred frame lengths, into rows[r]; false,
    // with the rows incomplete, when the step was cancelled meanwhile. A length whose
    // samples are all 0 (a frame past the source's end) has a row of zeros without a
    // transform, as the transform would give.
    bool PowerRows(const float* frame, float* const rows[kFrameLengths]);

private:
    const SpectrogramColumnSetup& m_setup;
    std::uint64_t m_first = 0;  // first column of the last Read
    std::vector<std::vector<float>> m_channels;
    std::vector<float*> m_channelTable;
    std::vector<float*> m_readTable;  // where a read starts in each channel
    std::vector<double> m_input;  // the FFT's input; beyond the frame it stays zero
    std::vector<double> m_complex;
    std::vector<float> m_rows;  // a row of bins per frame length
    std::vector<float> m_values;  // their scaled values, where the stitching reads them
    std::unique_ptr<std::uint8_t, void (*)(std::uint8_t*)> m_fftBuffer;

    void Forward(const double* input);
};

}  // namespace UI
