#pragma once
#include <QvBase/UI/Drawing/Colour.h>
#include <QvBase/UI/Drawing/Geometry.h>
#include <QvBase/Util/SharedPtr.h>

#include <Platform/Gui/Surface.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace UI {

class Image;

// 32-bit pixels 0x00RRGGBB, row 0 at the top, stride = width; what a memory draw
// context draws into and the window system shows.
class DibSurface {
public:
    DibSurface() = default;
    explicit DibSurface(Size size) { Create(size); }

    // Replaces the pixels by size.width × size.height pixels of 0. A zero or negative
    // size, too large a one or no memory leaves no pixels and returns false.
    bool Create(Size size);

    std::uint32_t* Pixels() const { return m_pixels.get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Stride() const { return m_width; }
    // {0, width - 1, 0, height - 1}; empty without pixels.
    Rect Bounds() const { return {0, m_width - 1, 0, m_height - 1}; }
    Platform::Gui::SurfaceView View() const { return {m_pixels.get(), m_width, m_height, m_width}; }

    // A filled rectangle at transparency t, cut to the surface.
    void FillRect(const Rect& rect, Colour colour, Transparency t);

    // A copy of the pixels as an image without alpha; an empty handle without pixels.
    SharedPtr<Image> Snapshot() const;

private:
    struct Freer {
        void operator()(std::uint32_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint32_t, Freer> m_pixels;
    int m_width = 0;
    int m_height = 0;
};

}  // namespace UI
