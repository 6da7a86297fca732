// Menus on the fake window system: labels, numbering over the bar, commands reaching
// slots by name, accelerators, and menus rebuilt from inside their own command.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/ApplicationMainWindow.h>
#include <QvBase/UI/Native/HostWindow.h>
#include <QvBase/UI/Native/MenuAccelerators.h>
#include <QvBase/UI/Native/MenuBar.h>

#include <Platform/Gui/Keys.h>

using namespace toolkit_test;
using UI::Menu;
using UI::Rect;

namespace {

class MenuReceiver : public Object {
    QV_OBJECT()
public:
    explicit MenuReceiver(std::vector<std::string>* log) : Object("MenuReceiver"), log_(log) {}
    void slotOpen() {
        log_->push_back("open");
        if (onOpen) onOpen();
    }
    void slotOpenRecent(uint uIndex) {
        log_->push_back("recent " + std::to_string(uIndex));
        if (onRecent) onRecent(uIndex);
    }
    std::function<void()> onOpen;
    std::function<void(uint)> onRecent;

private:
    std::vector<std::string>* log_;
};

}  // namespace

QV_META_BEGIN(MenuReceiver, Object)
    QV_META_SLOTS
    QV_SLOT(slotOpen)
    QV_SLOT(slotOpenRecent, (uint, uIndex))
QV_META_END

namespace {

constexpr std::uint32_t Ctrl = Menu::ModifierCtrl, Shift = Menu::ModifierShift;

class MenuTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        host = UI::CreateMainHostWindow(info.get(), "Main", Rect::FromXYWH(10, 10, 300, 200), false, "T");
        receiver = std::make_unique<MenuReceiver>(&log);
    }
    void TearDown() override {
        delete host;
        receiver.reset();
        ToolkitTest::TearDown();
    }
    const std::vector<Platform::Gui::MenuSpec>& Shown() const { return system->Find(host->Handle())->menus; }
    // Runs the loop over the steps, one per idle turn, then quits.
    void RunSteps(std::vector<std::function<void()>> steps) {
        steps.push_back([this] { system->Quit(0); });
        std::size_t next = 0;
        system->SetIdleScript([&, steps] {
            if (next >= steps.size()) return false;
            steps[next++]();
            return true;
        });
        app->Run();
    }
    UI::Native::HostWindow* host = nullptr;
    std::unique_ptr<MenuReceiver> receiver;
    std::vector<std::string> log;
};

}  // namespace

TEST(MenuLabels, ShortcutPartFollowsATab) {
    EXPECT_EQ(Menu::ShownLabel("&Open...", Ctrl, 'O'), "&Open...\tCtrl+O");
    EXPECT_EQ(Menu::ShownLabel("E&xit", 0, 0), "E&xit");
    EXPECT_EQ(Menu::ShownLabel("Zoom", Ctrl | Shift, '7'), "Zoom\tCtrl+Shift+7");
    EXPECT_EQ(Menu::ShownLabel("Help", 0, Platform::Gui::Key::F1), "Help\t?");
    EXPECT_EQ(Menu::ShownLabel("Lower", Shift, 'a'), "Lower\tShift+?");
    // Data shows as it is: no mnemonic, no shortcut part.
    EXPECT_EQ(Menu::LiteralLabel("R&B && co\tlive_1.wav"), "R&&B &&&& co live_1.wav");

    // A free menu numbers its entries by position; separators carry nothing.
    Menu free;
    free.AddItem(false, "One", false, nullptr, std::nullopt, "", 0, 0);
    free.AddItem(true, "ignored", true, nullptr, 5u, "1slotOpen()", Ctrl, 'X');
    free.AddItem(false, "Three", true, nullptr, std::nullopt, "", 0, 0);
    ASSERT_EQ(free.Items().size(), 3u);
    EXPECT_EQ(free.Items()[0].command, 1u);
    EXPECT_TRUE(free.Items()[1].separator);
    EXPECT_EQ(free.Items()[1].command, 0u);
    EXPECT_EQ(free.Items()[1].label, "");
    EXPECT_EQ(free.Items()[1].key, 0u);
    EXPECT_FALSE(free.Items()[1].argument.has_value());
    EXPECT_EQ(free.Items()[2].command, 3u);
    EXPECT_EQ(free.Owner(), nullptr);
}

