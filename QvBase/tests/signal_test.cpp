#include <QvBase/Object/Object.h>
#include <QvBase/Object/Signature.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

namespace {

std::vector<std::string> g_log;

class Sender : public Object {
    QV_OBJECT()
public:
    Sender() : Object("Sender") {}
    void sigPlain();
    void sigValue(uint uValue);
    void sigPair(uint uValue, bool bFlag);
    void sigText(const String& sText);
};

class Receiver : public Object {
    QV_OBJECT()
public:
    explicit Receiver(std::string name) : Object("Receiver"), tag(std::move(name)) {}
    void sigRelay(uint uValue);

    void slotPlain() {
        g_log.push_back(tag + ".plain");
        if (onPlain) onPlain();
    }
    void slotValue(uint uValue) { g_log.push_back(tag + ".value " + std::to_string(uValue)); }
    void slotPair(uint uValue, bool bFlag) {
        g_log.push_back(tag + ".pair " + std::to_string(uValue) + (bFlag ? " true" : " false"));
    }
    void slotText(const String& sText) { g_log.push_back(tag + ".text " + sText.CStr()); }

    std::string tag;
    std::function<void()> onPlain;
};

std::size_t ConnectionCount(Object& sender, const char* signal) {
    const auto index = sender.MetaObject()->IndexOfSignal(signal);
    ConnectionList* list = index ? sender.SignalConnections(*index) : nullptr;
    return list ? list->connections.size() : 0;
}

}  // namespace

QV_META_BEGIN(Sender, Object)
    QV_SIGNAL(sigPlain)
    QV_SIGNAL(sigValue, (uint, uValue))
    QV_SIGNAL(sigPair, (uint, uValue), (bool, bFlag))
    QV_SIGNAL(sigText, (const String&, sText))
    QV_META_SLOTS
QV_META_END

QV_META_BEGIN(Receiver, Object)
    QV_SIGNAL(sigRelay, (uint, uValue))
    QV_META_SLOTS
    QV_SLOT(slotPlain)
    QV_SLOT(slotValue, (uint, uValue))
    QV_SLOT(slotPair, (uint, uValue), (bool, bFlag))
    QV_SLOT(slotText, (const String&, sText))
QV_META_END

void Sender::sigPlain() { QV_EMIT(sigPlain); }
void Sender::sigValue(uint uValue) { QV_EMIT(sigValue, uValue); }
void Sender::sigPair(uint uValue, bool bFlag) { QV_EMIT(sigPair, uValue, bFlag); }
void Sender::sigText(const String& sText) { QV_EMIT(sigText, sText); }
void Receiver::sigRelay(uint uValue) { QV_EMIT(sigRelay, uValue); }

TEST(Signal, NormalizesSignatures) {
    // Of two blanks after '(' the second stays.
    const std::pair<const char*, const char*> cases[] = {{"2 sigProxy( bool )", "2sigProxy(bool)"},
        {"1slotA (uint)", "1slotA(uint)"}, {"1slot(const  String&)", "1slot(const String&)"},
        {"1slot(\tuint ,\tbool\t)\t ", "1slot(uint,bool)"}, {"1f(  a)", "1f( a)"}, {"2", "2"}, {"2   ", "2"},
        {"3sig()", ""}, {"", ""}, {nullptr, ""}};
    for (const auto& [text, normal] : cases) EXPECT_EQ(NormalizeSignature(text), normal) << (text ? text : "null");
}

TEST(Signal, ChecksParameterCompatibility) {
    const struct {
        const char *signal, *slot;
        bool compatible;
    } cases[] = {{"sigB(uint,bool)", "slotA(uint)", true}, {"sigB(uint,bool)", "slotA(uint,bool)", true},
        {"sigB(uint,bool)", "slotA()", true}, {"sigB()", "slotA()", true}, {"sigB(uint2)", "slotA(uint)", false},
        {"sigB()", "slotA(uint)", false}, {"sigB(bool,uint)", "slotA(uint)", false},
        {"sigB(uint)", "slotA(uint,bool)", false}, {nullptr, "slotA()", false}, {"sigB()", nullptr, false},
        {"sigB", "slotA(", false}};
    for (const auto& c : cases)
        EXPECT_EQ(SignaturesCompatible(c.signal, c.slot), c.compatible)
            << (c.signal ? c.signal : "null") << " " << (c.slot ? c.slot : "null");
}

