#include <QvBase/UI/ToolkitMessages.h>

#include <Platform/Gui/RegisteredMessages.h>

namespace UI {

unsigned CanvasUpdateMessage() {
    static const unsigned id = Platform::Gui::RegisterMessage("Quorvel_WM_QV_CANVAS_UPDATE");
    return id;
}

unsigned TimerTickMessage() {
    static const unsigned id = Platform::Gui::RegisterMessage("Quorvel_WM_QV_CANVAS_UPDATE_TIMER_TICK");
    return id;
}

namespace {

// Registered before main so the identifiers are fixed before any window exists.
[[maybe_unused]] const bool registeredAtStart = (CanvasUpdateMessage(), TimerTickMessage(), true);

}  // namespace

}  // namespace UI