TEST_F(MenuTest, TheBarNumbersItsEntriesInMenuOrderAndShowsThem) {
    const int clientBefore = host->ClientRect().bottom;
    UI::MenuBar* bar = host->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(host->GetMenuBar(), bar);
    EXPECT_EQ(bar->Host(), host);

    SharedPtr<Menu> file(new Menu), view(new Menu);
    file->AddItem(false, "&Open...", false, receiver.get(), std::nullopt, "1slotOpen()", Ctrl, 'O');
    file->AddItem(true, "", false, nullptr, std::nullopt, "", 0, 0);
    file->AddItem(false, "E&xit", false, nullptr, std::nullopt, "", 0, 0);
    view->AddItem(false, "A", true, nullptr, std::nullopt, "", 0, 0);
    view->AddItem(false, "B", false, nullptr, std::nullopt, "", 0, 0);
    view->AddItem(true, "", false, nullptr, std::nullopt, "", 0, 0);
    bar->AddSubMenu("&File", file);
    bar->AddSubMenu("&View", view);
    EXPECT_EQ(file->Owner(), bar);
    EXPECT_EQ(bar->SubMenuCount(), 2u);
    EXPECT_EQ(bar->GetSubMenu(1), view);
    EXPECT_FALSE(bar->GetSubMenu(2));

    EXPECT_EQ(file->Items()[0].command, 1u);
    EXPECT_EQ(file->Items()[1].command, 0u);
    EXPECT_EQ(file->Items()[2].command, 2u);
    EXPECT_EQ(view->Items()[0].command, 3u);
    EXPECT_EQ(view->Items()[1].command, 4u);

    const auto& shown = Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title, "&File");
    ASSERT_EQ(shown[0].entries.size(), 3u);
    EXPECT_EQ(shown[0].entries[0].label, "&Open...\tCtrl+O");
    EXPECT_EQ(shown[0].entries[0].command, 1u);
    EXPECT_TRUE(shown[0].entries[1].separator);
    EXPECT_EQ(shown[1].entries[0].command, 3u);
    EXPECT_TRUE(shown[1].entries[0].checked);
    EXPECT_EQ(shown[1].entries[1].command, 4u);
    // The bar takes its height from the client area.
    EXPECT_EQ(host->ClientRect().bottom, clientBefore - 20);

    auto* table = dynamic_cast<UI::MenuAccelerators*>(app->GetAcceleratorTable());
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->Entries().size(), 1u);
    EXPECT_EQ(table->Entries()[0].key, 'O');
    EXPECT_EQ(table->Entries()[0].command, 1u);
}

TEST_F(MenuTest, ChosenEntriesAndShortcutsInvokeTheirSlotsByName) {
    UI::MenuBar* bar = host->GetMenuBar();
    SharedPtr<Menu> file(new Menu);
    file->AddItem(false, "&Open...", false, receiver.get(), std::nullopt, "1slotOpen()", Ctrl, 'O');
    file->AddItem(false, "Recent", false, receiver.get(), 7u, "1slotOpenRecent(uint)", Ctrl | Shift, 'R');
    file->AddItem(false, "Nothing", false, nullptr, std::nullopt, "1slotOpen()", 0, 0);
    file->AddItem(false, "Unknown slot", false, receiver.get(), std::nullopt, "1slotMissing()", 0, 0);
    bar->AddSubMenu("&File", file);
    const auto id = host->Handle();
    namespace Modifier = Platform::Gui::Modifier;

    EXPECT_TRUE(system->ChooseMenuEntry(id, 1));
    EXPECT_TRUE(system->ChooseMenuEntry(id, 2));
    EXPECT_EQ(log, (std::vector<std::string>{"open", "recent 7"}));
    // Entries without a receiver or with a slot the receiver lacks are taken and do nothing.
    EXPECT_TRUE(bar->OnCommand(3));
    EXPECT_TRUE(bar->OnCommand(4));
    EXPECT_FALSE(bar->OnCommand(5));
    EXPECT_FALSE(bar->OnCommand(0));
    log.clear();

    // Shortcuts need exactly their modifiers.
    RunSteps({[&] { system->TypeKey(id, 'O', 'o', Modifier::Ctrl); },
        [&] { system->TypeKey(id, 'O', 'O', Modifier::Ctrl | Modifier::Shift); },
        [&] { system->TypeKey(id, 'R', 'R', Modifier::Ctrl | Modifier::Shift); },
        [&] { system->TypeKey(id, 'R', 'r', Modifier::Ctrl); }, [&] { system->TypeKey(id, 'O', 'o'); }});
    EXPECT_EQ(log, (std::vector<std::string>{"open", "recent 7"}));

    // Alt held: no shortcut.
    log.clear();
    RunSteps({[&] {
        system->InjectKey(id, {Platform::Gui::KeyKind::Down, Platform::Gui::Key::Alt, 0, 0, false});
        system->TypeKey(id, 'O', 0, Modifier::Ctrl);
        system->InjectKey(id, {Platform::Gui::KeyKind::Up, Platform::Gui::Key::Alt, 0, 0, false});
    }});
    EXPECT_EQ(log, std::vector<std::string>{});
}