TEST(Signal, ConnectRejectsBadTextsWithoutChange) {
    Sender sender;
    Receiver receiver("r");
    const struct {
        Object *from, *to;
        const char *signal, *member;
    } refused[] = {{nullptr, &receiver, "2sigPlain()", "1slotPlain()"}, {&sender, &receiver, nullptr, "1slotPlain()"},
        {&sender, nullptr, "2sigPlain()", "1slotPlain()"}, {&sender, &receiver, "2sigPlain()", nullptr},
        {&sender, &receiver, "1sigPlain()", "1slotPlain()"}, {&sender, &receiver, "2sigPlain()", "3slotPlain()"},
        {&sender, &receiver, "2sigPlain()", ""}, {&sender, &receiver, "2sigMissing()", "1slotPlain()"},
        {&sender, &receiver, "2sigPlain()", "1slotMissing()"}, {&sender, &receiver, "2sigPlain()", "1slotValue(uint)"},
        {&sender, &receiver, "2sigValue(uint)", "1slotValue(int)"},
        {&sender, &receiver, "2sigPlain()", "2slotPlain()"}};
    for (const auto& r : refused)
        EXPECT_FALSE(Object::Connect(r.from, r.signal, r.to, r.member))
            << (r.signal ? r.signal : "null") << " " << (r.member ? r.member : "null");
    Object::CreateConnection(nullptr, 0, &receiver, '1', 0);
    Object::CreateConnection(&sender, 0, nullptr, '1', 0);
    EXPECT_EQ(sender.SignalConnections(0), nullptr);

    g_log.clear();
    sender.sigPlain();
    EXPECT_TRUE(g_log.empty());
}

TEST(Signal, EmitsInConnectionOrderWithArguments) {
    Sender sender;
    Receiver a("a"), b("b");
    EXPECT_TRUE(Object::Connect(&sender, "2 sigPair( uint , bool )", &a, "1slotPair(uint,bool)"));
    EXPECT_TRUE(Object::Connect(&sender, "2sigPair(uint,bool)", &b, "1slotValue(uint)"));
    EXPECT_TRUE(Object::Connect(&sender, "2sigPair(uint,bool)", &a, "1slotPlain()"));
    EXPECT_TRUE(Object::Connect(&sender, "2sigText(const String&)", &b, "1slotText(const String&)"));
    EXPECT_TRUE(Object::Connect(&sender, "2sigValue(uint)", &a, "1slotValue(uint)"));
    EXPECT_TRUE(Object::Connect(&sender, "2sigValue(uint)", &a, "1slotValue(uint)"));  // twice: runs twice

    g_log.clear();
    sender.sigPair(5, true);
    sender.sigText("hello");
    sender.sigValue(9);
    sender.sigPlain();  // nothing connected
    const std::vector<std::string> expected{
        "a.pair 5 true", "b.value 5", "a.plain", "b.text hello", "a.value 9", "a.value 9"};
    EXPECT_EQ(g_log, expected);
}

TEST(Signal, SignalToSignalReemitsInsideTheEmission) {
    Sender sender;
    Receiver relay("relay"), last("last");
    EXPECT_TRUE(Object::Connect(&sender, "2sigValue(uint)", &relay, "2sigRelay(uint)"));
    EXPECT_TRUE(Object::Connect(&relay, "2sigRelay(uint)", &last, "1slotValue(uint)"));
    EXPECT_TRUE(Object::Connect(&sender, "2sigValue(uint)", &relay, "1slotValue(uint)"));
    g_log.clear();
    sender.sigValue(3);
    const std::vector<std::string> expected{"last.value 3", "relay.value 3"};
    EXPECT_EQ(g_log, expected);
}

TEST(Signal, MemberConnectedDuringEmissionRunsInTheSameEmission) {
    Sender sender;
    Receiver first("first"), late("late");
    bool connected = false;
    first.onPlain = [&] {
        if (!std::exchange(connected, true)) Object::Connect(&sender, "2sigPlain()", &late, "1slotPlain()");
    };
    ASSERT_TRUE(Object::Connect(&sender, "2sigPlain()", &first, "1slotPlain()"));
    g_log.clear();
    sender.sigPlain();
    const std::vector<std::string> expected{"first.plain", "late.plain"};
    EXPECT_EQ(g_log, expected);
}

