#include <Tonalith/Analysis/Spectrogram/SpectrogramColourTable.h>

#include <cmath>

namespace UI {
namespace {

struct MapPoint {
    float db;
    float r, g, b;
};

constexpr MapPoint points[13] = {
    {-120, 0, 0, 0},
    {-110, 1, 3, 30},
    {-100, 1, 3, 53},
    {-90, 28, 2, 78},
    {-80, 80, 2, 110},
    {-70, 144, 3, 133},
    {-60, 182, 3, 102},
    {-50, 229, 3, 46},
    {-40, 252, 73, 31},
    {-30, 253, 174, 81},
    {-20, 254, 245, 140},
    {-10, 239, 254, 203},
    {0, 242, 255, 236},
};

std::uint32_t Component(float value) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(std::round(value))) & 0xFFu;
}

}  // namespace

std::uint32_t SpectrogramColourAtDb(float db) {
    if (!(db > points[0].db)) return 0;
    int i = 0;
    while (i < 12 && points[i + 1].db < db) ++i;
    if (i == 12) return (242u << 16) | (255u << 8) | 236u;
    const MapPoint& a = points[i];
    const MapPoint& b = points[i + 1];
    const float t = (db - a.db) / (b.db - a.db);
    return Component(a.r + t * (b.r - a.r)) << 16 | Component(a.g + t * (b.g - a.g)) << 8 |
        Component(a.b + t * (b.b - a.b));
}

SpectrogramColourTable BuildSpectrogramColourTable() {
    SpectrogramColourTable table{};
    for (int b = 0; b < 256; ++b) table[std::size_t(b)] = SpectrogramColourAtDb(float(b) * 0.47058824f - 120.0f);
    return table;
}

}  // namespace UI
