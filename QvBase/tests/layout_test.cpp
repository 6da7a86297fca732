// Layout files: applying documents made here (well-formed, malformed and hostile),
// saving a window tree, and the window's own save and load.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/Layout/Layout.h>

#include <tinyxml.h>

#include <unistd.h>
#include <fstream>

using namespace toolkit_test;

namespace {

class Designable : public Probe {
public:
    Designable(UI::Frame* frame, UI::Window* parent, const char* name, uint kind, const char* layoutName = "")
        : Probe(frame, parent, name) {
        m_layoutKind = kind;
        m_layoutName = layoutName;
    }
};

class LayoutTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        frame = MakeFrame(400, 300, nullptr);
        bar = new Designable(frame.get(), nullptr, "bar", 2, "TestBar");
        bar->SetGeometry(5, 6, 300, 50);
        a = new Probe(frame.get(), bar, "a");
        a->SetGeometry(1, 2, 10, 20);
        a1 = new Probe(frame.get(), a, "a1");
        a1->SetGeometry(3, 3, 4, 4);
        b = new Designable(frame.get(), bar, "b", 3);
        b->SetGeometry(40, 0, 30, 30);
        b1 = new Designable(frame.get(), b, "b1", 1);
        b1->SetGeometry(2, 3, 5, 6);
        c = new Designable(frame.get(), bar, "c", 3);
        c1 = new Probe(frame.get(), c, "c1");
    }
    // The frame goes before the information record it is listed in.
    void TearDown() override {
        frame.reset();
        ToolkitTest::TearDown();
    }
    static std::string Doc(const std::string& children, const std::string& rootAttributes = "") {
        return "<?xml version=\"1.0\" standalone=\"yes\" ?><QvCanvasLayout-1" + rootAttributes + ">" + children +
            "</QvCanvasLayout-1>";
    }
    bool Apply(const std::string& text) { return UI::ApplyLayoutText(String(text), bar); }

    std::unique_ptr<UI::Frame> frame;
    Designable *bar, *b, *b1, *c;
    Probe *a, *a1, *c1;
};

}  // namespace

TEST(LayoutAttributes, LookupAndSetterUseExactNames) {
    TiXmlElement e("Child");
    EXPECT_EQ(UI::LayoutAttribute(e, "X"), "");
    UI::SetLayoutAttribute(e, "X", "1");
    UI::SetLayoutAttribute(e, "Y", "2");
    UI::SetLayoutAttribute(e, "X", "3");
    EXPECT_EQ(UI::LayoutAttribute(e, "X"), "3");
    EXPECT_EQ(UI::LayoutAttribute(e, "x"), "");
    ASSERT_NE(e.FirstAttribute(), nullptr);
    EXPECT_STREQ(e.FirstAttribute()->Name(), "X");
    EXPECT_STREQ(e.FirstAttribute()->Next()->Name(), "Y");
    EXPECT_EQ(e.FirstAttribute()->Next()->Next(), nullptr);
}

TEST_F(LayoutTest, ElementsPlaceNamedChildrenAndRecordTheirLayoutRectangles) {
    ASSERT_TRUE(
        Apply(Doc("<Child X=\"7\" Y=\"8\" Width=\"30\" Height=\"40\" Type=\"UI::Window\">a"
                  "<Child X=\"1\" Y=\"1\" Width=\"2\" Height=\"2\" Type=\"UI::Window\">a1</Child></Child>"
                  "<Child X=\"9\">missing</Child>",
            " X=\"11\" Y=\"12\" Width=\"200\" Height=\"20\"")));
    EXPECT_EQ(bar->GetRect(), UI::Rect::FromXYWH(11, 12, 200, 20));
    EXPECT_EQ(a->GetRect(), UI::Rect::FromXYWH(7, 8, 30, 40));
    EXPECT_EQ(a->LayoutRect(), a->GetRect());
    EXPECT_EQ(a1->GetRect(), UI::Rect::FromXYWH(1, 1, 2, 2));
    // Missing attributes read as 0.
    ASSERT_TRUE(Apply(Doc("<Child X=\"4\" Type=\"UI::Window\">a</Child>")));
    EXPECT_EQ(a->GetRect(), UI::Rect::FromXYWH(4, 0, 0, 0));
}

