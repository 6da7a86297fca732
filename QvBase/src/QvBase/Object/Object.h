#pragma once
#include <QvBase/Object/Connection.h>
#include <QvBase/Object/MetaDeclare.h>
#include <QvBase/Object/MetaObject.h>
#include <QvBase/Types.h>
#include <QvBase/Util/String.h>
#include <QvBase/noncopyable.h>

#include <optional>
#include <vector>

// Base of every model and window class: a name, owned children (deleted with the
// object) and signals and slots connected by signature text. Subclasses declare
// their meta object as Object/MetaDeclare.h shows. Objects, connections and
// emissions belong to one thread.
class Object : public noncopyable {
public:
    explicit Object(const String& name = String());
    virtual ~Object();

    static const ::MetaObject* StaticMetaObject();
    virtual const ::MetaObject* MetaObject() const;
    virtual const char* ClassName() const;
    // Dispatch by index over the class chain; false when there is no such member
    // or args holds too few pointers.
    virtual bool InvokeSignal(uint index, std::vector<void*>& args);
    virtual bool InvokeSlot(uint index, std::vector<void*>& args);

    String Name() const;
    void SetName(const String& name) { m_name = name; }
    // The object owns the child from now on; a child is destroyed only by its parent.
    // A null child, or the object itself, is ignored.
    void AddChild(Object* child);
    bool Inherits(const char* className, bool searchBases = true) const;

    // signal is "2<signature>"; member is "1<slot signature>" or "2<signal signature>".
    // False, with nothing changed, when a text is malformed or unknown, or the
    // member's parameters are not a leading part of the signal's.
    static bool Connect(Object* sender, const char* signal, Object* receiver, const char* member);
    // Null signal, receiver or member match any (a member needs a receiver).
    static void Disconnect(Object* sender, const char* signal, Object* receiver, const char* member);
    static void CreateConnection(Object* sender, uint signalIndex, Object* receiver, char code, uint memberIndex);
    ConnectionList* SignalConnections(uint signalIndex) const;
    // Calls the members of the list in order; members may connect, disconnect and
    // delete the sender or receivers meanwhile.
    static void Emit(ConnectionList* list, std::vector<void*>& args);

protected:
    // The body of QV_EMIT: emits the class's own signal whose dispatcher is
    // Invoker<Self, Member>, with pointers to the emitter's arguments.
    template <class Self, auto Member, class... A>
    void EmitOwnSignal(const A&... args) {
        static const std::optional<uint> position =
            OwnSignalPosition(Self::StaticMetaObject(), &QvMeta::Invoker<Self, Member>::Call);
        if (!position) return;
        ConnectionList* list = SignalConnections(Self::StaticMetaObject()->inheritedSignalCount + *position);
        if (!list) return;
        std::vector<void*> pointers{const_cast<void*>(static_cast<const void*>(&args))...};
        Emit(list, pointers);
    }

private:
    static std::optional<uint> OwnSignalPosition(
        const ::MetaObject* meta, bool (*invoke)(Object*, std::vector<void*>&));
    static void RemoveOneSender(Object* receiver, Object* sender);
    static void FinishEmission(ConnectionList* list);

    String m_name;
    bool m_destroying;
    std::vector<ConnectionList*> m_signalLists;
    std::vector<Object*> m_senders;
    std::vector<Object*> m_children;
};
