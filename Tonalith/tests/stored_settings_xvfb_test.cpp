// What the program keeps in the settings store comes back when it starts again: the
// amplitude range at its minimum reads as stored, and one damaged line of the store file
// costs no setting but its own, also once the starting program has rewritten the file.
#include "app_fixture.h"

#include <Tonalith/App/EditorToolBar.h>
#include <Tonalith/App/EditorView.h>
#include <Tonalith/App/SimpleSlider.h>
#include <Tonalith/Display/AmpRuler.h>
#include <Tonalith/Display/Spectrogram.h>
#include <Tonalith/Display/TimeRuler.h>

#include <QvBase/UI/Native/Menu.h>
#include <QvBase/UI/Native/MenuBar.h>
#include <QvBase/UI/Widgets/PushButton.h>

#include <TestSupport/StoreDamage.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

class StoredSettingsXvfbTest : public app_test::AppTest {
protected:
    template <class T>
    T* Ruler(const char* name) const {
        UI::Window* displayFrame = window->GetView()->FindChild("EditorView Audio Display Frame");
        return dynamic_cast<T*>(displayFrame ? displayFrame->FindChild(name) : nullptr);
    }
    std::string Caption(const char* button) const {
        const auto* found = dynamic_cast<UI::PushButton*>(window->GetView()->GetToolBar()->FindChild(button));
        return found ? found->GetCaption().CStr() : "<none>";
    }
};

TEST_F(StoredSettingsXvfbTest, SettingsAfterADamagedLineSurviveTheProgramsNextWrite) {
    const std::string tone = Sox("tone.wav", "-r 8000 -c 1 -b 16", "1 sine 300");
    const std::string geometry = "[(200,150)-(899,649) 700x500]";
    const std::filesystem::path store = m_folder / "Quorvel/HKEY_CURRENT_USER.reg";
    StopProgram();
    {
        Settings settings(editor_test::kKeyPath);
        settings.SetInt(UI::AmpRuler::ModeKey, 2);  // the first line of the key: the one damaged
        settings.SetInt("EditorView.Spectrogram.FFTSize", 7);
        settings.SetInt("EditorView.Spectrogram.FFTWindow", 2);
        settings.SetFloat("EditorView.Spectrogram.AmpRange", 60.0f);
        settings.SetInt(UI::TimeRuler::ModeKey, 1);
        settings.SetString("RecentFile1", String(tone));
        settings.SetString("Tonalith Host Window.Geometry", String(geometry));
    }
    std::ifstream in(store, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t firstLine = text.rfind('\n', text.find("\"AmpRuler.Mode\"")) + 1;

    for (const TestSupport::LineDamage& damage : TestSupport::LineDamages()) {
        SCOPED_TRACE(damage.name);
        std::ofstream(store, std::ios::binary | std::ios::trunc) << damage.apply(text, firstLine);
        StartProgram();
        // The tool bar writes its opacities back as it starts, so the file is new already.
        EXPECT_TRUE(std::filesystem::exists(store.string() + ".damaged"));
        EXPECT_EQ(Caption("FFT Size PushButton"), "4096");
        EXPECT_EQ(Caption("Window PushButton"), "Bartlett");
        const UI::SimpleSlider* ampRange = window->GetView()->GetToolBar()->AmpRangeSlider();
        EXPECT_EQ(ampRange->GetValue(), 60.0f);
        EXPECT_STREQ(ampRange->GetValueReadout()->GetText().CStr(), "60.0");
        EXPECT_EQ(window->GetView()->GetSpectrogram()->GetSettings().ampRange, 60.0f);
        EXPECT_EQ(Ruler<UI::TimeRuler>("EditorView Time Ruler")->GetMode(), 1u);
        const bool ownLineKept = std::string(damage.name) == "junk line before it";
        EXPECT_EQ(Ruler<UI::AmpRuler>("EditorView Amplitude Ruler")->GetMode(), ownLineKept ? 2u : 0u);
        EXPECT_STREQ(host->GetMenuBar()->GetSubMenu(0)->Items()[3].label.CStr(), "&1 tone.wav");
        EXPECT_STREQ(host->GetPlacementRect().ToString().CStr(), geometry.c_str());
        StopProgram();

        // And the store still holds them for the start after.
        Settings settings(editor_test::kKeyPath);
        EXPECT_EQ(settings.GetInt("EditorView.Spectrogram.FFTSize", -1), 7);
        EXPECT_EQ(settings.GetInt("EditorView.Spectrogram.FFTWindow", -1), 2);
        EXPECT_EQ(settings.GetFloat("EditorView.Spectrogram.AmpRange", -1.0f), 60.0f);
        EXPECT_EQ(settings.GetInt(UI::TimeRuler::ModeKey, -1), 1);
        EXPECT_STREQ(settings.GetString("RecentFile1", String()).CStr(), tone.c_str());
        EXPECT_STREQ(settings.GetString("Tonalith Host Window.Geometry", String()).CStr(), geometry.c_str());
        EXPECT_EQ(settings.GetInt(UI::AmpRuler::ModeKey, -1), ownLineKept ? 2 : -1);
        std::filesystem::remove(store.string() + ".damaged");
    }
}

}  // namespace
