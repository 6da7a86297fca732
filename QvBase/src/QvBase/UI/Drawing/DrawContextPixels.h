#pragma once
#include <QvBase/UI/Drawing/Colour.h>
#include <QvBase/UI/Drawing/Geometry.h>

#include <cstdint>

namespace UI {

class FontGlyphs;
class Image;

// Drawing on a block of 32-bit pixels 0x00RRGGBB whose rows lie `stride` pixels apart.
// The clip must lie inside the block: nothing is written outside it.

// Opaque fill of rect ∩ clip.
void FillRectPixels(std::uint32_t* pixels, int stride, const Rect& clip, const Rect& rect, Colour colour);

// Fill of rect ∩ clip at transparency t: each pixel is scaled by t and the colour,
// scaled by the rest, added. t = 0 paints the colour exactly.
void FillRectPixels(
    std::uint32_t* pixels, int stride, const Rect& clip, const Rect& rect, Colour colour, Transparency t);

// The four edges of rect, each only where the rectangle's own edge lies inside the clip.
void OutlineRectPixels(
    std::uint32_t* pixels, int stride, const Rect& clip, const Rect& rect, Colour colour, Transparency t);

// One pixel wide from `from` to `to`, both included; the minor coordinate steps after a
// whole step of error.
void DrawLinePixels(
    std::uint32_t* pixels, int stride, const Rect& clip, Point from, Point to, Colour colour, Transparency t);

// destination · t + colour · weight per channel, divided by 256 with rounding, top byte 0;
// t = 0 gives the colour and t = 255 the destination.
Colour BlendColourWeighted(Colour destination, Colour colour, Transparency t, unsigned weight);

// Copies `source` of the image to `to` (cut to the image, the clip and the surface on
// both sides alike); blends by each pixel's own transparency plus t unless t is 0 and
// the image has no alpha.
void BlitImagePixels(std::uint32_t* pixels, int stride, const Rect& clip, const Image& image, const Rect& source,
    Point to, Transparency t);

// One line of UTF-8 text whose top-left is `topLeft`.
void DrawTextPixels(std::uint32_t* pixels, int stride, const Rect& clip, FontGlyphs& font, Point topLeft,
    const char* text, Colour colour, Transparency t);

}  // namespace UI
