#include <QvBase/Object/Object.h>
#include <QvBase/Object/Signature.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

int g_destroyed = 0;

class Base : public Object {
    QV_OBJECT()
public:
    Base() : Object("Base") {}
    void sigA();
    void sigB(int iValue);
    void slotX() {}
};

class Middle : public Base {
    QV_OBJECT()
public:
    void slotY(uint uValue) { lastY = uValue; }
    uint lastY = 0;
};

class Leaf : public Middle {
    QV_OBJECT()
public:
    ~Leaf() override { ++g_destroyed; }
    void sigA();  // the same text as the base's signal, declared again here
    void sigC(const String& sText, bool bFlag);
    void slotZ() {}
};

// Hands its parent new children while it is being destroyed.
class Heir : public Object {
public:
    Heir(Object* parent, int heirs) : m_parent(parent), m_heirs(heirs) {}
    ~Heir() override {
        ++g_destroyed;
        for (int i = 0; i < m_heirs; ++i) m_parent->AddChild(new Heir(m_parent, 0));
    }

private:
    Object* m_parent;
    int m_heirs;
};

}  // namespace

QV_META_BEGIN(Base, Object)
    QV_SIGNAL(sigA)
    QV_SIGNAL(sigB, (int, iValue))
    QV_META_SLOTS
    QV_SLOT(slotX)
QV_META_END

QV_META_BEGIN(Middle, Base)
    QV_META_SLOTS
    QV_SLOT(slotY, (uint, uValue))
QV_META_END

QV_META_BEGIN(Leaf, Middle)
    QV_SIGNAL(sigA)
    QV_SIGNAL(sigC, (const String&, sText), (bool, bFlag))
    QV_META_SLOTS
    QV_SLOT(slotZ)
QV_META_END

void Base::sigA() { QV_EMIT(sigA); }
void Base::sigB(int iValue) { QV_EMIT(sigB, iValue); }
void Leaf::sigA() { QV_EMIT(sigA); }
void Leaf::sigC(const String& sText, bool bFlag) { QV_EMIT(sigC, sText, bFlag); }

TEST(Object, IndexesRunOverTheClassChain) {
    const MetaObject* object = Object::StaticMetaObject();
    const MetaObject* base = Base::StaticMetaObject();
    const MetaObject* middle = Middle::StaticMetaObject();
    const MetaObject* leaf = Leaf::StaticMetaObject();
    EXPECT_EQ(object->parent, nullptr);
    EXPECT_EQ(base->parent, object);
    EXPECT_EQ(leaf->parent, middle);
    EXPECT_STREQ(leaf->className, "Leaf");

    EXPECT_EQ(middle->inheritedSignalCount, 2u);
    EXPECT_EQ(middle->SignalCount(false), 0u);
    EXPECT_EQ(leaf->inheritedSignalCount, 2u);  // a class without signals adds none
    EXPECT_EQ(leaf->SignalCount(true), 4u);
    EXPECT_EQ(leaf->SlotCount(true), 3u);
    EXPECT_EQ(leaf->inheritedSlotCount, 2u);

    EXPECT_EQ(leaf->IndexOfSignal("sigC(const String&,bool)"), 3u);
    EXPECT_EQ(leaf->IndexOfSignal("sigA()"), 2u);  // the subclass's own comes first
    EXPECT_EQ(base->IndexOfSignal("sigA()"), 0u);
    EXPECT_EQ(leaf->IndexOfSignal("sigB(int)"), 1u);
    EXPECT_FALSE(leaf->IndexOfSignal("sigB(int)", false));
    EXPECT_FALSE(leaf->IndexOfSignal("sigNone()"));
    EXPECT_FALSE(leaf->IndexOfSignal(nullptr));
    EXPECT_EQ(leaf->IndexOfSlot("slotY(uint)"), 1u);
    EXPECT_EQ(leaf->IndexOfSlot("slotZ()"), 2u);

    ASSERT_NE(leaf->SignalEntry(1), nullptr);
    EXPECT_STREQ(leaf->SignalEntry(1)->signature, "sigB(int)");
    EXPECT_STREQ(leaf->SignalEntry(3)->signature, "sigC(const String&,bool)");
    EXPECT_EQ(leaf->SignalEntry(4), nullptr);
    EXPECT_STREQ(leaf->SignalEntry(1, false)->signature, "sigC(const String&,bool)");
    EXPECT_EQ(leaf->SignalEntry(2, false), nullptr);
    EXPECT_EQ(object->SignalEntry(0), nullptr);
    EXPECT_STREQ(leaf->SlotEntry(1)->signature, "slotY(uint)");

    const MetaMethod* method = leaf->SignalEntry(3)->method;
    EXPECT_STREQ(method->name, "sigC");
    ASSERT_EQ(method->paramCount, 2);
    EXPECT_STREQ(method->params[0].name, "sText");
    EXPECT_STREQ(method->params[0].typeName, "const String&");
    EXPECT_STREQ(method->params[1].typeName, "bool");
    EXPECT_EQ(leaf->SignalEntry(2)->method->params, nullptr);
}

