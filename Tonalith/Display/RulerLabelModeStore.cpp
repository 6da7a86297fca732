#include <Tonalith/Display/RulerLabelModeStore.h>

#include <QvBase/UI/Application.h>

namespace UI {

std::uint32_t ReadRulerMode(const char* key, std::uint32_t modeCount) {
    Application* app = Application::Current();
    const auto mode = static_cast<std::uint32_t>(app ? app->GetSettings().GetInt(key, 0) : 0);
    return mode < modeCount ? mode : 0;
}

void WriteRulerMode(const char* key, std::int32_t mode) {
    if (Application* app = Application::Current()) app->GetSettings().SetInt(key, mode);
}

}  // namespace UI
