#include <QvBase/UI/Drawing/MemoryDrawContext.h>

#include <QvBase/UI/Drawing/DrawContextPixels.h>
#include <QvBase/UI/Drawing/Image.h>
#include <QvBase/Util/Math.h>

namespace UI {

void MemoryDrawContext::Resize(Size size) {
    if (!m_surface || m_surface->Width() != size.width || m_surface->Height() != size.height)
        m_surface = SharedPtr<DibSurface>(new DibSurface(size));
    m_clip = {0, size.width - 1, 0, size.height - 1};
    m_passWidth = size.width;
    m_passHeight = size.height;
}

void MemoryDrawContext::CopyRectsToDevice(const std::vector<Rect>& rects, Device& device) {
    for (const Rect& rect : rects) CopyRectToDevice(rect, device);
    m_passWidth = m_passHeight = -1;
}

void MemoryDrawContext::CopyRectToDevice(const Rect& rect, Device& device) {
    if (!m_surface || !m_surface->Pixels()) return;
    const Rect area = Rect::Intersect(rect, m_surface->Bounds());
    if (area.HasArea()) device.Copy(m_surface->View(), area.ToNative());
}

void MemoryDrawContext::SetClipRect(const Rect& rect) {
    m_clip = Rect::Intersect(rect, {0, m_passWidth - 1, 0, m_passHeight - 1});
}

Rect MemoryDrawContext::DrawableClip() const {
    if (!m_surface || !m_surface->Pixels()) return {};
    return Rect::Intersect(m_clip, m_surface->Bounds());
}

void MemoryDrawContext::DrawRect(const Rect& rect, int mode, Colour colour, Transparency t) {
    const Rect clip = DrawableClip();
    if (!clip.HasArea()) return;
    const Rect r = rect.Offsetted(m_origin);
    if (mode == DrawRectFilled)
        FillRectPixels(m_surface->Pixels(), m_surface->Stride(), clip, r, colour, t);
    else if (mode == DrawRectOutline)
        OutlineRectPixels(m_surface->Pixels(), m_surface->Stride(), clip, r, colour, t);
}

void MemoryDrawContext::DrawLine(Point from, Point to, Colour colour, Transparency t) {
    const Rect clip = DrawableClip();
    if (clip.HasArea())
        DrawLinePixels(m_surface->Pixels(), m_surface->Stride(), clip, Shifted(from), Shifted(to), colour, t);
}

void MemoryDrawContext::BlendPixel(Point p, Colour colour, Transparency t) {
    const Rect clip = DrawableClip();
    const Point at = Shifted(p);
    if (!clip.Contains(at)) return;
    std::uint32_t& pixel = m_surface->Pixels()[static_cast<std::ptrdiff_t>(at.y) * m_surface->Stride() + at.x];
    pixel = BlendColour(pixel, colour, t);
}

void MemoryDrawContext::DrawText(FontGlyphs& font, Point topLeft, const String& text, Colour colour, Transparency t) {
    const Rect clip = DrawableClip();
    if (clip.HasArea())
        DrawTextPixels(m_surface->Pixels(), m_surface->Stride(), clip, font, Shifted(topLeft), text.CStr(), colour, t);
}

void MemoryDrawContext::DrawBitmap(const Image& image, const Rect& source, Point to, Transparency t) {
    const Rect clip = DrawableClip();
    if (clip.HasArea()) BlitImagePixels(m_surface->Pixels(), m_surface->Stride(), clip, image, source, Shifted(to), t);
}

void MemoryDrawContext::DrawImage(const SharedPtr<Image>& image, const Rect& source, Point to, Transparency t) {
    if (image) DrawBitmap(*image, source, to, t);
}

}  // namespace UI