TEST(Object, NamesInheritanceAndDispatch) {
    Leaf leaf;
    Object plain("plain");
    EXPECT_EQ(leaf.Name(), "Base");
    EXPECT_EQ(plain.Name(), "plain");
    EXPECT_STREQ(leaf.ClassName(), "Leaf");
    EXPECT_STREQ(plain.ClassName(), "Object");
    EXPECT_EQ(leaf.MetaObject(), Leaf::StaticMetaObject());
    EXPECT_TRUE(leaf.Inherits("Object", true));
    EXPECT_TRUE(leaf.Inherits("Middle", true));
    EXPECT_FALSE(leaf.Inherits("Object", false));
    EXPECT_TRUE(plain.Inherits("Object", false));
    EXPECT_FALSE(leaf.Inherits("UI::Window", true));
    EXPECT_FALSE(leaf.Inherits(nullptr, true));

    uint value = 7;
    std::vector<void*> args{&value};
    std::vector<void*> none;
    EXPECT_TRUE(leaf.InvokeSlot(1, args));  // Middle::slotY through the chain
    EXPECT_EQ(leaf.lastY, 7u);
    EXPECT_FALSE(leaf.InvokeSlot(1, none));  // too few arguments
    EXPECT_TRUE(leaf.InvokeSlot(2, none));
    EXPECT_FALSE(leaf.InvokeSlot(3, args));
    EXPECT_TRUE(leaf.InvokeSignal(0, none));
    EXPECT_FALSE(leaf.InvokeSignal(3, args));  // needs two pointers
    EXPECT_FALSE(leaf.InvokeSignal(9, args));
    EXPECT_FALSE(plain.InvokeSignal(0, none));
    EXPECT_FALSE(plain.InvokeSlot(0, none));
}

TEST(Object, ChildrenDieWithTheirParentOnce) {
    g_destroyed = 0;
    {
        auto* parent = new Base;
        auto* child = new Leaf;
        parent->AddChild(child);
        parent->AddChild(child);
        auto* grandChild = new Leaf;
        child->AddChild(grandChild);
        // The child listens to its parent: its own destructor removes that link
        // before the parent's disconnection pass runs.
        EXPECT_TRUE(Object::Connect(parent, "2sigA()", child, "1slotZ()"));
        EXPECT_TRUE(Object::Connect(child, "2sigA()", parent, "1slotX()"));
        delete parent;
    }
    EXPECT_EQ(g_destroyed, 2);

    // An object is never its own child (its destructor would run twice), and a null
    // child is no child.
    g_destroyed = 0;
    auto* lone = new Leaf;
    lone->AddChild(lone);
    lone->AddChild(nullptr);
    delete lone;
    EXPECT_EQ(g_destroyed, 1);

    // Children added while the parent deletes its children go with them.
    g_destroyed = 0;
    auto* parent = new Object("Parent");
    parent->AddChild(new Heir(parent, 8));
    delete parent;
    EXPECT_EQ(g_destroyed, 9);
}

TEST(Object, DuplicateSignaturesAreDetectedAndNeverIndexedPast) {
    static const MetaTableEntry twice[] = {
        {"sigA()", nullptr, nullptr}, {"sigB()", nullptr, nullptr}, {"sigA()", nullptr, nullptr}};
    const MetaObject* meta = MetaObject::Create(Object::StaticMetaObject(), "Twice", twice, 3, nullptr, 0);
    EXPECT_TRUE(meta->HasDuplicateSignatures());
    EXPECT_EQ(meta->SignalCount(false), 2u);
    EXPECT_EQ(meta->IndexOfSignal("sigA()"), 2u);  // the later entry wins
    EXPECT_EQ(meta->SignalEntry(2), nullptr);  // beyond the distinct count
    std::vector<void*> none;
    EXPECT_FALSE(meta->InvokeOwnSignal(nullptr, 2, none));
    delete meta;
}

// Every class linked into this program, this library's own included.
TEST(Object, EveryClassTableIsWellFormed) {
    ASSERT_GE(QvMeta::RegisteredClasses().size(), 4u);
    for (auto getter : QvMeta::RegisteredClasses()) {
        const MetaObject* meta = getter();
        SCOPED_TRACE(meta->className);
        EXPECT_FALSE(meta->HasDuplicateSignatures());
        const MetaTableEntry* tables[] = {meta->signalTable, meta->slotTable};
        const uint counts[] = {meta->SignalCount(false), meta->SlotCount(false)};
        for (int t = 0; t < 2; ++t) {
            for (uint k = 0; k < counts[t]; ++k) {
                const MetaTableEntry& entry = tables[t][k];
                EXPECT_EQ(NormalizeSignature((std::string("2") + entry.signature).c_str()).substr(1), entry.signature);
                const std::size_t nameLength = std::strlen(entry.method->name);
                EXPECT_EQ(std::string(entry.signature, nameLength), entry.method->name);
                EXPECT_EQ(entry.signature[nameLength], '(');
                const int commas =
                    static_cast<int>(std::count(entry.signature, entry.signature + std::strlen(entry.signature), ','));
                EXPECT_EQ(entry.method->paramCount, std::strstr(entry.signature, "()") ? 0 : commas + 1);
                EXPECT_NE(entry.invoke, nullptr);
            }
        }
    }
}