TEST_F(LayoutTest, ATypeMismatchMovesTheWindowButNotItsChildrenAndNoXAppliesOnlyTheChildren) {
    ASSERT_TRUE(
        Apply(Doc("<Child X=\"50\" Y=\"5\" Width=\"10\" Height=\"10\" Type=\"UI::PushButton\">a"
                  "<Child X=\"0\" Y=\"0\" Width=\"1\" Height=\"1\" Type=\"UI::Window\">a1</Child></Child>")));
    EXPECT_EQ(a->GetRect(), UI::Rect::FromXYWH(50, 5, 10, 10));
    EXPECT_EQ(a1->GetRect(), UI::Rect::FromXYWH(3, 3, 4, 4));

    const UI::Rect before = b->GetRect();
    ASSERT_TRUE(
        Apply(Doc("<Child>b<Child X=\"9\" Y=\"9\" Width=\"9\" Height=\"9\" Type=\"UI::Window\">b1</Child></Child>")));
    EXPECT_EQ(b->GetRect(), before);
    EXPECT_EQ(b->LayoutRect(), (UI::Rect{0, 99, 0, 99}));
    EXPECT_EQ(b1->GetRect(), UI::Rect::FromXYWH(9, 9, 9, 9));

    // Unnamed elements, names that come second and empty names are skipped.
    ASSERT_TRUE(
        Apply(Doc("<Child X=\"1\" Y=\"1\" Width=\"1\" Height=\"1\"></Child>"
                  "<Child X=\"1\" Y=\"1\" Width=\"1\" Height=\"1\"><Child>b</Child>a</Child>")));
    EXPECT_EQ(a->GetRect(), UI::Rect::FromXYWH(50, 5, 10, 10));
}

