#pragma once
#include <array>
#include <cstdint>

namespace UI {

// The option tables behind the indexes of SpectrogramSettings: each option's label as
// the tool bar shows it and the value the analysis uses.
namespace SpectrogramOptions {

enum AnalysisType : std::uint32_t { kStft = 0, kMultiresStft = 1, kMdlStft = 2 };

enum class WindowKind { Hamming, Blackman, Bartlett, Kaiser, Hann };

struct Window {
    const char* label;
    WindowKind kind;
    // Blackman's alpha or Kaiser's beta; unused by the others.
    double parameter;
};

inline constexpr std::array<const char*, 3> kTypeLabels = {"STFT", "Multires. STFT", "MDL STFT"};

inline constexpr std::array<const char*, 12> kFftSizeLabels = {
    "32", "64", "128", "256", "512", "1024", "2048", "4096", "8192", "16384", "32768", "65536"};
// N = 2^order.
inline constexpr std::array<std::uint32_t, 12> kFftSizeOrders = {5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

inline constexpr std::array<const char*, 5> kZeroPaddingLabels = {
    "None", "2x Padding", "4x Padding", "8x Padding", "16x Padding"};
// The FFT length is N << extra order.
inline constexpr std::array<std::uint32_t, 5> kZeroPaddingOrders = {0, 1, 2, 3, 4};

inline constexpr std::array<const char*, 4> kOverlapLabels = {"None", "50%", "75%", "87.5%"};
// The hop is N / factor.
inline constexpr std::array<std::uint32_t, 4> kOverlapFactors = {1, 2, 4, 8};

inline constexpr std::array<Window, 7> kWindows = {{
    {"Hamming", WindowKind::Hamming, 0.0},
    {"Blackman", WindowKind::Blackman, -0.16},
    {"Bartlett", WindowKind::Bartlett, 0.0},
    {"Kaiser-10", WindowKind::Kaiser, 10.0},
    {"Kaiser-15", WindowKind::Kaiser, 15.0},
    {"Kaiser-20", WindowKind::Kaiser, 20.0},
    {"Hann", WindowKind::Hann, 0.0},
}};

inline constexpr std::uint32_t kTypeCount = kTypeLabels.size();
inline constexpr std::uint32_t kFftSizeCount = kFftSizeLabels.size();
inline constexpr std::uint32_t kZeroPaddingCount = kZeroPaddingLabels.size();
inline constexpr std::uint32_t kOverlapCount = kOverlapLabels.size();
inline constexpr std::uint32_t kWindowCount = kWindows.size();

}  // namespace SpectrogramOptions

}  // namespace UI
