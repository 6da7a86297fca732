#pragma once
#include <string>

namespace Platform::Gui {

// The font file that stands for a face file name of the program (such as "arial.ttf"):
// a few well-known names resolve to their own family or a metric-compatible one, any
// other name to an installed file of exactly that name. Empty when nothing fits.
std::string FindFontFile(const std::string& faceFileName);

}  // namespace Platform::Gui
