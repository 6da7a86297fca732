// make-images FOLDER: draws the tool bar slider's PNG pieces into FOLDER/UI/png. The pieces
// are plain flat shapes; run it again after changing a size or colour here and commit the result.

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Rgba {
    std::uint8_t r, g, b, a;
};

constexpr Rgba Opaque(std::uint32_t rgb) {
    return {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), 255};
}

constexpr Rgba kClear{0, 0, 0, 0};
constexpr Rgba kTrack = Opaque(0x22262D);
constexpr Rgba kTrackEdge = Opaque(0x626C7B);
constexpr Rgba kFill = Opaque(0x8FA6C8);
constexpr Rgba kThumb = Opaque(0xAEB5BE);

// The sliders are 95 by 13 pixels; a centred slider's middle columns are 46 and 47.
constexpr int kSliderWidth = 95;
constexpr int kSliderHeight = 13;
constexpr int kCentreLeft = 46;
constexpr int kCentreRight = 47;

struct Picture {
    int width, height;
    std::vector<Rgba> pixels;
    Picture(int w, int h, Rgba fill) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    void Set(int x, int y, Rgba c) { pixels[std::size_t(y) * width + x] = c; }
};

// A track: a one-pixel edge around a dark inside.
Picture Track(int width, int height) {
    Picture p(width, height, kTrack);
    for (int x = 0; x < width; ++x) {
        p.Set(x, 0, kTrackEdge);
        p.Set(x, height - 1, kTrackEdge);
    }
    for (int y = 0; y < height; ++y) {
        p.Set(0, y, kTrackEdge);
        p.Set(width - 1, y, kTrackEdge);
    }
    return p;
}

// The fill drawn over the track, inset by the edge; centred sliders leave the middle marked.
Picture Overlay(bool centred) {
    Picture p(kSliderWidth, kSliderHeight, kClear);
    for (int y = 2; y < kSliderHeight - 2; ++y)
        for (int x = 1; x < kSliderWidth - 1; ++x)
            p.Set(x, y, centred && (x == kCentreLeft || x == kCentreRight) ? kThumb : kFill);
    return p;
}

Picture Solid(int width, int height, Rgba colour) { return Picture(width, height, colour); }

bool WritePng(const std::filesystem::path& file, const Picture& picture) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "make-images: cannot create %s\n", file.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info;
    if (ok && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, out);
        png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
            PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < picture.height; ++y)
            png_write_row(png, reinterpret_cast<png_const_bytep>(&picture.pixels[std::size_t(y) * picture.width]));
        png_write_end(png, nullptr);
    } else {
        ok = false;
    }
    png_destroy_write_struct(&png, &info);
    if (std::fclose(out) != 0) ok = false;
    if (!ok) std::fprintf(stderr, "make-images: writing %s failed\n", file.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-images FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "UI" / "png";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "make-images: cannot create %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }
    const struct {
        const char* name;
        Picture picture;
    } pieces[] = {
        {"Slider_Left_Background.png", Track(kSliderWidth, kSliderHeight)},
        {"Slider_Center_Background.png", Track(kSliderWidth, kSliderHeight)},
        {"Slider_Left_Overlay.png", Overlay(false)},
        {"Slider_Center_Overlay.png", Overlay(true)},
        {"ScrollBar_TrackLeft.png", Track(4, kSliderHeight)},
        {"ScrollBar_TrackRight.png", Track(4, kSliderHeight)},
        {"ScrollBar_TrackHFill.png", Solid(1, kSliderHeight, kTrack)},
        {"ScrollBar_ThumbLeft.png", Solid(3, kSliderHeight - 4, kThumb)},
        {"ScrollBar_ThumbRight.png", Solid(3, kSliderHeight - 4, kThumb)},
        {"ScrollBar_ThumbHFill.png", Solid(1, kSliderHeight - 4, kThumb)},
    };
    for (const auto& piece : pieces)
        if (!WritePng(folder / piece.name, piece.picture)) return 1;
    return 0;
}
