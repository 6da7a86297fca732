#pragma once

namespace UI {

class AudioCanvas;

// The second base of the displays, the display frame and the rulers: the shared canvas.
class AudioCanvasWindow {
public:
    explicit AudioCanvasWindow(AudioCanvas* canvas) : m_canvas(canvas) {}
    AudioCanvas* GetCanvas() const { return m_canvas; }

protected:
    ~AudioCanvasWindow() = default;

private:
    AudioCanvas* m_canvas;
};

}  // namespace UI
