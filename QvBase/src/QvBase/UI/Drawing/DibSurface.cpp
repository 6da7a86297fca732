#include <QvBase/UI/Drawing/DibSurface.h>

#include <QvBase/UI/Drawing/DrawContextPixels.h>
#include <QvBase/UI/Drawing/Image.h>
#include <QvBase/UI/Drawing/ImageLimits.h>

#include <Primitives/Vec/Copy.h>

namespace UI {

bool DibSurface::Create(Size size) {
    m_pixels.reset();
    m_width = m_height = 0;
    if (!FitsImageLimits(size.width, size.height)) return false;
    m_pixels.reset(static_cast<std::uint32_t*>(
        std::calloc(static_cast<std::size_t>(size.width) * size.height, sizeof(std::uint32_t))));
    if (!m_pixels) return false;
    m_width = size.width;
    m_height = size.height;
    return true;
}

void DibSurface::FillRect(const Rect& rect, Colour colour, Transparency t) {
    if (m_pixels) FillRectPixels(m_pixels.get(), Stride(), Bounds(), rect, colour, t);
}

SharedPtr<Image> DibSurface::Snapshot() const {
    if (!m_pixels) return SharedPtr<Image>();
    SharedPtr<Image> image = Image::Create({m_width, m_height});
    if (!image || image->IsEmpty()) return SharedPtr<Image>();
    Vec::CopyU8(m_width * m_height * 4, reinterpret_cast<const std::uint8_t*>(m_pixels.get()),
        reinterpret_cast<std::uint8_t*>(image->Pixels()));
    return image;
}

}  // namespace UI
