#pragma once
#include <QvBase/UI/Drawing/Geometry.h>
#include <QvBase/UI/Drawing/PixelBuffer.h>
#include <QvBase/Util/SharedPtr.h>
#include <QvBase/Util/String.h>

#include <cstdint>

namespace UI {

// A block of 32-bit pixels 0xTTRRGGBB, rows `Stride()` pixels apart, row 0 at the top.
// TT is the pixel's own transparency (0 opaque, 255 invisible); it is read only when
// HasAlpha() says that some pixel carries one.
class Image {
public:
    // Empty: no pixels, stride 0, width and height -1.
    Image() = default;

    // width × height pixels whose contents are not set, stride = width. A zero or
    // negative size gives an empty image; too large a size or no memory, an empty handle.
    static SharedPtr<Image> Create(Size size);
    // A PNG member of the resource archive; an empty handle when it is missing or bad.
    static SharedPtr<Image> LoadPng(const String& path);
    // A PNG held in memory; an empty handle on any failure.
    static SharedPtr<Image> DecodePng(std::uint32_t size, const void* data);

    // Holds memory from PixelBuffer::Allocate instead of the current block.
    void SetPixels(std::uint32_t* memory) { m_pixels.Reset(memory); }
    std::uint32_t* Pixels() const { return m_pixels.Get(); }
    const PixelBuffer& Buffer() const { return m_pixels; }

    int Stride() const { return m_stride; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool HasAlpha() const { return m_alpha; }
    void SetAlpha(bool alpha) { m_alpha = alpha; }
    // True when there is nothing to draw.
    bool IsEmpty() const { return !m_pixels.Get() || m_width < 1 || m_height < 1; }
    // {0, width - 1, 0, height - 1}
    Rect Bounds() const { return {0, m_width - 1, 0, m_height - 1}; }

private:
    PixelBuffer m_pixels;
    int m_stride = 0;
    int m_width = -1;
    int m_height = -1;
    bool m_alpha = false;
};

}  // namespace UI
