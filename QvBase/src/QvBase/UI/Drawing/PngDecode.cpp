#include <QvBase/UI/Drawing/Image.h>
#include <QvBase/UI/Drawing/ImageLimits.h>

#include <Primitives/Vec/Copy.h>

#include <png.h>

#include <csetjmp>
#include <cstdlib>

namespace UI {

namespace {

struct PngSource {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->size - source->position) png_error(png, "pngReadFunction: Too many bytes requested");
    Vec::CopyU8(static_cast<std::int32_t>(count), source->data + source->position, out);
    source->position += count;
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Everything a libpng error may leave behind lives here, outside the frame that
// set the jump buffer, so that the caller frees it whichever way decoding ends.
struct Decoding {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngSource source{};
    png_bytep bytes = nullptr;
    png_bytepp rows = nullptr;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colourType = 0;
    int bitDepth = 0;

    ~Decoding() {
        std::free(rows);
        std::free(bytes);
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

// Reads the whole image into `d.bytes` as 8-bit samples with inverted alpha; false on
// any libpng error. No object with a destructor may live in this frame: libpng's
// errors leave it by longjmp.
bool ReadRows(Decoding& d) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    png_set_read_fn(d.png, &d.source, ReadFromMemory);
    png_read_info(d.png, d.info);
    d.width = png_get_image_width(d.png, d.info);
    d.height = png_get_image_height(d.png, d.info);
    if (!FitsImageLimits(d.width, d.height)) return false;
    png_set_strip_16(d.png);
    png_set_invert_alpha(d.png);
    if (png_get_interlace_type(d.png, d.info) != PNG_INTERLACE_NONE) png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    d.colourType = png_get_color_type(d.png, d.info);
    d.bitDepth = png_get_bit_depth(d.png, d.info);
    const std::size_t rowBytes = png_get_rowbytes(d.png, d.info);
    if (rowBytes == 0 || rowBytes > std::size_t{4} * d.width) return false;
    d.bytes = static_cast<png_bytep>(std::malloc(rowBytes * d.height));
    d.rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * d.height));
    if (!d.bytes || !d.rows) return false;
    for (std::uint32_t y = 0; y < d.height; ++y) d.rows[y] = d.bytes + rowBytes * y;
    png_read_image(d.png, d.rows);
    png_read_end(d.png, nullptr);
    return true;
}

std::uint32_t Grey(std::uint8_t g) { return std::uint32_t{g} << 16 | std::uint32_t{g} << 8 | g; }

// Writes the rows as 0xTTRRGGBB pixels; returns whether any pixel has a transparency.
bool ConvertRows(const Decoding& d, Image& image) {
    bool alpha = false;
    for (std::uint32_t y = 0; y < d.height; ++y) {
        const png_byte* in = d.rows[y];
        std::uint32_t* out = image.Pixels() + static_cast<std::size_t>(y) * image.Stride();
        for (std::uint32_t x = 0; x < d.width; ++x) {
            switch (d.colourType) {
            case PNG_COLOR_TYPE_GRAY: out[x] = Grey(in[x]); break;
            case PNG_COLOR_TYPE_RGB:
                out[x] = std::uint32_t{in[3 * x]} << 16 | std::uint32_t{in[3 * x + 1]} << 8 | in[3 * x + 2];
                break;
            case PNG_COLOR_TYPE_GRAY_ALPHA:
                out[x] = std::uint32_t{in[2 * x + 1]} << 24 | Grey(in[2 * x]);
                alpha |= in[2 * x + 1] != 0;
                break;
            default:  // RGBA
                out[x] = std::uint32_t{in[4 * x + 3]} << 24 | std::uint32_t{in[4 * x]} << 16 |
                    std::uint32_t{in[4 * x + 1]} << 8 | in[4 * x + 2];
                alpha |= in[4 * x + 3] != 0;
                break;
            }
        }
    }
    return alpha;
}

}  // namespace

SharedPtr<Image> Image::DecodePng(std::uint32_t size, const void* data) {
    if (!data) return SharedPtr<Image>();
    Decoding d;
    // The library's own version: a read structure asked for another refuses to work.
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnoreWarning);
    if (!d.png) return SharedPtr<Image>();
    // Palettes to RGB, grey below 8 bits to 8 bits, a transparency chunk to alpha.
    png_set_palette_to_rgb(d.png);
    png_set_expand_gray_1_2_4_to_8(d.png);
    png_set_tRNS_to_alpha(d.png);
    d.info = png_create_info_struct(d.png);
    if (!d.info) return SharedPtr<Image>();
    d.source = {static_cast<const std::uint8_t*>(data), size, 0};
    if (!ReadRows(d)) return SharedPtr<Image>();

    const bool known = d.colourType == PNG_COLOR_TYPE_GRAY || d.colourType == PNG_COLOR_TYPE_RGB ||
        d.colourType == PNG_COLOR_TYPE_GRAY_ALPHA || d.colourType == PNG_COLOR_TYPE_RGB_ALPHA;
    if (!known || d.bitDepth != 8) return SharedPtr<Image>();
    SharedPtr<Image> image = Create({static_cast<int>(d.width), static_cast<int>(d.height)});
    if (!image || image->IsEmpty()) return SharedPtr<Image>();
    image->m_alpha = ConvertRows(d, *image);
    return image;
}

}  // namespace UI
