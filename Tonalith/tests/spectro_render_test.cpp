#include <Tonalith/Analysis/Spectrogram/SpectrogramColourTable.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramRender.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

const UI::SpectrogramRenderProgress keepGoing = [](float, std::uint32_t) { return true; };

// Colour b is b itself, so the pixels show the byte values the sampling picked.
UI::SpectrogramColourTable IdentityColours() {
    UI::SpectrogramColourTable table{};
    for (std::uint32_t b = 0; b < 256; ++b) table[b] = b;
    return table;
}

struct Canvas {
    UI::SpectrogramSpectra spectra;
    UI::SpectrogramColourTable colours = IdentityColours();
    std::vector<std::uint32_t> pixels;
    UI::SpectrogramRenderTarget target;

    Canvas(std::uint64_t columns, std::int64_t bins, int width, int height)
        : pixels(std::size_t(width * height), 0xDEADu) {
        target.spectra = &spectra;
        target.columns = columns;
        target.bins = bins;
        target.colours = &colours;
        target.pixels = pixels.data();
        target.stride = width;
        target.width = width;
        target.height = height;
    }
    std::uint32_t At(int x, int y) const { return pixels[std::size_t(y * target.width + x)]; }
};

TEST(SpectrogramColourMap, PointsAndInterpolation) {
    EXPECT_EQ(UI::SpectrogramColourAtDb(-120.0f), 0u);
    EXPECT_EQ(UI::SpectrogramColourAtDb(-500.0f), 0u);
    EXPECT_EQ(UI::SpectrogramColourAtDb(std::numeric_limits<float>::quiet_NaN()), 0u);
    EXPECT_EQ(UI::SpectrogramColourAtDb(0.0f), 0xF2FFECu);
    EXPECT_EQ(UI::SpectrogramColourAtDb(7.0f), 0xF2FFECu);
    EXPECT_EQ(UI::SpectrogramColourAtDb(-60.0f), 0xB60366u);
    // Half-way between -120 and -110 dB: (0.5, 1.5, 15) rounds half away from zero.
    EXPECT_EQ(UI::SpectrogramColourAtDb(-115.0f), 0x01020Fu);
    // Between -40 and -30: 252 + 0.25 * 1, 73 + 0.25 * 101, 31 + 0.25 * 50.
    EXPECT_EQ(UI::SpectrogramColourAtDb(-37.5f), (252u << 16) | (98u << 8) | 44u);

    const auto table = UI::BuildSpectrogramColourTable();
    EXPECT_EQ(table[0], 0u);
    EXPECT_EQ(table[255], 0xF2FFECu);
    EXPECT_EQ(table[85], 0x50026Eu);  // 85 * 120/255 - 120 = -80 dB
    for (std::uint32_t colour : table) EXPECT_EQ(colour >> 24, 0u);
    // Brightness grows with the level in the top half of the map.
    for (int b = 200; b < 255; ++b)
        EXPECT_GE((table[std::size_t(b) + 1] >> 8) & 0xFF, (table[std::size_t(b)] >> 8) & 0xFF);
}

TEST(SpectrogramRender, NearestBinByHand) {
    // 4 columns of 3 bins, S[j][b] = 10 j + b + 1; two channels in an 11-row image,
    // bands {0, 3} and {7, 10} with the gap rows 4..6 left alone.
    Canvas canvas(4, 3, 2, 11);
    canvas.spectra.assign(2, UI::SpectrogramSpectrum(12));
    for (int c = 0; c < 2; ++c)
        for (int j = 0; j < 4; ++j)
            for (int b = 0; b < 3; ++b)
                canvas.spectra[std::size_t(c)][std::size_t(j * 3 + b)] = std::uint8_t(100 * c + 10 * j + b + 1);
    canvas.target.bands = {{0, 3}, {7, 10}};
    ASSERT_EQ(UI::RenderSpectrogramNearest(canvas.target, 0, 4, keepGoing), 0);
    // Width 2 over 4 columns: x = 0 shows column 0, x = 1 column 2. Band rows from the
    // bottom show bins round(d / 3 * 2) = 0, 1, 1, 2.
    const std::uint32_t left[4] = {3, 2, 2, 1};  // rows 0..3, top first
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(canvas.At(0, y), left[y]) << y;
        EXPECT_EQ(canvas.At(1, y), left[y] + 20) << y;
        EXPECT_EQ(canvas.At(0, y + 7), left[y] + 100) << y;
        EXPECT_EQ(canvas.At(1, y + 7), left[y] + 120) << y;
    }
    for (int y = 4; y < 7; ++y) EXPECT_EQ(canvas.At(0, y), 0xDEADu);

    // From column 2 on, with more image columns than spectrum columns: 2 columns over width 2.
    Canvas wide(4, 3, 2, 4);
    wide.spectra = {canvas.spectra[0]};
    wide.target.bands = {{0, 3}};
    ASSERT_EQ(UI::RenderSpectrogramNearest(wide.target, 2, 2, keepGoing), 0);
    EXPECT_EQ(wide.At(0, 3), 21u);
    EXPECT_EQ(wide.At(1, 3), 31u);
}

