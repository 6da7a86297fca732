// The tool bar's drawn slider: float values over the integer track, typed values, readout.
#include "ruler_fixture.h"

#include <Tonalith/App/SimpleSlider.h>

#include <QvBase/Object/MetaDeclare.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::string> g_valueLog;

class ValueRecorder : public Object {
    QV_OBJECT()
public:
    explicit ValueRecorder(UI::SimpleSlider* s) : Object("ValueRecorder") {
        Object::Connect(s, "2sigUserValueChanged()", this, "1slotPlain()");
        Object::Connect(s, "2sigUserValueChanged(float)", this, "1slotValue(float)");
    }
    void slotPlain() { g_valueLog.push_back("changed"); }
    void slotValue(float v) { g_valueLog.push_back(std::to_string(v)); }
};

}  // namespace

QV_META_BEGIN(ValueRecorder, Object)
    QV_META_SLOTS
    QV_SLOT(slotPlain)
    QV_SLOT(slotValue, (float, v))
QV_META_END

namespace {

class SimpleSliderTest : public ruler_test::RulerTest {
protected:
    void SetUp() override {
        RulerTest::SetUp();
        back = new UI::Window(frame.get(), nullptr, "Back");
        back->SetGeometry(0, 0, kFrameWidth, kFrameHeight);
        slider = new UI::SimpleSlider(frame.get(), back, false, "Amplitude Range Slider", "Amp. range:", true);
        slider->SetGeometry(330, 80, 95, 13);
        recorder = std::make_unique<ValueRecorder>(slider);
        g_valueLog.clear();
    }
    void TearDown() override {
        recorder.reset();
        delete back;
        RulerTest::TearDown();
    }
    static std::vector<std::string> Take() { return std::exchange(g_valueLog, {}); }
    std::string Readout() const { return slider->GetValueReadout()->GetText().CStr(); }

    UI::Window* back = nullptr;
    UI::SimpleSlider* slider = nullptr;
    std::unique_ptr<ValueRecorder> recorder;
};

TEST_F(SimpleSliderTest, ProgramValuesAreKeptAsSetAndTheThumbStopsAtTheEnds) {
    EXPECT_EQ(slider->GetMinimum(), 0.0f);
    EXPECT_EQ(slider->GetMaximum(), 1.0f);
    EXPECT_EQ(Readout(), "0.0");
    slider->SetRange(60.0f, 300.0f);
    EXPECT_EQ(slider->GetValue(), 60.0f);  // below the new minimum
    EXPECT_EQ(slider->GetPosition(), 0u);
    EXPECT_EQ(Readout(), "60.0");
    slider->SetValue(60.0f);  // a stored minimum, as the tool bar sets it
    EXPECT_EQ(Readout(), "60.0");
    slider->SetValue(120.0f);
    EXPECT_EQ(Readout(), "120.0");
    // 60/240 of a 95-pixel track: 23.75 -> 24.
    EXPECT_EQ(slider->GetPosition(), 24u);
    slider->SetValue(500.0f);
    EXPECT_EQ(slider->GetValue(), 500.0f);
    EXPECT_EQ(slider->GetPosition(), 95u);
    slider->SetValue(10.0f);
    EXPECT_EQ(slider->GetValue(), 10.0f);
    EXPECT_EQ(slider->GetPosition(), 0u);
    EXPECT_TRUE(Take().empty()) << "values set by the program emit nothing";

    // Range changes pull a value outside them in, NaN to the minimum.
    slider->SetValue(std::numeric_limits<float>::quiet_NaN());
    slider->SetRange(60.0f, 300.0f);
    EXPECT_EQ(slider->GetValue(), 60.0f);
    slider->SetValue(299.0f);
    slider->SetRange(0.0f, 1.0f);
    EXPECT_EQ(slider->GetValue(), 1.0f);
}

TEST_F(SimpleSliderTest, TypedValuesAreClampedAndAlwaysReported) {
    slider->SetRange(60.0f, 300.0f);
    slider->SetValue(120.0f);
    slider->slotEdited("500");
    EXPECT_EQ(slider->GetValue(), 300.0f);
    EXPECT_EQ(Readout(), "300.0");
    EXPECT_EQ(slider->GetPosition(), 95u);
    EXPECT_EQ(Take(), (std::vector<std::string>{"changed", std::to_string(300.0f)}));
    slider->slotEdited("abc");
    slider->slotEdited("");
    EXPECT_EQ(slider->GetValue(), 300.0f);
    EXPECT_TRUE(Take().empty());
    // The same value again still tells the owner.
    slider->slotEdited("300");
    EXPECT_EQ(Take(), (std::vector<std::string>{"changed", std::to_string(300.0f)}));
    slider->slotEdited("-12.5");
    EXPECT_EQ(slider->GetValue(), 60.0f);
    EXPECT_EQ(Readout(), "60.0");
}

TEST_F(SimpleSliderTest, DraggingToTheEndsGivesExactlyTheRangeEnds) {
    slider->SetRange(60.0f, 300.0f);
    slider->SetValue(120.0f);
    // Press on the track, drag past both ends.
    frame->OnMouse(0, {330 + 40, 86}, 1, 0);
    frame->OnMouse(6, {330 + 500, 86}, 1, 0);
    EXPECT_EQ(slider->GetValue(), 300.0f);
    EXPECT_EQ(Readout(), "300.0");
    frame->OnMouse(6, {0, 86}, 1, 0);
    EXPECT_EQ(slider->GetValue(), 60.0f);
    frame->OnMouse(1, {0, 86}, 0, 0);
    const auto log = Take();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "changed");
    EXPECT_EQ(log.back(), std::to_string(60.0f));
}

TEST_F(SimpleSliderTest, LabelAndReadoutSitBesideTheSliderAndFadeWhenDisabled) {
    UI::Text* label = slider->GetLabel();
    UI::Text* readout = slider->GetValueReadout();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Parent(), back);
    EXPECT_EQ(readout->Parent(), back);
    EXPECT_EQ(label->GetRect().right, 330 - 5);
    EXPECT_EQ(readout->GetRect().left, 330 + 94 + 5);
    EXPECT_EQ(label->GetRect().top, 80 + (13 - label->Height()) / 2);
    slider->SetEnabled(false);
    EXPECT_EQ(slider->EffectiveTransparency(), 180);
    EXPECT_EQ(label->EffectiveTransparency(), 180);
    slider->SetEnabled(true);
    EXPECT_EQ(readout->EffectiveTransparency(), 0);

    auto* unlabelled = new UI::SimpleSlider(frame.get(), back, true, "Pan", "", true);
    EXPECT_EQ(unlabelled->GetLabel(), nullptr);
    EXPECT_EQ(unlabelled->GetMinimum(), -1.0f);
    EXPECT_EQ(UI::SimpleSlider::ReadoutText(-0.01f), "0.0");
    EXPECT_EQ(UI::SimpleSlider::ReadoutText(1.0f), "1.0");
}

}  // namespace
