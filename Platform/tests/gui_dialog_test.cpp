// Dialog templates in memory, and a text prompt played on the fake window system.
#include <Platform/Gui/DialogTemplate.h>
#include <Platform/Gui/Fake/FakeWindowSystem.h>

#include "gui_prompt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform::Gui;
using namespace gui_test;

TEST(GuiDialogTemplate, ReadsThePromptsTemplate) {
    const std::vector<std::uint8_t> bytes = PromptTemplate();
    const auto t = ReadDialogTemplate(bytes.data(), bytes.size());
    ASSERT_TRUE(t);
    EXPECT_EQ(t->style, 0x80080048u);
    EXPECT_EQ(t->exStyle, 0x80u);
    EXPECT_EQ(t->units, (PixelRect{0, 0, 29, 14}));
    EXPECT_EQ(t->title, "");
    EXPECT_EQ(t->fontPoints, 8);
    EXPECT_EQ(t->fontFace, "MS Shell Dlg");
    ASSERT_EQ(t->items.size(), 1u);
    const DialogItemTemplate& edit = t->items[0];
    EXPECT_EQ(edit.style, 0x10001080u);
    EXPECT_EQ(edit.exStyle, 1u);
    EXPECT_EQ(edit.units, (PixelRect{0, 0, 29, 14}));
    EXPECT_EQ(edit.id, 1001u);
    EXPECT_EQ(edit.classAtom, kEditControlAtom);
    EXPECT_EQ(edit.text, "");

    // 29 units of a 6-pixel character are 43.5 pixels, 14 of a 13-pixel line 22.75.
    EXPECT_EQ(DialogUnitsToPixels({2, 3, 29, 14}, 6, 13), (PixelRect{3, 5, 44, 23}));
    EXPECT_EQ(DialogUnitsToPixels({0, 0, 4, 8}, 7, 16), (PixelRect{0, 0, 7, 16}));
}

TEST(GuiDialogTemplate, RefusesWhatItCannotRead) {
    std::vector<std::uint8_t> bytes = PromptTemplate();
    bytes.resize(80);  // the edit control's record ends at byte 78
    ASSERT_TRUE(ReadDialogTemplate(bytes.data(), bytes.size()));
    for (std::size_t n = 0; n < 78; ++n) EXPECT_FALSE(ReadDialogTemplate(bytes.data(), n)) << "cut at " << n;
    EXPECT_FALSE(ReadDialogTemplate(nullptr, 100));

    std::vector<std::uint8_t> extended = bytes;
    extended[0] = 1, extended[1] = 0, extended[2] = 0xFF, extended[3] = 0xFF;
    EXPECT_FALSE(ReadDialogTemplate(extended.data(), extended.size()));

    // A title in UTF-16 with a pair and a lone surrogate; no items; no font.
    std::vector<std::uint8_t> titled;
    Long(titled, 0x80000000);
    Long(titled, 0);
    for (unsigned v : {0u, 1u, 2u, 30u, 40u, 0u, 0u}) Word(titled, v);
    for (unsigned v : {0x48u, 0xE9u, 0xD834u, 0xDD1Eu, 0xDC00u, 0u}) Word(titled, v);
    const auto t = ReadDialogTemplate(titled.data(), titled.size());
    ASSERT_TRUE(t);
    EXPECT_EQ(t->title, "H\xC3\xA9\xF0\x9D\x84\x9E\xEF\xBF\xBD");
    EXPECT_EQ(t->units, (PixelRect{1, 2, 30, 40}));
    EXPECT_TRUE(t->items.empty());
    EXPECT_EQ(t->fontPoints, 0);
}

TEST(GuiDialogTemplate, PromptOnTheFakeFiltersAcceptsAndCancels) {
    FakeWindowSystem fake;
    const std::vector<std::uint8_t> bytes = PromptTemplate();

    Prompt typed;
    typed.text = "old";
    typed.rejected = "ab";
    typed.width = 120;
    fake.AnswerDialog([](FakeDialog& d) {
        EXPECT_EQ(d.ItemText(1001), "old");
        EXPECT_EQ(d.ItemSelection(1001), (std::pair{0, 3}));  // all selected: typing replaces it
        EXPECT_EQ(d.FocusedItem(), 1001u);
        EXPECT_EQ(d.ItemSize(1001), (PixelSize{120, 23}));
        EXPECT_EQ(d.DialogRect(), (PixelRect{440, 289, 120, 23}));
        d.Type(1001, "xaby");
        EXPECT_EQ(d.ItemText(1001), "xy");
        EXPECT_EQ(d.ItemSelection(1001), (std::pair{2, 2}));
        d.PressEnter();
        d.Deactivate();  // too late to cancel
    });
    EXPECT_EQ(fake.RunTemplateDialog(NoWindow, bytes, typed), 0);
    EXPECT_TRUE(typed.accepted);
    EXPECT_FALSE(typed.cancelled);
    EXPECT_EQ(typed.text, "xy");

    Prompt left;
    left.text = "keep";
    fake.AnswerDialog([](FakeDialog& d) {
        d.Type(1001, "gone");
        d.Deactivate();
    });
    EXPECT_EQ(fake.RunTemplateDialog(NoWindow, bytes, left), 1);
    EXPECT_TRUE(left.cancelled);
    EXPECT_EQ(left.text, "keep");

    Prompt empty;
    empty.text = "abc";
    fake.AnswerDialog([](FakeDialog& d) {
        d.SetItemText(1001, "");
        d.PressEnter();
    });
    EXPECT_EQ(fake.RunTemplateDialog(NoWindow, bytes, empty), 0);
    EXPECT_EQ(empty.text, "");

    // An unreadable template makes no dialog; a dialog left open by its script is a test error.
    Prompt none;
    EXPECT_EQ(fake.RunTemplateDialog(NoWindow, {1, 2, 3}, none), -1);
    fake.AnswerDialog([](FakeDialog& d) { d.Type(1001, "x"); });
    EXPECT_THROW(fake.RunTemplateDialog(NoWindow, bytes, none), std::logic_error);
    EXPECT_EQ(fake.Calls().front(), "RunTemplateDialog 0 29x14 [1001 edit]");
}
