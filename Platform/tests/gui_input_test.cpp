// The desktop-independent pieces of input translation, against hand-worked cases.
#include <Platform/Gui/Gtk/FilePatterns.h>
#include <Platform/Gui/Gtk/GtkKeys.h>
#include <Platform/Gui/Gtk/MenuLabels.h>
#include <Platform/Gui/Input/ClickTracker.h>
#include <Platform/Gui/Input/Modifiers.h>
#include <Platform/Gui/Keys.h>
#include <Platform/Gui/RegisteredMessages.h>

#include <gtest/gtest.h>

using namespace Platform::Gui;

TEST(GuiClickTracker, SecondPressSoonAndNearIsADoubleClickAndTheThirdStartsAgain) {
    ClickTracker t(400, 5);
    EXPECT_FALSE(t.Press(1, 1000, {10, 10}));
    EXPECT_TRUE(t.Press(1, 1300, {14, 6}));  // within 400 ms and 5 pixels
    EXPECT_FALSE(t.Press(1, 1400, {14, 6}));  // the third press is a plain press...
    EXPECT_TRUE(t.Press(1, 1500, {14, 6}));  // ...which can start the next double click

    EXPECT_FALSE(t.Press(1, 5000, {0, 0}));
    EXPECT_FALSE(t.Press(1, 5401, {0, 0}));  // too late
    EXPECT_FALSE(t.Press(1, 9000, {0, 0}));
    EXPECT_FALSE(t.Press(1, 9010, {6, 0}));  // too far
    EXPECT_FALSE(t.Press(3, 9020, {6, 0}));  // another button
    EXPECT_TRUE(t.Press(3, 9030, {6, 0}));

    // Across the wrap of the millisecond clock.
    EXPECT_FALSE(t.Press(1, 0xFFFFFF00u, {0, 0}));
    EXPECT_TRUE(t.Press(1, 0x00000010u, {0, 0}));
    t.Reset();
    EXPECT_FALSE(t.Press(1, 0x00000020u, {0, 0}));
}

TEST(GuiModifiers, AreReportedAsTheyAreAfterTheEvent) {
    EXPECT_EQ(KeyModifiersAfter(0, Key::Shift, true), Modifier::Shift);
    EXPECT_EQ(KeyModifiersAfter(Modifier::Shift, Key::Shift, false), 0u);
    EXPECT_EQ(KeyModifiersAfter(Modifier::Shift, Key::Control, true), Modifier::Shift | Modifier::Ctrl);
    EXPECT_EQ(KeyModifiersAfter(Modifier::Ctrl, 'A', true), Modifier::Ctrl);
    EXPECT_EQ(MouseModifiersAfter(0, 1, true), Modifier::LeftButton);
    EXPECT_EQ(MouseModifiersAfter(Modifier::LeftButton | Modifier::Ctrl, 1, false), Modifier::Ctrl);
    EXPECT_EQ(MouseModifiersAfter(Modifier::LeftButton, 3, true), Modifier::LeftButton | Modifier::RightButton);
    EXPECT_EQ(MouseModifiersAfter(0, 2, true), Modifier::MiddleButton);
    EXPECT_EQ(MouseModifiersAfter(Modifier::Shift, 8, true), Modifier::Shift);  // extra buttons carry no bit
}

// Key symbols by their X11 numbers, the desktop's published table.
TEST(GuiKeyMapping, DesktopSymbolsBecomeTheToolkitsKeyCodes) {
    const struct {
        unsigned symbol, key;
        const char* name;
    } cases[] = {{0x61, 'A', "a"}, {0x5A, 'Z', "Z"}, {0x37, '7', "7"}, {0xFF0D, 13, "Return"},
        {0xFF8D, 4096, "KP_Enter"}, {0xFF09, 9, "Tab"}, {0xFE20, 9, "ISO_Left_Tab (Shift+Tab)"}, {0xFF1B, 27, "Escape"},
        {0xFFE1, 16, "Shift_L"}, {0xFFE4, 17, "Control_R"}, {0xFFE9, 18, "Alt_L"}, {0xFF51, 37, "Left"},
        {0xFF54, 40, "Down"}, {0xFFFF, 46, "Delete"}, {0xFFBE, 112, "F1"}, {0xFFC9, 123, "F12"},
        {0xFFB3, 99, "KP_3 (Num Lock on)"}, {0xFF9C, 35, "KP_End (Num Lock off)"}, {0xFFAB, 107, "KP_Add"},
        {0x2D, 189, "minus"}, {0x1008FF11, 0, "a media key: none"}};
    for (const auto& c : cases) EXPECT_EQ(KeyCodeForSymbol(c.symbol), c.key) << c.name;
}

TEST(GuiKeyMapping, KeyDownsGiveTheCharactersTheToolkitExpects) {
    const struct {
        unsigned symbol, key;
        bool ctrl, alt;
        unsigned character;
    } cases[] = {{0x61, 'A', false, false, 'a'}, {0x41, 'A', false, false, 'A'}, {0x21, '1', false, false, '!'},
        {0xE9, 'E', false, false, 0xE9}, {0x20AC, 'E', false, false, 0x20AC}, {0xFF0D, 13, false, false, 13},
        {0xFF8D, 4096, false, false, 13}, {0xFF08, 8, false, false, 8}, {0xFF1B, 27, false, false, 27},
        {0x61, 'A', true, false, 1}, {0x31, '1', true, false, 0}, {0x61, 'A', false, true, 0},
        {0xFFFF, 46, false, false, 0}, {0xFF51, 37, false, false, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(CharacterForKey(c.symbol, c.key, c.ctrl, c.alt), c.character) << std::hex << c.symbol;
}

TEST(GuiFileFilter, PatternsMatchWithoutRegardToCase) {
    EXPECT_EQ(CaseInsensitivePattern("*.wav"), "*.[wW][aA][vV]");
    EXPECT_EQ(CaseInsensitivePattern("*.MP3"), "*.[mM][pP]3");
    EXPECT_EQ(CaseInsensitivePattern("*"), "*");
}

TEST(GuiRegisteredMessages, SameNameSameIdentifierFromTheRegisteredRange) {
    const unsigned update = RegisterMessage("Quorvel_WM_QV_CANVAS_UPDATE");
    const unsigned tick = RegisterMessage("Quorvel_WM_QV_CANVAS_UPDATE_TIMER_TICK");
    EXPECT_NE(update, tick);
    for (unsigned id : {update, tick}) {
        EXPECT_GE(id, 0xC000u);
        EXPECT_LE(id, 0xFFFFu);
    }
    EXPECT_EQ(RegisterMessage("Quorvel_WM_QV_CANVAS_UPDATE"), update);
    EXPECT_EQ(RegisterMessage("quorvel_wm_qv_canvas_update"), update);
    EXPECT_EQ(RegisterMessage(""), 0u);
}

TEST(GuiMenuLabels, MnemonicsAndShortcutTextBecomeTheDesktops) {
    const MenuLabelParts open = SplitMenuLabel("&Open...\tCtrl+O");
    EXPECT_EQ(open.mnemonicText, "_Open...");
    EXPECT_EQ(open.acceleratorText, "Ctrl+O");
    EXPECT_EQ(SplitMenuLabel("Save && Quit_Now").mnemonicText, "Save & Quit__Now");
    EXPECT_EQ(SplitMenuLabel("Trailing&").mnemonicText, "Trailing");
    EXPECT_EQ(SplitMenuLabel("1: /tmp/a.wav\tCtrl+Shift+?").acceleratorText, "Ctrl+Shift+?");
    EXPECT_EQ(SplitMenuLabel("").mnemonicText, "");
}