TEST(Signal, DestroyedEndsLeaveNoConnections) {
    Sender sender;
    auto* receiver = new Receiver("gone");
    Receiver stays("stays");
    ASSERT_TRUE(Object::Connect(&sender, "2sigPlain()", receiver, "1slotPlain()"));
    ASSERT_TRUE(Object::Connect(&sender, "2sigValue(uint)", receiver, "1slotValue(uint)"));
    ASSERT_TRUE(Object::Connect(&sender, "2sigValue(uint)", &stays, "1slotValue(uint)"));
    delete receiver;
    EXPECT_EQ(sender.SignalConnections(0), nullptr);
    EXPECT_EQ(ConnectionCount(sender, "sigValue(uint)"), 1u);
    g_log.clear();
    sender.sigPlain();
    sender.sigValue(1);
    EXPECT_EQ(g_log, std::vector<std::string>{"stays.value 1"});

    auto* doomed = new Sender;
    ASSERT_TRUE(Object::Connect(doomed, "2sigPlain()", &stays, "1slotPlain()"));
    ASSERT_TRUE(Object::Connect(doomed, "2sigPlain()", &stays, "1slotPlain()"));
    delete doomed;  // stays' sender entries go with it; its own destructor then finds nothing
}

TEST(Signal, DisconnectBySignalReceiverAndMember) {
    Sender sender;
    Receiver a("a"), b("b");
    ASSERT_TRUE(Object::Connect(&sender, "2sigValue(uint)", &a, "1slotValue(uint)"));
    ASSERT_TRUE(Object::Connect(&sender, "2sigValue(uint)", &a, "1slotPlain()"));
    ASSERT_TRUE(Object::Connect(&sender, "2sigValue(uint)", &b, "1slotValue(uint)"));
    ASSERT_TRUE(Object::Connect(&sender, "2sigPlain()", &b, "1slotPlain()"));

    Object::Disconnect(&sender, "2sigValue(uint)", &a, "1slotUnknown()");  // unknown: nothing
    Object::Disconnect(&sender, "2sigValue(uint)", nullptr, "1slotPlain()");  // member without receiver: nothing
    EXPECT_EQ(ConnectionCount(sender, "sigValue(uint)"), 3u);

    Object::Disconnect(&sender, "2 sigValue( uint )", &a, "1 slotPlain()");
    EXPECT_EQ(ConnectionCount(sender, "sigValue(uint)"), 2u);
    Object::Disconnect(&sender, nullptr, &b, nullptr);
    EXPECT_EQ(ConnectionCount(sender, "sigValue(uint)"), 1u);
    EXPECT_EQ(sender.SignalConnections(0), nullptr);
    g_log.clear();
    sender.sigValue(4);
    EXPECT_EQ(g_log, std::vector<std::string>{"a.value 4"});
    Object::Disconnect(&sender, nullptr, nullptr, nullptr);
    EXPECT_EQ(ConnectionCount(sender, "sigValue(uint)"), 0u);
}

TEST(Signal, SlotDeletingItsSenderStopsTheEmissionSafely) {
    auto* sender = new Sender;
    Receiver killer("killer"), after("after");
    killer.onPlain = [&] { delete sender; };
    ASSERT_TRUE(Object::Connect(sender, "2sigPlain()", &killer, "1slotPlain()"));
    ASSERT_TRUE(Object::Connect(sender, "2sigPlain()", &after, "1slotPlain()"));
    g_log.clear();
    sender->sigPlain();
    EXPECT_EQ(g_log, std::vector<std::string>{"killer.plain"});
}