TEST_F(LayoutTest, MalformedAndHostileDocumentsChangeNothing) {
    const UI::Rect barRect = bar->GetRect(), aRect = a->GetRect();
    for (const std::string& bad : {std::string(), std::string("not xml at all"), std::string("<Other/>"),
             std::string("<QvCanvasLayout-2 X=\"1\"/>"),
             std::string("<QvCanvasLayout-1 X=\"1\"><Child X=\"3\">a</Child>"),
             std::string("<QvCanvasLayout-1 X=\"1\" X=\"2\"></QvCanvasLayout-1>junk<"),
             std::string("<QvCanvasLayout-1 X=\"1\"><Child X=\"3\">a</Other></QvCanvasLayout-1>")}) {
        EXPECT_FALSE(Apply(bad)) << bad;
        EXPECT_EQ(bar->GetRect(), barRect) << bad;
        EXPECT_EQ(a->GetRect(), aRect) << bad;
    }
    // So deep that a recursive parser would run out of stack.
    std::string deep = "<QvCanvasLayout-1>";
    for (int i = 0; i < 200000; ++i) deep += "<Child>";
    EXPECT_FALSE(Apply(deep));
    std::string deepClosed = "<QvCanvasLayout-1>";
    for (int i = 0; i < UI::LayoutMaxDepth + 1; ++i) deepClosed += "<Child>a";
    for (int i = 0; i < UI::LayoutMaxDepth + 1; ++i) deepClosed += "</Child>";
    EXPECT_FALSE(Apply(deepClosed + "</QvCanvasLayout-1>"));
    // Closing marks inside attribute values, text, comments and character data close nothing.
    for (const char* level : {"<Child X=\"/>\">", "<Child X='</a>'>", "<Child>/>", "<Child><!-- </a> -->",
             "<Child><![CDATA[</a>]]>", "<Child><!DOCTYPE </a>>", "<Child>< </a>", "<Child><?pi </a>",
             "<Child><?xml version='</a>'?>", "<Child><?xml x\"y version=\"><!--\" ?>"}) {
        std::string disguised = "<QvCanvasLayout-1>";
        for (int i = 0; i < 200000; ++i) disguised += level;
        EXPECT_FALSE(Apply(disguised)) << level;
    }
    // Nesting that the limit allows is applied.
    std::string shallow;
    for (int i = 0; i < 50; ++i) shallow += "<Child>zz";
    for (int i = 0; i < 50; ++i) shallow += "</Child>";
    EXPECT_TRUE(Apply(Doc(shallow)));

    // Values that are not whole numbers within limits leave the window and its children alone.
    for (const char* attrs : {"X=\"abc\"", "X=\"12abc\"", "X=\"1\" Width=\"-5\"", "X=\"99999999999\"",
             "X=\"1\" Height=\"2000000\"", "X=\"-2000000\"", "X=\"0x10\"", "X=\"1\" Y=\" 2\""}) {
        EXPECT_TRUE(Apply(Doc(std::string("<Child ") + attrs +
            " Type=\"UI::Window\">a<Child X=\"0\" Y=\"0\" Width=\"1\" Height=\"1\">a1</Child></Child>")))
            << attrs;
        EXPECT_EQ(a->GetRect(), aRect) << attrs;
        EXPECT_EQ(a1->GetRect(), UI::Rect::FromXYWH(3, 3, 4, 4)) << attrs;
    }
    // A bad root geometry is skipped; its children still apply.
    EXPECT_TRUE(
        Apply(Doc("<Child X=\"+3\" Y=\"-4\" Width=\"5\" Height=\"6\" Type=\"UI::Window\">a</Child>", " X=\"1e9\"")));
    EXPECT_EQ(bar->GetRect(), barRect);
    EXPECT_EQ(a->GetRect(), UI::Rect::FromXYWH(3, -4, 5, 6));
    EXPECT_FALSE(UI::ApplyLayoutText(String(Doc("")), nullptr));
}

TEST_F(LayoutTest, SavingKeepsTopLevelChildrenAndDesignableDescendantsOnly) {
    const std::string text = UI::LayoutDocumentText(bar, true).CStr();
    EXPECT_NE(text.find("<?xml version=\"1.0\" standalone=\"yes\" ?>"), std::string::npos) << text;
    EXPECT_EQ(text.find("encoding"), std::string::npos);
    TiXmlDocument doc;
    doc.Parse(text.c_str());
    ASSERT_FALSE(doc.Error()) << text;
    const TiXmlElement* root = doc.RootElement();
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->Value(), "QvCanvasLayout-1");
    EXPECT_STREQ(root->Attribute("X"), "5");
    EXPECT_STREQ(root->Attribute("Width"), "300");

    // a: a full top-level element with its five attributes in order, a1 not kept.
    const TiXmlElement* ea = root->FirstChildElement("Child");
    ASSERT_NE(ea, nullptr);
    EXPECT_STREQ(ea->FirstChild()->Value(), "a");
    std::vector<std::string> names;
    for (const TiXmlAttribute* at = ea->FirstAttribute(); at; at = at->Next()) names.push_back(at->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"X", "Y", "Width", "Height", "Type"}));
    EXPECT_STREQ(ea->Attribute("Type"), "UI::Window");
    EXPECT_STREQ(ea->Attribute("Height"), "20");
    EXPECT_EQ(ea->FirstChildElement(), nullptr);
    // b (an inner part) is kept by name only because b1 is designable; c and c1 are dropped.
    const TiXmlElement* eb = ea->NextSiblingElement();
    ASSERT_NE(eb, nullptr);
    EXPECT_STREQ(eb->FirstChild()->Value(), "b");
    EXPECT_EQ(eb->FirstAttribute(), nullptr);
    const TiXmlElement* eb1 = eb->FirstChildElement();
    ASSERT_NE(eb1, nullptr);
    EXPECT_STREQ(eb1->FirstChild()->Value(), "b1");
    EXPECT_STREQ(eb1->Attribute("X"), "2");
    EXPECT_EQ(eb->NextSiblingElement(), nullptr);

    // Without the window itself the root has no geometry; a round trip restores the tree.
    const String withoutSelf = UI::LayoutDocumentText(bar, false);
    a->SetGeometry(0, 0, 1, 1);
    b1->SetGeometry(0, 0, 1, 1);
    bar->SetGeometry(0, 0, 9, 9);
    ASSERT_TRUE(UI::ApplyLayoutText(withoutSelf, bar));
    EXPECT_EQ(bar->GetRect(), UI::Rect::FromXYWH(0, 0, 9, 9));
    EXPECT_EQ(a->GetRect(), UI::Rect::FromXYWH(1, 2, 10, 20));
    EXPECT_EQ(b1->GetRect(), UI::Rect::FromXYWH(2, 3, 5, 6));

    // A tree with nothing designable below its top-level children saves only those.
    Probe lone(frame.get(), nullptr, "lone");
    auto* only = new Probe(frame.get(), &lone, "only");
    new Probe(frame.get(), only, "inner");
    const std::string loneText = UI::LayoutDocumentText(&lone, false).CStr();
    EXPECT_NE(loneText.find(">only</Child>"), std::string::npos) << loneText;
    EXPECT_EQ(loneText.find("inner"), std::string::npos) << loneText;
}