TEST(SpectrogramRender, NearestBinStaysInsideTheBuffers) {
    Canvas canvas(2, 5, 8, 6);
    canvas.spectra.assign(1, UI::SpectrogramSpectrum(10, 9));
    // A band reaching outside the image and a view past the computed columns.
    canvas.target.bands = {{-4, 9}};
    ASSERT_EQ(UI::RenderSpectrogramNearest(canvas.target, 1, 4, keepGoing), 0);
    EXPECT_EQ(canvas.At(0, 0), 9u);
    EXPECT_EQ(canvas.At(7, 5), 0xDEADu);  // columns past the last computed one stay unpainted

    // Cancel after the first spectrum column.
    Canvas cancelled(4, 3, 4, 3);
    cancelled.spectra.assign(1, UI::SpectrogramSpectrum(12, 5));
    cancelled.target.bands = {{0, 2}};
    int calls = 0;
    EXPECT_EQ(
        UI::RenderSpectrogramNearest(cancelled.target, 0, 4, [&](float, std::uint32_t) { return ++calls < 2; }), 1);
    EXPECT_EQ(cancelled.At(0, 0), 5u);
    EXPECT_EQ(cancelled.At(1, 0), 0xDEADu);
}

TEST(SpectrogramRender, FootprintMaximumByHand) {
    // 3 columns of 4 bins; one band of 2 rows; P = {0, 1.5}; row 0 spans bins [0, 1.5],
    // row 1 [1.5, 3].
    Canvas canvas(3, 4, 2, 2);
    canvas.spectra = {{10, 20, 30, 40, 50, 60, 70, 80, 0, 0, 0, 200}};
    canvas.target.bands = {{0, 1}};
    const std::vector<float> positions = {0.0f, 1.5f};
    const std::vector<float> low = {-0.5f, 1.5f};
    const std::vector<float> high = {1.5f, 3.0f};
    std::vector<std::uint32_t> reported;
    ASSERT_EQ(UI::RenderSpectrogramFootprint(canvas.target, positions, low, high,
                  [&](float percent, std::uint32_t columns) {
                      reported.push_back(columns);
                      EXPECT_FLOAT_EQ(percent, 50.0f * float(columns));
                      return true;
                  }),
        0);
    EXPECT_EQ(reported, (std::vector<std::uint32_t>{1, 2}));
    // x = 0, bottom row: the upper-left corner, 20 + (30 - 20) * 0.5 = 25.
    EXPECT_EQ(canvas.At(0, 1), 25u);
    // x = 0, top row: the left edge, max of column 0 over bins 2..3 = 40.
    EXPECT_EQ(canvas.At(0, 0), 40u);
    // x = 1, bottom row: upper edge of column 1, 60 + (70 - 60) * 0.5 = 65.
    EXPECT_EQ(canvas.At(1, 1), 65u);
    // x = 1, top row: right edge, max(col 1) 80 towards max(col 2) 200 by 0.5 = 140.
    EXPECT_EQ(canvas.At(1, 0), 140u);
}

