// Message box, open-file dialog and the text prompt on the fake window system.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/Dialog/MessageBox.h>
#include <QvBase/UI/Dialog/OpenFileDialog.h>
#include <QvBase/UI/Dialog/PromptDialog.h>
#include <QvBase/UI/Widgets/Slider.h>

#include <Platform/Gui/DialogTemplate.h>

using namespace toolkit_test;
using Platform::Gui::FakeDialog;

namespace {

class DialogTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        system->SetFrameInsets(0, 0, 0, 0);
        frame = MakeFrame(400, 300, nullptr);
    }
    // The frame goes before the information record it is listed in.
    void TearDown() override {
        frame.reset();
        ToolkitTest::TearDown();
    }
    std::unique_ptr<UI::Frame> frame;
};

}  // namespace

TEST_F(DialogTest, TheMessageBoxShowsCaptionAndTextInTheirPlaces) {
    EXPECT_EQ(UI::MessageBox(
                  frame->NativeWindow(), "Can't open file", "An error occurred while opening the selected file", false),
        UI::MessageBoxOk);
    UI::MessageBox(Platform::Gui::NoWindow, "Empty File", "This file is empty.", true);
    const auto& boxes = system->MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].owner, frame->NativeWindow());
    EXPECT_EQ(boxes[0].caption, "Can't open file");
    EXPECT_EQ(boxes[0].text, "An error occurred while opening the selected file");
    EXPECT_FALSE(boxes[0].systemModal);
    EXPECT_EQ(boxes[1].caption, "Empty File");
    EXPECT_TRUE(boxes[1].systemModal);
}

TEST(OpenFileFilters, ParallelLinesMakeOneEntryPerDescription) {
    auto f = UI::OpenFileFilters("WAV Files (*.wav)\nAll Files (*.*)", "*.wav\n*.*");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].description, "WAV Files (*.wav)");
    EXPECT_EQ(f[0].patterns, "*.wav");
    EXPECT_EQ(f[1].description, "All Files (*.*)");
    EXPECT_EQ(f[1].patterns, "*.*");
    EXPECT_TRUE(UI::OpenFileFilters("", "*.wav").empty());
    // Descriptions decide the count; a missing pattern is empty, extra patterns are ignored.
    f = UI::OpenFileFilters("A\nB", "*.a");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[1].patterns, "");
    EXPECT_EQ(UI::OpenFileFilters("A", "*.a\n*.b\n*.c").size(), 1u);
    // A trailing newline ends the list.
    EXPECT_EQ(UI::OpenFileFilters("A\n", "*.a\n").size(), 1u);
}

TEST_F(DialogTest, TheOpenDialogGetsFilterFolderTitleAndReturnsTheAnswer) {
    system->AnswerOpenFile("/music/take one.WAV");
    system->AnswerOpenFile(std::nullopt);
    const Path chosen = UI::GetOpenFileName(
        Path("/music/sessions/"), "", "WAV Files (*.wav)", "*.wav", 0, "Select an audio file", frame->NativeWindow());
    EXPECT_EQ(chosen.Text(), "/music/take one.WAV");
    const Path cancelled =
        UI::GetOpenFileName(Path(), "start.wav", "WAV Files (*.wav)\nAll (*.*)", "*.wav\n*.*", 1, "t", 0);
    EXPECT_TRUE(cancelled.IsEmpty());

    const auto& requests = system->OpenFileRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].title, "Select an audio file");
    EXPECT_EQ(requests[0].owner, frame->NativeWindow());
    EXPECT_EQ(requests[0].initialFolder, "/music/sessions");
    ASSERT_EQ(requests[0].filters.size(), 1u);
    EXPECT_EQ(requests[0].filters[0].patterns, "*.wav");
    EXPECT_EQ(requests[0].filterIndex, 0);
    EXPECT_EQ(requests[1].initialFolder, "");
    EXPECT_EQ(requests[1].initialName, "start.wav");
    EXPECT_EQ(requests[1].filterIndex, 1);
    // No answer left: cancelled.
    EXPECT_TRUE(UI::GetOpenFileName(Path(), "", "", "", 0, "t", 0).IsEmpty());
    EXPECT_TRUE(system->OpenFileRequests()[2].filters.empty());
}

TEST(OpenFileRequest, LongNamesAreCutWithoutSplittingACharacterAndBadIndexesSelectTheFirst) {
    const std::string name(2000, 'n');
    auto r = UI::MakeOpenFileRequest(Path(), String(name), "A", "*.a", 0, "t", 0);
    EXPECT_EQ(r.initialName, std::string(1023, 'n'));
    // 1022 bytes, then a two-byte character that would straddle the limit.
    const std::string accented = std::string(1022, 'x') + "\xC3\xA9" + "tail";
    r = UI::MakeOpenFileRequest(Path(), String(accented), "A", "*.a", 0, "t", 0);
    EXPECT_EQ(r.initialName, std::string(1022, 'x'));
    for (int index : {-1, 1, 1000})
        EXPECT_EQ(UI::MakeOpenFileRequest(Path(), "", "A", "*.a", index, "", 0).filterIndex, 0);
}

