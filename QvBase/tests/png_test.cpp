#include <QvBase/UI/Drawing/Image.h>
#include <QvBase/Util/ResourceArchive.h>

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

namespace {

// What the test asks libpng's writer to make.
struct PngPicture {
    int width = 1;
    int height = 1;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    std::vector<Bytes> rows;  // packed samples, 16-bit ones big-endian
    std::vector<png_color> palette{};
    Bytes paletteAlpha{};  // tRNS of a palette image
    std::optional<png_color_16> keyColour{};  // tRNS of a grey or RGB image
    bool interlaced = false;
    bool headerOnly = false;
};

void Append(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void Flush(png_structp) {}

Bytes WritePng(const PngPicture& picture) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, Append, Flush);
    png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colourType,
        picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
        PNG_FILTER_TYPE_DEFAULT);
    if (!picture.palette.empty())
        png_set_PLTE(png, info, picture.palette.data(), static_cast<int>(picture.palette.size()));
    if (!picture.paletteAlpha.empty())
        png_set_tRNS(png, info, picture.paletteAlpha.data(), static_cast<int>(picture.paletteAlpha.size()), nullptr);
    if (picture.keyColour) {
        png_color_16 key = *picture.keyColour;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    if (!picture.headerOnly) {
        std::vector<png_bytep> rows;
        for (const Bytes& row : picture.rows) rows.push_back(const_cast<png_bytep>(row.data()));
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

SharedPtr<UI::Image> Decode(const Bytes& bytes) {
    return UI::Image::DecodePng(static_cast<std::uint32_t>(bytes.size()), bytes.data());
}

std::vector<std::uint32_t> PixelsOf(const UI::Image& image) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) pixels.push_back(image.Pixels()[y * image.Stride() + x]);
    return pixels;
}

void ExpectImage(
    const SharedPtr<UI::Image>& image, int width, int height, bool alpha, const std::vector<std::uint32_t>& pixels) {
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Width(), width);
    EXPECT_EQ(image->Height(), height);
    EXPECT_EQ(image->Stride(), width);
    EXPECT_EQ(image->HasAlpha(), alpha);
    EXPECT_EQ(PixelsOf(*image), pixels);
}

PngPicture Rgb2x2() {
    PngPicture s;
    s.width = 2;
    s.height = 2;
    s.rows = {{0x10, 0x20, 0x30, 0xFF, 0x00, 0x80}, {0x01, 0x02, 0x03, 0xAA, 0xBB, 0xCC}};
    return s;
}

}  // namespace

// Every colour type and depth: grey below 8 bits is scaled up (1-bit 1 -> 255, 2-bit 1 -> 85,
// 4-bit 1 -> 17), alpha goes inverted into the top byte and only when some pixel is not opaque,
// a tRNS key colour becomes alpha, palette entries past tRNS are opaque, 16-bit samples keep
// their high byte.
TEST(Png, EveryColourTypeAndDepth) {
    constexpr int Grey = PNG_COLOR_TYPE_GRAY, GreyAlpha = PNG_COLOR_TYPE_GRAY_ALPHA, Palette = PNG_COLOR_TYPE_PALETTE,
                  Rgba = PNG_COLOR_TYPE_RGB_ALPHA;
    const std::vector<png_color> palette{
        {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0x00, 0x00, 0xFF}, {0x12, 0x34, 0x56}};
    PngPicture keyedRgb = Rgb2x2();
    keyedRgb.keyColour = png_color_16{0, 0xFF, 0x00, 0x80, 0};
    const struct {
        PngPicture picture;
        bool alpha;
        std::vector<std::uint32_t> pixels;
    } cases[] = {
        {{.width = 3, .height = 2, .colourType = Grey, .rows = {{0, 0x7F, 0xFF}, {1, 2, 3}}}, false,
            {0x000000, 0x7F7F7F, 0xFFFFFF, 0x010101, 0x020202, 0x030303}},
        {{.width = 4, .colourType = Grey, .bitDepth = 1, .rows = {{0b10100000}}}, false,
            {0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000}},
        {{.width = 4, .colourType = Grey, .bitDepth = 2, .rows = {{0b00011011}}}, false,
            {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF}},
        {{.width = 4, .colourType = Grey, .bitDepth = 4, .rows = {{0x01, 0xEF}}}, false,
            {0x000000, 0x111111, 0xEEEEEE, 0xFFFFFF}},
        {{.width = 3, .colourType = GreyAlpha, .rows = {{100, 255, 50, 128, 9, 0}}}, true,
            {0x00646464, 0x7F323232, 0xFF090909}},
        {{.width = 3, .colourType = GreyAlpha, .rows = {{100, 255, 50, 255, 9, 255}}}, false,
            {0x00646464, 0x00323232, 0x00090909}},
        {{.width = 2, .colourType = Grey, .rows = {{7, 8}}, .keyColour = png_color_16{0, 0, 0, 0, 7}}, true,
            {0xFF070707, 0x00080808}},
        {{.width = 4, .colourType = Palette, .rows = {{0, 1, 2, 3}}, .palette = palette}, false,
            {0xFF0000, 0x00FF00, 0x0000FF, 0x123456}},
        {{.width = 4, .colourType = Palette, .rows = {{0, 1, 2, 3}}, .palette = palette, .paletteAlpha = {0, 128}},
            true, {0xFFFF0000, 0x7F00FF00, 0x000000FF, 0x00123456}},
        {{.width = 4, .colourType = Palette, .bitDepth = 2, .rows = {{0b11100100}}, .palette = palette}, false,
            {0x123456, 0x0000FF, 0x00FF00, 0xFF0000}},
        {Rgb2x2(), false, {0x102030, 0xFF0080, 0x010203, 0xAABBCC}},
        {{.width = 2, .colourType = Rgba, .rows = {{0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0xFF}}}, false,
            {0x00102030, 0x00405060}},
        {{.width = 2, .colourType = Rgba, .rows = {{0x10, 0x20, 0x30, 128, 0x40, 0x50, 0x60, 0}}}, true,
            {0x7F102030, 0xFF405060}},
        {keyedRgb, true, {0x00102030, 0xFFFF0080, 0x00010203, 0x00AABBCC}},
        {{.width = 2,
             .bitDepth = 16,
             .rows = {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xFF, 0xFF, 0x00, 0xFF, 0x80, 0x00}}},
            false, {0x12569A, 0xFF0080}},
        {{.colourType = Rgba, .bitDepth = 16, .rows = {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0x80, 0x00}}}, true,
            {0x7F12569A}},
        {{.width = 2, .colourType = Grey, .bitDepth = 16, .rows = {{0xAB, 0xCD, 0x01, 0xFF}}}, false,
            {0xABABAB, 0x010101}},
        {{.colourType = GreyAlpha, .bitDepth = 16, .rows = {{0x40, 0x00, 0x00, 0x10}}}, true, {0xFF404040}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.picture.colourType) + " depth " + std::to_string(c.picture.bitDepth) +
            " first row " + std::to_string(c.picture.rows[0][0]));
        ExpectImage(Decode(WritePng(c.picture)), c.picture.width, c.picture.height, c.alpha, c.pixels);
    }
}