TEST(SpectrogramRender, FootprintKeepsALoudColumnWhenZoomedOut) {
    // 1000 columns squeezed into 10 pixels: the one loud column must survive.
    const std::uint64_t columns = 1000;
    Canvas canvas(columns, 2, 10, 1);
    canvas.spectra.assign(1, UI::SpectrogramSpectrum(columns * 2, 3));
    canvas.spectra[0][2 * 537] = 250;
    canvas.spectra[0][2 * 537 + 1] = 250;
    canvas.target.bands = {{0, 0}};
    std::vector<float> positions(10);
    for (int x = 0; x < 10; ++x) positions[std::size_t(x)] = float(x) * 999.0f / 9.0f;
    ASSERT_EQ(UI::RenderSpectrogramFootprint(canvas.target, positions, {-0.5f}, {1.0f}, keepGoing), 0);
    int loud = 0;
    for (int x = 0; x < 10; ++x) loud += canvas.At(x, 0) == 250u ? 1 : 0;
    EXPECT_EQ(loud, 1);
    EXPECT_EQ(canvas.At(5, 0), 250u);  // columns (444, 555]
}

TEST(SpectrogramRender, FootprintWithOneColumnAndHostileInputs) {
    // A single computed column: nothing beyond it is read.
    Canvas one(1, 3, 3, 3);
    one.spectra = {{7, 8, 9}};
    one.target.bands = {{0, 2}};
    ASSERT_EQ(UI::RenderSpectrogramFootprint(
                  one.target, {0.0f, 0.3f, 0.9f}, {-0.5f, 0.5f, 1.5f}, {0.5f, 1.5f, 2.5f}, keepGoing),
        0);
    EXPECT_EQ(one.At(0, 0), 9u);
    EXPECT_EQ(one.At(2, 2), 8u);

    // Positions and bin edges far outside the tables, NaN included: clamped, no stray reads.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Canvas wild(4, 3, 3, 4);
    wild.spectra = {UI::SpectrogramSpectrum(12, 4)};
    wild.target.bands = {{-10, 2}, {3, 99}};
    wild.spectra.push_back(UI::SpectrogramSpectrum(12, 6));
    ASSERT_EQ(UI::RenderSpectrogramFootprint(
                  wild.target, {-5.0f, 1e30f, nan}, {nan, -1e9f, 1e9f}, {1e30f, nan, 2.0f}, keepGoing),
        0);
    EXPECT_EQ(wild.At(1, 0), 4u);
    EXPECT_EQ(wild.At(2, 3), 6u);

    // Cancel in the middle.
    Canvas cancelled(4, 3, 4, 1);
    cancelled.spectra = {UI::SpectrogramSpectrum(12, 5)};
    cancelled.target.bands = {{0, 0}};
    EXPECT_EQ(UI::RenderSpectrogramFootprint(
                  cancelled.target, {0, 1, 2, 3}, {0}, {1}, [](float, std::uint32_t columns) { return columns < 2; }),
        1);
    EXPECT_EQ(cancelled.At(1, 0), 5u);
    EXPECT_EQ(cancelled.At(2, 0), 0xDEADu);
}

