#pragma once
#include <QvBase/UI/FontGlyphs.h>

namespace UI {

// A font of the program's texts, kept in the application's font table.
class Font : public FontGlyphs {
public:
    virtual ~Font() = default;
};

}  // namespace UI
