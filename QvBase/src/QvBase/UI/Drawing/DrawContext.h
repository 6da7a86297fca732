#pragma once
#include <QvBase/UI/Drawing/Colour.h>
#include <QvBase/UI/Drawing/Geometry.h>
#include <QvBase/Util/SharedPtr.h>
#include <QvBase/Util/String.h>
#include <QvBase/noncopyable.h>

#include <Platform/Gui/Events.h>

#include <vector>

namespace UI {

class FontGlyphs;
class Image;

// Where copies to the screen go: the window system's expose target.
using Device = Platform::Gui::ExposeTarget;

enum DrawRectMode { DrawRectOutline = 0, DrawRectFilled = 1 };

// The target a window paints into. Coordinates given to the drawing operations are
// relative to the origin; nothing is drawn outside the clip rectangle.
class DrawContext : noncopyable {
public:
    explicit DrawContext(const String& name) : m_name(name) {}
    virtual ~DrawContext() = default;

    const String& Name() const { return m_name; }

    // Starts a pass at this size: the clip becomes the whole surface.
    virtual void Resize(Size size) = 0;
    // Copies each rectangle to the device, then ends the pass.
    virtual void CopyRectsToDevice(const std::vector<Rect>& rects, Device& device) = 0;
    virtual void CopyRectToDevice(const Rect& rect, Device& device) = 0;

    virtual Rect GetClipRect() const = 0;
    // Limited to the pass's surface: empty outside a pass.
    virtual void SetClipRect(const Rect& rect) = 0;
    virtual Point GetOrigin() const = 0;
    virtual void SetOrigin(Point origin) = 0;

    // mode: DrawRectFilled or DrawRectOutline; any other draws nothing.
    virtual void DrawRect(const Rect& rect, int mode, Colour colour, Transparency t) = 0;
    // One pixel wide, both ends included.
    virtual void DrawLine(Point from, Point to, Colour colour, Transparency t) = 0;
    virtual void BlendPixel(Point p, Colour colour, Transparency t) = 0;
    // One line of UTF-8 text with its top-left at `topLeft`.
    virtual void DrawText(FontGlyphs& font, Point topLeft, const String& text, Colour colour, Transparency t) = 0;
    // Copies, or blends by each pixel's own transparency plus t, `source` of the image to `to`.
    virtual void DrawBitmap(const Image& image, const Rect& source, Point to, Transparency t) = 0;
    virtual void DrawImage(const SharedPtr<Image>& image, const Rect& source, Point to, Transparency t) = 0;

private:
    String m_name;
};

}  // namespace UI
