#pragma once
#include <QvBase/UI/Drawing/Image.h>
#include <QvBase/UI/Text/Text.h>
#include <QvBase/UI/Widgets/Button.h>
#include <QvBase/Util/SharedPtr.h>

#include <memory>

namespace UI {

// A button with a caption for its drawing subclass, an optional label standing to its
// left (a sibling, in the parent's coordinates) and a fainter look when disabled.
class PushButton : public Button {
    QV_OBJECT()
public:
    // An image the drawing subclass may keep with the button.
    struct ImageHolder {
        SharedPtr<Image> image;
    };

    PushButton(Frame* frame, Window* parent, const String& name, const String& caption, const String& label);

    const String& GetCaption() const { return m_caption; }
    void SetCaption(const String& caption);
    // Null when the button was made without a label.
    Text* GetLabel() const { return m_label; }
    std::unique_ptr<ImageHolder>& GetImageHolder(uint index) { return m_images[index < 2 ? index : 1]; }

    // Metrics for the drawing subclass.
    virtual int GetFrameMetric() const { return 2; }
    virtual int GetCaptionMetric() const { return 5; }
    virtual Transparency GetDisabledTransparency() const { return 120; }

    void OnGeometryChanged() override;
    void OnEnabledChanged() override;

private:
    String m_caption;
    Text* m_label = nullptr;
    std::unique_ptr<ImageHolder> m_images[2];
};

}  // namespace UI
