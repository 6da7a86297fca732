#pragma once
#include <QvBase/UI/Drawing/DibSurface.h>
#include <QvBase/UI/Drawing/DrawContext.h>

namespace UI {

// Draws in software into a DibSurface and copies rectangles of it to the device.
class MemoryDrawContext : public DrawContext {
public:
    explicit MemoryDrawContext(const String& name) : DrawContext(name) {}

    // A new surface only when the size changes, so pixels a pass leaves alone keep
    // what was drawn before. The origin stays.
    void Resize(Size size) override;
    // Ends the pass: a clip set afterwards is empty until the next Resize.
    void CopyRectsToDevice(const std::vector<Rect>& rects, Device& device) override;
    void CopyRectToDevice(const Rect& rect, Device& device) override;

    Rect GetClipRect() const override { return m_clip; }
    void SetClipRect(const Rect& rect) override;
    Point GetOrigin() const override { return m_origin; }
    void SetOrigin(Point origin) override { m_origin = origin; }

    void DrawRect(const Rect& rect, int mode, Colour colour, Transparency t) override;
    void DrawLine(Point from, Point to, Colour colour, Transparency t) override;
    void BlendPixel(Point p, Colour colour, Transparency t) override;
    void DrawText(FontGlyphs& font, Point topLeft, const String& text, Colour colour, Transparency t) override;
    void DrawBitmap(const Image& image, const Rect& source, Point to, Transparency t) override;
    void DrawImage(const SharedPtr<Image>& image, const Rect& source, Point to, Transparency t) override;

    // Null before the first Resize.
    const SharedPtr<DibSurface>& Surface() const { return m_surface; }
    // The size of the running pass; -1 by -1 between passes.
    Size PassSize() const { return {m_passWidth, m_passHeight}; }

private:
    // Where drawing may write: the clip, cut to the pixels that exist.
    Rect DrawableClip() const;
    Point Shifted(Point p) const { return {p.x + m_origin.x, p.y + m_origin.y}; }

    SharedPtr<DibSurface> m_surface;
    int m_passWidth = -1;
    int m_passHeight = -1;
    Rect m_clip;
    Point m_origin;
};

}  // namespace UI
