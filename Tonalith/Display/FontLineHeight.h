#pragma once
#include <QvBase/UI/Text/Font.h>

namespace UI {

// Ascent plus descent of a font; a font that knows only its ascent gives that.
template <class F>
int FontLineHeight(F& font) {
    if constexpr (requires {
                      font.GetAscent();
                      font.GetDescent();
                  })
        return font.GetAscent() + font.GetDescent();
    else
        return font.Ascent();
}

}  // namespace UI
