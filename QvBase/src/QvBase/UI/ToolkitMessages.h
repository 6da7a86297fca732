#pragma once

namespace UI {

// The toolkit's two window messages, registered by name before the program starts.
// "Quorvel_WM_QV_CANVAS_UPDATE": a frame has dirty rectangles to repaint.
unsigned CanvasUpdateMessage();
// "Quorvel_WM_QV_CANVAS_UPDATE_TIMER_TICK": a tick of the update timer's thread mode.
unsigned TimerTickMessage();

}  // namespace UI