TEST_F(LayoutTest, TheWindowSavesOnlyWithQvRootAndLoadsFilesOrTheArchive) {
    char pattern[] = "/tmp/layout-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    std::filesystem::create_directories(dir + "/UI/Layout");
    unsetenv("QVROOT");

    EXPECT_FALSE(bar->SaveLayout(true));
    EXPECT_FALSE(std::filesystem::exists(dir + "/UI/Layout/TestBar.layout"));
    setenv("QVROOT", "", 1);
    EXPECT_FALSE(a->SaveLayout(true));  // no layout name
    EXPECT_TRUE(bar->SaveLayout(false));
    unsetenv("QVROOT");
    EXPECT_TRUE(std::filesystem::exists(dir + "/UI/Layout/TestBar.layout"));

    // Files are read from a folder; the window's own load reads the archive, which has no such member.
    a->SetGeometry(0, 0, 1, 1);
    EXPECT_TRUE(UI::LoadLayout(String((dir + "/").c_str()), "UI/Layout/TestBar.layout", bar));
    EXPECT_EQ(a->GetRect(), UI::Rect::FromXYWH(1, 2, 10, 20));
    EXPECT_FALSE(bar->LoadLayout());
    EXPECT_FALSE(a->LoadLayout());
    EXPECT_FALSE(UI::LoadLayout(String((dir + "/").c_str()), "UI/Layout/None.layout", bar));
    std::ofstream(dir + "/empty.layout").flush();
    EXPECT_FALSE(UI::LoadLayout(String((dir + "/").c_str()), "empty.layout", bar));

    ASSERT_EQ(chdir(previous), 0);
    std::filesystem::remove_all(dir);
}

TEST_F(LayoutTest, TheProgramsToolBarLayoutPlacesItsNamedWidgets) {
    std::ifstream in(std::string(TONALITH_SOURCE_DIR) + "/Tonalith/resources/UI/Layout/EditorToolBar.layout");
    ASSERT_TRUE(in) << "the tool bar's layout file is missing";
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto* fft = new Probe(frame.get(), bar, "FFT Size PushButton");
    ASSERT_TRUE(Apply(text));
    // Its class differs from the file's type: moved all the same.
    EXPECT_EQ(fft->GetRect(), UI::Rect::FromXYWH(349, 8, 100, 20));
    EXPECT_EQ(fft->LayoutRect(), fft->GetRect());
}
