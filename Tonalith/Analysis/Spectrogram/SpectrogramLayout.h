#pragma once
#include <cstdint>

namespace UI {

// The frame lengths a multi-resolution analysis works with: 8N, 4N, 2N and N (r = 0..3).
inline constexpr int kFrameLengths = 4;
// r of the shortest, N, the only one "STFT" uses; the longest is N << kShortestFrame.
inline constexpr int kShortestFrame = kFrameLengths - 1;

// Analysis types of the spectrogram settings block.
enum SpectrogramAnalysisType : std::uint32_t {
    SpectrogramStft = 0,
    SpectrogramMultiresStft = 1,
    SpectrogramMdlStft = 2,
};

// The sizes a spectrogram analysis works with, all in 64 bits so that no combination of
// settings and file length wraps.
struct SpectrogramLayout {
    std::uint32_t type = SpectrogramStft;
    std::int64_t n = 0;  // shortest window, 2^size order
    std::int64_t frameLength = 0;  // N for "STFT", 8N otherwise
    std::int32_t fftOrder = 0;  // log2 of the FFT length
    std::int64_t fftLength = 0;  // frame length << padding order
    std::int64_t bins = 0;  // fftLength / 2 + 1
    std::int64_t overlap = 1;  // overlap factor f
    std::int64_t hop = 0;  // N / f

    // sizeOrder and extraOrder as in the option tables; overlapFactor 1, 2, 4 or 8.
    static SpectrogramLayout Make(
        std::uint32_t type, std::int32_t sizeOrder, std::int32_t extraOrder, std::int32_t overlapFactor);

    bool IsMultiResolution() const { return type != SpectrogramStft; }
    // ceil(length / hop); 0 for an empty source.
    std::uint64_t Columns(std::uint64_t length) const;
    // D, the frames analysed beyond the last column: "MDL STFT" looks 2f frames ahead, so
    // its column k comes out with frame k + D.
    std::uint64_t Lookahead() const { return type == SpectrogramMdlStft ? std::uint64_t(2 * overlap) : 0u; }
    // R = 2D + 1, the frames one "MDL STFT" measure spans: the column's own and D on either side.
    std::uint64_t FramesMeasured() const { return 2 * Lookahead() + 1; }
    // The frames a step analyses: one per column, and the D beyond the last.
    std::uint64_t AnalysedFrames(std::uint64_t length) const { return Columns(length) + Lookahead(); }
    // Length of the window of resolution r (0 longest): 8N down to N.
    std::int64_t WindowLength(int r) const { return n << (kShortestFrame - r); }
};

}  // namespace UI