TEST(PromptTemplate, TheLayerReadsOneEditControlInDialogUnits) {
    const std::vector<std::uint8_t> bytes = UI::PromptDialog::BuildTemplate();
    ASSERT_EQ(bytes.size(), 1024u);
    EXPECT_EQ(bytes[0], 0x48);
    EXPECT_EQ(bytes[3], 0x80);
    EXPECT_EQ(bytes[52], 0x80);  // the control's style, after the 12-character face
    const auto t = Platform::Gui::ReadDialogTemplate(bytes.data(), bytes.size());
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->style, 0x80080048u);
    EXPECT_EQ(t->exStyle, 0x80u);
    EXPECT_EQ(t->units, (Platform::Gui::PixelRect{0, 0, 29, 14}));
    EXPECT_EQ(t->fontPoints, 8);
    EXPECT_EQ(t->fontFace, "MS Shell Dlg");
    EXPECT_EQ(t->title, "");
    ASSERT_EQ(t->items.size(), 1u);
    EXPECT_EQ(t->items[0].id, 1001u);
    EXPECT_EQ(t->items[0].classAtom, Platform::Gui::kEditControlAtom);
    EXPECT_EQ(t->items[0].style, 0x10001080u);
    EXPECT_EQ(t->items[0].exStyle, 1u);
    EXPECT_EQ(t->items[0].units, (Platform::Gui::PixelRect{0, 0, 29, 14}));
    EXPECT_EQ(t->items[0].text, "");
}

TEST_F(DialogTest, ThePromptFiltersTypingAndReturnsTheEditedText) {
    String text = "12";
    Platform::Gui::PixelRect placed;
    std::pair<int, int> selectionAtStart, caret;
    std::string shown;
    system->AnswerDialog([&](FakeDialog& d) {
        selectionAtStart = d.ItemSelection(1001);
        placed = d.DialogRect();
        EXPECT_EQ(d.FocusedItem(), 1001u);
        d.Type(1001, "xaby");
        shown = d.ItemText(1001);
        caret = d.ItemSelection(1001);
        d.PressEnter();
    });
    EXPECT_TRUE(UI::PromptText(frame.get(), {100, 50}, text, 80, "ab"));
    EXPECT_EQ(text, "xy");
    EXPECT_EQ(shown, "xy");
    EXPECT_EQ(caret, (std::pair<int, int>{2, 2}));
    EXPECT_EQ(selectionAtStart, (std::pair<int, int>{0, 2}));
    // Centred on the point with the width asked for; the height is the template's.
    EXPECT_EQ(placed.width, 80);
    EXPECT_EQ(placed.x, 100 - 40);
    EXPECT_EQ(placed.y, 50 - placed.height / 2);
}

TEST_F(DialogTest, RejectedCharactersAreCharactersNotBytes) {
    String text = "";
    system->AnswerDialog([&](FakeDialog& d) {
        d.Type(1001, "\xC3\xA9t\xC3\xA0");  // é t à
        d.PressEnter();
    });
    EXPECT_TRUE(UI::PromptText(frame.get(), {0, 0}, text, std::nullopt, "\xC3\xA0"));
    EXPECT_EQ(text, "\xC3\xA9t");
}

TEST_F(DialogTest, CancelDeactivationAndEmptyAcceptance) {
    String text = "keep";
    system->AnswerDialog([](FakeDialog& d) {
        d.Type(1001, "changed");
        d.Deactivate();
        d.PressEscape();  // already cancelled: ignored
    });
    EXPECT_FALSE(UI::PromptText(frame.get(), {10, 10}, text, std::nullopt, ""));
    EXPECT_EQ(text, "keep");

    system->AnswerDialog([](FakeDialog& d) { d.PressEscape(); });
    EXPECT_FALSE(UI::PromptText(frame.get(), {10, 10}, text, std::nullopt, ""));
    EXPECT_EQ(text, "keep");

    // Enter on an emptied field accepts the empty text.
    system->AnswerDialog([](FakeDialog& d) {
        d.SetItemText(1001, "");
        d.PressEnter();
        d.Deactivate();  // after acceptance: ignored
    });
    EXPECT_TRUE(UI::PromptText(frame.get(), {10, 10}, text, std::nullopt, ""));
    EXPECT_EQ(text, "");

    // Text beyond the limit reads as empty.
    text = "before";
    system->AnswerDialog([](FakeDialog& d) {
        d.SetItemText(1001, std::string(UI::PromptDialog::TextLimit + 1, 'z'));
        d.PressEnter();
    });
    EXPECT_TRUE(UI::PromptText(frame.get(), {10, 10}, text, std::nullopt, ""));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(UI::PromptText(nullptr, {0, 0}, text, std::nullopt, ""));
}

TEST_F(DialogTest, ASlidersTypedEntryUsesThePromptByDefault) {
    const UI::Slider::PromptFunction standard = UI::Slider::SetPrompt(nullptr);
    UI::Slider::SetPrompt(standard);
    String text = "3 dB";
    system->AnswerDialog([](FakeDialog& d) {
        d.SetItemSelection(1001, 0, -1);
        d.Type(1001, "-1a2.5 dB");
        d.PressEnter();
    });
    ASSERT_TRUE(standard);
    EXPECT_TRUE(standard(frame.get(), {20, 20}, text, UI::Slider::RejectedCharacters()));
    EXPECT_EQ(text, "-12.5");
}
