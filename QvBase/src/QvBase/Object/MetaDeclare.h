#pragma once
// How an Object class declares its meta object, signals and slots.
//
//   // Window.h
//   namespace UI {
//   class Window : public Object {
//       QV_OBJECT()
//   public:
//       void sigClicked();                       // signals: plain member functions
//       void sigMoved(int iX, int iY);
//       void slotShow();                         // slots: plain member functions
//       void slotSetText(const String& sText);
//   };
//   }
//
//   // Window.cpp  (at namespace scope; the class name fully qualified, as it is
//   // also the class name the meta object reports)
//   QV_META_BEGIN(UI::Window, Object)
//       QV_SIGNAL(sigClicked)
//       QV_SIGNAL(sigMoved, (int, iX), (int, iY))
//   QV_META_SLOTS
//       QV_SLOT(slotShow)
//       QV_SLOT(slotSetText, (const String&, sText))
//   QV_META_END
//
//   void UI::Window::sigClicked() { QV_EMIT(sigClicked); }
//   void UI::Window::sigMoved(int iX, int iY) { QV_EMIT(sigMoved, iX, iY); }
//
// Each member is listed once with its (type, name) parameters, at most four; the
// types give the signature text ("sigMoved(int,int)"), so write them as callers
// will ("const String&", "uint"). Members return void. The list order is the index
// order. An emitter's body is QV_EMIT with the signal's name and the emitter's own
// parameters, in order. A class without signals or slots keeps the three lines
// QV_META_BEGIN, QV_META_SLOTS, QV_META_END. Two members with one signature do not
// compile. Nothing else is needed: the dispatch operations, the class name and the
// lazily built meta object come from these macros.

#include <QvBase/Object/MetaObject.h>

#include <cstddef>
#include <type_traits>
#include <utility>
#include <vector>

namespace QvMeta {

template <std::size_t N>
struct FixedString {
    char text[N];
    constexpr FixedString(const char (&s)[N]) {
        for (std::size_t i = 0; i < N; ++i) text[i] = s[i];
    }
};

template <class C, auto Member>
struct Invoker;

template <class C, class... A, void (C::*Member)(A...)>
struct Invoker<C, Member> {
    static bool Call(Object* object, std::vector<void*>& args) {
        if (args.size() < sizeof...(A)) return false;
        Apply(static_cast<C*>(object), args, std::index_sequence_for<A...>{});
        return true;
    }

    template <std::size_t... I>
    static void Apply(C* object, [[maybe_unused]] std::vector<void*>& args, std::index_sequence<I...>) {
        (object->*Member)(*static_cast<std::remove_cvref_t<A>*>(args[I])...);
    }
};

// The constant records of one member; ParamTexts alternate parameter name and type.
template <class C, auto Member, FixedString Signature, FixedString Name, FixedString... ParamTexts>
struct Entry {
    static constexpr int count = static_cast<int>(sizeof...(ParamTexts) / 2);
    static constexpr const char* texts[sizeof...(ParamTexts) + 1] = {ParamTexts.text..., nullptr};

