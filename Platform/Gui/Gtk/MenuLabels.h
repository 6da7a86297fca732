#pragma once
#include <string>

namespace Platform::Gui {

struct MenuLabelParts {
    std::string mnemonicText;  // "&" marks turned into the desktop's "_" marks
    std::string acceleratorText;
};

// "&Open...\tCtrl+O" -> "_Open..." and "Ctrl+O"; "&&" -> "&", "_" -> "__".
MenuLabelParts SplitMenuLabel(const std::string& label);

}  // namespace Platform::Gui