// The footprint maximum of one pixel straight from its definition: every cell, edge and
// corner value of the footprint [cL, cR] x [lo, hi] evaluated on its own.
int ReferenceFootprint(
    const UI::SpectrogramSpectrum& s, std::int64_t bins, std::int64_t columns, float cL, float cR, float lo, float hi) {
    const auto cell = [&](std::int64_t j, std::int64_t b) { return float(s[std::size_t(j * bins + b)]); };
    const auto byte = [](float v) { return v > 255.0f ? 255 : v > 0.0f ? int(std::nearbyint(v)) : 0; };
    const auto lerp = [](float a, float b, float t) { return a + (b - a) * t; };
    const std::int64_t jL = std::int64_t(cL), jR = std::int64_t(cR);
    const std::int64_t bLo = std::int64_t(lo), bHi = std::int64_t(hi);
    const float fL = cL - float(jL), fR = cR - float(jR), fLo = lo - float(bLo), fHi = hi - float(bHi);
    const std::int64_t jL1 = std::min(jL + 1, columns - 1), bLo1 = std::min(bLo + 1, bins - 1);
    const bool right = jR + 1 < columns, upper = bHi + 1 < bins;
    const auto columnMax = [&](std::int64_t j) {
        float m = -1.0f;
        for (std::int64_t b = bLo + 1; b <= bHi; ++b) m = std::max(m, cell(j, b));
        return m;
    };
    int v = 0;
    for (std::int64_t j = jL + 1; j <= jR; ++j) {
        for (std::int64_t b = bLo + 1; b <= bHi; ++b) v = std::max(v, int(cell(j, b)));
        v = std::max(v, byte(lerp(cell(j, bLo), cell(j, bLo1), fLo)));
        if (upper) v = std::max(v, byte(lerp(cell(j, bHi), cell(j, bHi + 1), fHi)));
    }
    if (columnMax(jL) >= 0.0f) {
        v = std::max(v, byte(lerp(columnMax(jL), columnMax(jL1), fL)));
        if (right) v = std::max(v, byte(lerp(columnMax(jR), columnMax(jR + 1), fR)));
    }
    const auto corner = [&](std::int64_t j, std::int64_t j1, float fj, std::int64_t b, std::int64_t b1, float fb) {
        return byte(lerp(lerp(cell(j, b), cell(j1, b), fj), lerp(cell(j, b1), cell(j1, b1), fj), fb));
    };
    v = std::max(v, corner(jL, jL1, fL, bLo, bLo1, fLo));
    if (upper) v = std::max(v, corner(jL, jL1, fL, bHi, bHi + 1, fHi));
    if (right) v = std::max(v, corner(jR, jR + 1, fR, bLo, bLo1, fLo));
    if (right && upper) v = std::max(v, corner(jR, jR + 1, fR, bHi, bHi + 1, fHi));
    return v;
}

TEST(SpectrogramRender, FootprintMatchesItsDefinitionOnRandomSpectra) {
    std::mt19937 random(11);
    // {columns, bins, width, rows}: zoomed far out, about one column per pixel, zoomed in.
    const int shapes[][4] = {{3000, 33, 17, 40}, {120, 65, 100, 31}, {9, 17, 50, 70}, {1, 5, 6, 9}};
    for (const auto& shape : shapes) {
        const std::int64_t columns = shape[0], bins = shape[1];
        const int width = shape[2], rows = shape[3];
        Canvas canvas(std::uint64_t(columns), bins, width, rows);
        // Few distinct levels with runs: ties and plateaus, as real spectra have.
        canvas.spectra.assign(1, UI::SpectrogramSpectrum(std::size_t(columns * bins)));
        for (auto& b : canvas.spectra[0]) b = std::uint8_t(random() % 4 == 0 ? random() % 256 : random() % 8 * 30);
        canvas.target.bands = {{0, rows - 1}};
        std::vector<float> positions(static_cast<std::size_t>(width)), low(static_cast<std::size_t>(rows)),
            high(static_cast<std::size_t>(rows));
        for (int x = 0; x < width; ++x) positions[std::size_t(x)] = float(x) * float(columns) / float(width);
        for (int i = 0; i < rows; ++i) {
            low[std::size_t(i)] = (float(i) - 0.5f) * float(bins - 1) / float(rows);
            high[std::size_t(i)] = (float(i) + 0.5f) * float(bins - 1) / float(rows);
        }
        ASSERT_EQ(UI::RenderSpectrogramFootprint(canvas.target, positions, low, high, keepGoing), 0);
        for (int x = 0; x < width; ++x) {
            const float cL = std::min(positions[std::size_t(std::max(x - 1, 0))], float(columns) - 1.0001f);
            const float cR = positions[std::size_t(x)];
            for (int i = 0; i < rows; ++i) {
                const float lo = std::max(low[std::size_t(i)], 0.0f), hi = high[std::size_t(i)];
                ASSERT_EQ(canvas.At(x, rows - 1 - i),
                    std::uint32_t(ReferenceFootprint(canvas.spectra[0], bins, columns, std::max(cL, 0.0f), cR, lo, hi)))
                    << "columns " << columns << " x " << x << " row " << i;
            }
        }
    }
}

}  // namespace
