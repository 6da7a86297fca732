#include <Tonalith/Display/RulerLabelModeStore.h>

#include <QvBase/UI/Application.h>

namespace UI {

std::int32_t ReadRulerMode(const char* key) {
    Application* app = Application::Current();
    return app ? app->GetSettings().GetInt(key, 0) : 0;
}

void WriteRulerMode(const char* key, std::int32_t mode) {
    if (Application* app = Application::Current()) app->GetSettings().SetInt(key, mode);
}

}  // namespace UI
