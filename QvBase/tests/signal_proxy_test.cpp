#include <QvBase/Util/ObjectInvokeImpl.h>
#include <QvBase/Util/SignalProxy.h>

#include <gtest/gtest.h>

namespace {

class Button : public Object {
    QV_OBJECT()
public:
    Button() : Object("Button") {}
    void sigClicked();
    void sigRightClicked();
};

class Panel : public Object {
    QV_OBJECT()
public:
    Panel() : Object("Panel") {}
    void slotAdvance(bool bAdvance) { steps.push_back(bAdvance ? 1 : -1); }
    void slotOpen() { ++opened; }
    void slotOpenRecent(uint uIndex) { recent.push_back(uIndex); }
    std::vector<int> steps;
    std::vector<uint> recent;
    int opened = 0;
};

}  // namespace

QV_META_BEGIN(Button, Object)
    QV_SIGNAL(sigClicked)
    QV_SIGNAL(sigRightClicked)
    QV_META_SLOTS
QV_META_END

QV_META_BEGIN(Panel, Object)
    QV_META_SLOTS
    QV_SLOT(slotAdvance, (bool, bAdvance))
    QV_SLOT(slotOpen)
    QV_SLOT(slotOpenRecent, (uint, uIndex))
QV_META_END

void Button::sigClicked() { QV_EMIT(sigClicked); }
void Button::sigRightClicked() { QV_EMIT(sigRightClicked); }

TEST(SignalProxy, TurnsClicksIntoCallsWithAValue) {
    auto* button = new Button;
    Panel panel;
    auto* forward = new Util::SignalProxy(button, "2sigClicked()", &panel, "1slotAdvance(bool)", true);
    new Util::SignalProxy(button, "2sigRightClicked()", &panel, "1slotAdvance(bool)", false);
    EXPECT_STREQ(forward->ClassName(), "Util::SignalProxy");
    EXPECT_EQ(forward->Name(), "SignalProxy");
    EXPECT_TRUE(forward->Inherits("Object"));

    const MetaObject* meta = Util::SignalProxy::StaticMetaObject();
    EXPECT_EQ(meta->IndexOfSignal("sigProxy(uint)", false), 0u + meta->inheritedSignalCount);
    EXPECT_EQ(meta->IndexOfSignal("sigProxy(bool)", false), 1u + meta->inheritedSignalCount);
    EXPECT_EQ(meta->IndexOfSlot("slotProxyBool()", false), 1u);

    button->sigClicked();
    button->sigRightClicked();
    button->sigClicked();
    EXPECT_EQ(panel.steps, (std::vector<int>{1, -1, 1}));

    // The uint form carries 0.
    Panel other;
    ASSERT_TRUE(Object::Connect(forward, "2sigProxy(uint)", &other, "1slotOpenRecent(uint)"));
    forward->slotProxyUInt();
    EXPECT_EQ(other.recent, std::vector<uint>{0});

    delete button;  // the proxies go with their parent
    EXPECT_EQ(panel.steps.size(), 3u);
}

TEST(SignalProxy, UnknownMemberForwardsNothing) {
    Button button;
    Panel panel;
    auto* proxy = new Util::SignalProxy(&button, "2sigClicked()", &panel, "1slotMissing(bool)", true);
    auto* deaf = new Util::SignalProxy(&button, "2sigNothing()", &panel, "1slotAdvance(bool)", true);
    button.sigClicked();
    EXPECT_TRUE(panel.steps.empty());
    EXPECT_NE(proxy, deaf);
}

TEST(ObjectInvokeImpl, CallsAMemberByName) {
    Panel panel;
    {
        Util::ObjectInvokeImpl invoke(&panel, "1slotOpen()");
        EXPECT_STREQ(invoke.ClassName(), "Util::ObjectInvokeImpl");
        EXPECT_EQ(invoke.Name(), "ObjectInvokeImpl");
    }
    EXPECT_EQ(panel.opened, 1);
    {
        Util::ObjectInvokeImpl invoke(&panel, "1slotOpenRecent(uint)", 4u);
        EXPECT_EQ(invoke.Name(), "ObjectInvokeImpl - uint");
    }
    EXPECT_EQ(panel.recent, std::vector<uint>{4});
    Util::ObjectInvokeImpl(&panel, "1 slotOpen( )", 9u);  // a parameterless member ignores the value
    EXPECT_EQ(panel.opened, 2);

    Util::ObjectInvokeImpl(&panel, "1slotUnknown()");
    Util::ObjectInvokeImpl(&panel, "1slotOpenRecent(uint)");  // needs a value the signal lacks
    Util::ObjectInvokeImpl(nullptr, "1slotOpen()");
    Util::ObjectInvokeImpl(&panel, nullptr);
    EXPECT_EQ(panel.opened, 2);
    EXPECT_EQ(panel.recent.size(), 1u);
}