TEST(Signal, SlotDeletingItsReceiverLetsTheOthersRun) {
    Sender sender;
    auto* victim = new Receiver("victim");
    auto* later = new Receiver("later");
    Receiver last("last");
    victim->onPlain = [&] { delete victim; };
    ASSERT_TRUE(Object::Connect(&sender, "2sigPlain()", victim, "1slotPlain()"));
    ASSERT_TRUE(Object::Connect(&sender, "2sigPlain()", victim, "1slotPlain()"));
    ASSERT_TRUE(Object::Connect(&sender, "2sigPlain()", later, "1slotPlain()"));
    ASSERT_TRUE(Object::Connect(&sender, "2sigPlain()", &last, "1slotPlain()"));
    later->onPlain = [&] { delete later; };
    g_log.clear();
    sender.sigPlain();
    const std::vector<std::string> expected{"victim.plain", "later.plain", "last.plain"};
    EXPECT_EQ(g_log, expected);
    EXPECT_EQ(ConnectionCount(sender, "sigPlain()"), 1u);  // compacted after the emission
    g_log.clear();
    sender.sigPlain();
    EXPECT_EQ(g_log, std::vector<std::string>{"last.plain"});
}

TEST(Signal, NestedEmissionWithDisconnection) {
    Sender sender;
    Receiver outer("outer"), dropped("dropped"), tail("tail");
    auto* deleted = new Receiver("deleted");
    int depth = 0;
    outer.onPlain = [&] {
        if (++depth == 1) {
            sender.sigPlain();  // nested emission of the same list
            Object::Disconnect(&sender, "2sigPlain()", &outer, nullptr);
        }
    };
    dropped.onPlain = [&] {
        // Inside the nested emission: edit and shrink the list both emissions walk.
        Object::Disconnect(&sender, "2sigPlain()", &dropped, "1slotPlain()");
        delete deleted;
        deleted = nullptr;
    };
    ASSERT_TRUE(Object::Connect(&sender, "2sigPlain()", &outer, "1slotPlain()"));
    ASSERT_TRUE(Object::Connect(&sender, "2sigPlain()", &dropped, "1slotPlain()"));
    ASSERT_TRUE(Object::Connect(&sender, "2sigPlain()", deleted, "1slotPlain()"));
    ASSERT_TRUE(Object::Connect(&sender, "2sigPlain()", &tail, "1slotPlain()"));
    g_log.clear();
    sender.sigPlain();
    const std::vector<std::string> expected{"outer.plain", "outer.plain", "dropped.plain", "tail.plain", "tail.plain"};
    EXPECT_EQ(g_log, expected);
    EXPECT_EQ(ConnectionCount(sender, "sigPlain()"), 1u);

    g_log.clear();
    sender.sigPlain();
    EXPECT_EQ(g_log, std::vector<std::string>{"tail.plain"});
}

TEST(Signal, SenderDeletedInsideANestedRelay) {
    auto* sender = new Sender;
    Receiver relay("relay"), killer("killer");
    killer.onPlain = [&] { delete sender; };
    ASSERT_TRUE(Object::Connect(sender, "2sigValue(uint)", &relay, "2sigRelay(uint)"));
    ASSERT_TRUE(Object::Connect(&relay, "2sigRelay(uint)", &killer, "1slotPlain()"));
    ASSERT_TRUE(Object::Connect(sender, "2sigValue(uint)", &relay, "1slotValue(uint)"));
    g_log.clear();
    sender->sigValue(2);
    EXPECT_EQ(g_log, std::vector<std::string>{"killer.plain"});
    EXPECT_EQ(ConnectionCount(relay, "sigRelay(uint)"), 1u);
}

TEST(Signal, DisconnectingEverythingFromInsideAnEmission) {
    Sender sender;
    Receiver a("a"), b("b");
    a.onPlain = [&] {
        Object::Disconnect(&sender, nullptr, nullptr, nullptr);
        Object::Connect(&sender, "2sigPlain()", &b, "1slotValue(uint)");  // refused: signal lacks the parameter
        Object::Connect(&sender, "2sigPlain()", &a, "1slotPlain()");  // a fresh list
    };
    ASSERT_TRUE(Object::Connect(&sender, "2sigPlain()", &a, "1slotPlain()"));
    ASSERT_TRUE(Object::Connect(&sender, "2sigPlain()", &b, "1slotPlain()"));
    g_log.clear();
    sender.sigPlain();
    EXPECT_EQ(g_log, std::vector<std::string>{"a.plain"});
    EXPECT_EQ(ConnectionCount(sender, "sigPlain()"), 1u);
    a.onPlain = nullptr;
    g_log.clear();
    sender.sigPlain();
    EXPECT_EQ(g_log, std::vector<std::string>{"a.plain"});
}