    struct Params {
        MetaParam list[count > 0 ? count : 1];
    };
    static constexpr Params MakeParams() {
        Params params{};
        for (int i = 0; i < count; ++i) params.list[i] = MetaParam{texts[2 * i], texts[2 * i + 1]};
        return params;
    }
    static constexpr Params params = MakeParams();
    static constexpr MetaMethod method = {Name.text, count > 0 ? params.list : nullptr, count};
    static constexpr MetaTableEntry value = {Signature.text, &method, &Invoker<C, Member>::Call};
};

constexpr bool SameText(const char* a, const char* b) {
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// Tables end with an empty entry.
template <std::size_t N>
constexpr bool SignaturesUnique(const MetaTableEntry (&table)[N]) {
    for (std::size_t i = 0; i + 1 < N; ++i)
        for (std::size_t j = i + 1; j + 1 < N; ++j)
            if (SameText(table[i].signature, table[j].signature)) return false;
    return true;
}

using StaticMetaGetter = const MetaObject* (*)();

// Every class whose meta object is linked in, for tests over all tables.
std::vector<StaticMetaGetter>& RegisteredClasses();
void RegisterClass(StaticMetaGetter getter, void (*teardown)());
const MetaObject* CreateOnce(const MetaObject** slot, StaticMetaGetter parent, const char* className,
    const MetaTableEntry* signalTable, uint signalCount, const MetaTableEntry* slotTable, uint slotCount);
void Teardown(const MetaObject** slot);

// One lazily built meta object per class, destroyed at exit; the exit function is
// registered before main.
template <class C>
struct Holder {
    static inline const MetaObject* pointer = nullptr;
    static void TeardownAtExit() { Teardown(&pointer); }
    static inline const bool registered = (RegisterClass(&C::StaticMetaObject, &TeardownAtExit), true);

    template <std::size_t NSignals, std::size_t NSlots>
    static const MetaObject* Get(StaticMetaGetter parent, const char* className,
        const MetaTableEntry (&signalTable)[NSignals], const MetaTableEntry (&slotTable)[NSlots]) {
        static_cast<void>(registered);
        return CreateOnce(&pointer, parent, className, signalTable, NSignals - 1, slotTable, NSlots - 1);
    }
};

}  // namespace QvMeta

#define QV_PP_CAT(a, b) QV_PP_CAT_(a, b)
#define QV_PP_CAT_(a, b) a##b
#define QV_PP_STR(x) QV_PP_STR_(x)
#define QV_PP_STR_(x) #x
#define QV_PP_COUNT(...) QV_PP_COUNT_(__VA_OPT__(__VA_ARGS__, ) 4, 3, 2, 1, 0)
#define QV_PP_COUNT_(a, b, c, d, n, ...) n
#define QV_PP_TYPE(type, name) type
#define QV_PP_NAME(type, name) name

// Parameter lists of the table macros, by arity.
#define QV_META_TYPES_0()
#define QV_META_TYPES_1(p1) QV_PP_TYPE p1
#define QV_META_TYPES_2(p1, p2) QV_PP_TYPE p1, QV_PP_TYPE p2
#define QV_META_TYPES_3(p1, p2, p3) QV_PP_TYPE p1, QV_PP_TYPE p2, QV_PP_TYPE p3
#define QV_META_TYPES_4(p1, p2, p3, p4) QV_PP_TYPE p1, QV_PP_TYPE p2, QV_PP_TYPE p3, QV_PP_TYPE p4
#define QV_META_SIG_0()
#define QV_META_SIG_1(p1) QV_PP_STR(QV_PP_TYPE p1)
#define QV_META_SIG_2(p1, p2) QV_META_SIG_1(p1) "," QV_PP_STR(QV_PP_TYPE p2)
#define QV_META_SIG_3(p1, p2, p3) QV_META_SIG_2(p1, p2) "," QV_PP_STR(QV_PP_TYPE p3)
#define QV_META_SIG_4(p1, p2, p3, p4) QV_META_SIG_3(p1, p2, p3) "," QV_PP_STR(QV_PP_TYPE p4)
#define QV_META_PARAM(p) , QV_PP_STR(QV_PP_NAME p), QV_PP_STR(QV_PP_TYPE p)
#define QV_META_PARAMS_0()
#define QV_META_PARAMS_1(p1) QV_META_PARAM(p1)
#define QV_META_PARAMS_2(p1, p2) QV_META_PARAM(p1) QV_META_PARAM(p2)
#define QV_META_PARAMS_3(p1, p2, p3) QV_META_PARAMS_2(p1, p2) QV_META_PARAM(p3)
#define QV_META_PARAMS_4(p1, p2, p3, p4) QV_META_PARAMS_3(p1, p2, p3) QV_META_PARAM(p4)

#define QV_META_MEMBER(name, ...)                                                                                   \
    ::QvMeta::Entry<Self,                                                                                           \
        static_cast<void (Self::*)(QV_PP_CAT(QV_META_TYPES_, QV_PP_COUNT(__VA_ARGS__))(__VA_ARGS__))>(&Self::name), \
        #name "(" QV_PP_CAT(QV_META_SIG_, QV_PP_COUNT(__VA_ARGS__))(__VA_ARGS__) ")",                               \
        #name QV_PP_CAT(QV_META_PARAMS_, QV_PP_COUNT(__VA_ARGS__))(__VA_ARGS__)>::value,

#define QV_SIGNAL(name, ...) QV_META_MEMBER(name __VA_OPT__(, ) __VA_ARGS__)
#define QV_SLOT(name, ...) QV_META_MEMBER(name __VA_OPT__(, ) __VA_ARGS__)

// In the class body.
#define QV_OBJECT()                                                   \
public:                                                               \
    static const ::MetaObject* StaticMetaObject();                    \
    const ::MetaObject* MetaObject() const override;                  \
    const char* ClassName() const override;                           \
    bool InvokeSignal(uint index, std::vector<void*>& args) override; \
    bool InvokeSlot(uint index, std::vector<void*>& args) override;   \
                                                                      \
private:

// In the class's source file, at namespace scope.
#define QV_META_BEGIN(Class, Base)                                                      \
    const ::MetaObject* Class::MetaObject() const { return StaticMetaObject(); }        \
    const char* Class::ClassName() const { return #Class; }                             \
    bool Class::InvokeSignal(uint index, std::vector<void*>& args) {                    \
        const ::MetaObject* meta = StaticMetaObject();                                  \
        if (index < meta->inheritedSignalCount) return Base::InvokeSignal(index, args); \
        return meta->InvokeOwnSignal(this, index - meta->inheritedSignalCount, args);   \
    }                                                                                   \
    bool Class::InvokeSlot(uint index, std::vector<void*>& args) {                      \
        const ::MetaObject* meta = StaticMetaObject();                                  \
        if (index < meta->inheritedSlotCount) return Base::InvokeSlot(index, args);     \
        return meta->InvokeOwnSlot(this, index - meta->inheritedSlotCount, args);       \
    }                                                                                   \
    const ::MetaObject* Class::StaticMetaObject() {                                     \
        using Self = Class;                                                             \
        const ::QvMeta::StaticMetaGetter parent = &Base::StaticMetaObject;              \
        static constexpr const char* className = #Class;                                \
        static constexpr ::MetaTableEntry signalTable[] = {
#define QV_META_SLOTS   \
    ::MetaTableEntry {} \
    }                   \
    ;                   \
    static constexpr ::MetaTableEntry slotTable[] = {
#define QV_META_END                                                                                        \
    ::MetaTableEntry {}                                                                                    \
    }                                                                                                      \
    ;                                                                                                      \
    static_assert(::QvMeta::SignaturesUnique(signalTable), "two signals of this class share a signature"); \
    static_assert(::QvMeta::SignaturesUnique(slotTable), "two slots of this class share a signature");     \
    return ::QvMeta::Holder<Self>::Get(parent, className, signalTable, slotTable);                         \
    }

// Body of a signal's emitter: QV_EMIT(signalName, parameters...).
#define QV_META_DECLTYPES_0()
#define QV_META_DECLTYPES_1(a) decltype(a)
#define QV_META_DECLTYPES_2(a, b) decltype(a), decltype(b)
#define QV_META_DECLTYPES_3(a, b, c) decltype(a), decltype(b), decltype(c)
#define QV_META_DECLTYPES_4(a, b, c, d) decltype(a), decltype(b), decltype(c), decltype(d)
#define QV_EMIT(name, ...)                                                                        \
    EmitOwnSignal<std::remove_pointer_t<decltype(this)>,                                          \
        static_cast<void (std::remove_pointer_t<decltype(this)>::*)(QV_PP_CAT(QV_META_DECLTYPES_, \
            QV_PP_COUNT(__VA_ARGS__))(__VA_ARGS__))>(&std::remove_pointer_t<decltype(this)>::name)>(__VA_ARGS__)