TEST_F(MenuTest, ARecentListRebuiltFromItsOwnCommandRenumbersTheBar) {
    UI::MenuBar* bar = host->GetMenuBar();
    SharedPtr<Menu> file(new Menu), recent(new Menu);
    file->AddItem(false, "&Open...", false, receiver.get(), std::nullopt, "1slotOpen()", Ctrl, 'O');
    bar->AddSubMenu("&File", file);
    bar->AddSubMenu("&Recent", recent);
    // The slot empties and refills the menu whose entry was chosen.
    auto fill = [&](uint count) {
        recent->Clear();
        for (uint i = 1; i <= count; ++i)
            recent->AddItem(false, String("%1 file").Arg(i), false, receiver.get(), i, "1slotOpenRecent(uint)", 0, 0);
    };
    receiver->onRecent = [&](uint index) { fill(index + 2); };
    fill(3);
    EXPECT_EQ(recent->Items()[2].command, 4u);

    EXPECT_TRUE(system->ChooseMenuEntry(host->Handle(), 3));
    EXPECT_EQ(log, std::vector<std::string>{"recent 2"});
    ASSERT_EQ(recent->Items().size(), 4u);
    EXPECT_EQ(recent->Items()[3].command, 5u);
    EXPECT_EQ(Shown()[1].entries.size(), 4u);
    EXPECT_EQ(Shown()[1].entries[3].label, "4 file");

    // Clearing the only shortcut leaves the application without a table; adding one makes a new table.
    file->Clear();
    EXPECT_EQ(recent->Items()[0].command, 1u);
    EXPECT_EQ(app->GetAcceleratorTable(), nullptr);
    file->AddItem(false, "&Open...", false, receiver.get(), std::nullopt, "1slotOpen()", Ctrl, 'P');
    auto* table = dynamic_cast<UI::MenuAccelerators*>(app->GetAcceleratorTable());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->Entries()[0].key, 'P');
    EXPECT_EQ(table->Entries()[0].command, 1u);
    EXPECT_EQ(recent->Items()[0].command, 2u);
}

TEST_F(MenuTest, MenusOutlivingTheirBarNoLongerReachIt) {
    SharedPtr<Menu> kept(new Menu);
    host->GetMenuBar()->AddSubMenu("&File", kept);
    delete host;
    host = nullptr;
    EXPECT_EQ(kept->Owner(), nullptr);
    kept->AddItem(false, "Late", false, nullptr, std::nullopt, "", Ctrl, 'L');  // no bar to rebuild
    EXPECT_EQ(kept->Items().size(), 1u);
}

TEST_F(MenuTest, ABarMadeBeforeItsWindowIsShownWhenTheWindowIsMade) {
    UI::Native::HostWindow late(info.get(), "Late");
    SharedPtr<Menu> file(new Menu);
    file->AddItem(false, "&Open...", false, receiver.get(), std::nullopt, "1slotOpen()", Ctrl, 'O');
    late.GetMenuBar()->AddSubMenu("&File", file);
    late.Create(0, 0, "Late", Rect::FromXYWH(0, 0, 100, 100), false, false, false, false);
    ASSERT_NE(late.Handle(), Platform::Gui::NoWindow);
    ASSERT_EQ(system->Find(late.Handle())->menus.size(), 1u);
    EXPECT_EQ(late.ClientRect().bottom, 100 - 20 - 1);
    EXPECT_TRUE(system->ChooseMenuEntry(late.Handle(), 1));
    EXPECT_EQ(log, std::vector<std::string>{"open"});
}
