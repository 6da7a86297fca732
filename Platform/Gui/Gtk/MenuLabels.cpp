#include <Platform/Gui/Gtk/MenuLabels.h>

namespace Platform::Gui {

MenuLabelParts SplitMenuLabel(const std::string& label) {
    MenuLabelParts parts;
    const std::string::size_type tab = label.find('\t');
    const std::string text = label.substr(0, tab);
    if (tab != std::string::npos) parts.acceleratorText = label.substr(tab + 1);
    for (std::string::size_type i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                parts.mnemonicText += '&';
                ++i;
            } else if (i + 1 < text.size()) {
                parts.mnemonicText += '_';
            }
        } else if (c == '_') {
            parts.mnemonicText += "__";
        } else {
            parts.mnemonicText += c;
        }
    }
    return parts;
}

}  // namespace Platform::Gui