TEST(Png, InterlacedImagesDecodeLikePlainOnes) {
    PngPicture plain;
    plain.width = 9;
    plain.height = 7;
    for (int y = 0; y < plain.height; ++y) {
        Bytes row;
        for (int x = 0; x < plain.width; ++x)
            row.insert(row.end(), {Bytes::value_type(x * 20), Bytes::value_type(y * 30), 7});
        plain.rows.push_back(row);
    }
    PngPicture interlaced = plain;
    interlaced.interlaced = true;
    const auto a = Decode(WritePng(plain)), b = Decode(WritePng(interlaced));
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_EQ(PixelsOf(*a), PixelsOf(*b));
    EXPECT_EQ(PixelsOf(*a)[8 + 6 * 9], 0xA0B407u);
}

TEST(Png, TruncatedAndCorruptDataGiveAnEmptyHandle) {
    const Bytes whole = WritePng(Rgb2x2());
    ASSERT_TRUE(Decode(whole));
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const Bytes cut(whole.begin(), whole.begin() + n);
        EXPECT_FALSE(Decode(cut)) << "cut at " << n;
    }
    // The decoder reads only the bytes it is given, even when more lie behind them.
    EXPECT_FALSE(UI::Image::DecodePng(static_cast<std::uint32_t>(whole.size() - 1), whole.data()));

    Bytes flipped = whole;
    flipped[flipped.size() - 20] ^= 0x40;  // inside the image data: its checksum fails
    EXPECT_FALSE(Decode(flipped));
    Bytes noise(200);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<std::uint8_t>(i * 37 + 11);
    EXPECT_FALSE(Decode(noise));
    std::memcpy(noise.data(), whole.data(), 8);  // a signature and then rubbish
    EXPECT_FALSE(Decode(noise));
    EXPECT_FALSE(UI::Image::DecodePng(0, whole.data()));
    EXPECT_FALSE(UI::Image::DecodePng(100, nullptr));
}

TEST(Png, HugeDeclaredSizesAreRefusedBeforeAnyAllocation) {
    PngPicture huge;
    huge.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    huge.headerOnly = true;
    for (auto [w, h] : {std::pair{100000, 100000}, std::pair{30000, 20000}, std::pair{1000000, 1}}) {
        huge.width = w;
        huge.height = h;
        Bytes bytes = WritePng(huge);
        bytes.resize(bytes.size() + 64, 0);  // a little rubbish where the data would be
        EXPECT_FALSE(Decode(bytes)) << w << "x" << h;
    }
}

TEST(Png, LoadingByArchivePath) {
    EXPECT_FALSE(UI::Image::LoadPng("UI/png/Missing.png"));

    // An archive of one member: directory entry, end of directory, then the PNG.
    const Bytes png = WritePng(Rgb2x2());
    const char path[] = "UI/png/Test.png";
    Bytes archive(path, path + sizeof path);  // with its NUL
    const std::uint32_t offset = 64, size = static_cast<std::uint32_t>(png.size());
    for (std::uint32_t word : {offset, size})
        for (int i = 0; i < 4; ++i) archive.push_back(static_cast<std::uint8_t>(word >> (8 * i)));
    archive.push_back(0);
    archive.resize(offset, 0);
    archive.insert(archive.end(), png.begin(), png.end());
    static Bytes kept;
    kept = archive;
    ASSERT_TRUE(ResourceArchive::Instance().LoadFromMemory(kept.data(), kept.size()));

    ExpectImage(UI::Image::LoadPng("UI/png/Test.png"), 2, 2, false, {0x102030, 0xFF0080, 0x010203, 0xAABBCC});
    EXPECT_FALSE(UI::Image::LoadPng("UI/png/test.png"));
}
