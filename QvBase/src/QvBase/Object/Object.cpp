#include <QvBase/Object/Object.h>

#include <algorithm>

Object::Object(const String& name) : m_name(name), m_destroying(false) {}

Object::~Object() {
    if (!m_destroying) {
        m_destroying = true;
        // By position: a child's destructor may add children (and grow the list).
        for (std::size_t i = 0; i < m_children.size(); ++i) {
            delete m_children[i];
            m_children[i] = nullptr;
        }
        const std::vector<Object*> senders = m_senders;
        for (Object* sender : senders) Disconnect(sender, nullptr, this, nullptr);
        m_senders.clear();
        Disconnect(this, nullptr, nullptr, nullptr);
    }
}

const ::MetaObject* Object::StaticMetaObject() {
    static constexpr MetaTableEntry none[] = {MetaTableEntry{}};
    return QvMeta::Holder<Object>::Get(nullptr, "Object", none, none);
}

const ::MetaObject* Object::MetaObject() const { return StaticMetaObject(); }

const char* Object::ClassName() const { return "Object"; }

bool Object::InvokeSignal(uint, std::vector<void*>&) { return false; }

bool Object::InvokeSlot(uint, std::vector<void*>&) { return false; }

String Object::Name() const { return m_name; }

void Object::AddChild(Object* child) {
    // Owning itself would make the destructor delete the object it is destroying.
    if (!child || child == this) return;
    if (std::find(m_children.begin(), m_children.end(), child) == m_children.end()) m_children.push_back(child);
}

bool Object::Inherits(const char* className, bool searchBases) const {
    for (const ::MetaObject* meta = MetaObject(); meta; meta = searchBases ? meta->parent : nullptr)
        if (String(meta->className) == className) return true;
    return false;
}

std::optional<uint> Object::OwnSignalPosition(const ::MetaObject* meta, bool (*invoke)(Object*, std::vector<void*>&)) {
    for (uint k = 0; k < meta->SignalCount(false); ++k)
        if (meta->signalTable[k].invoke == invoke) return k;
    return std::nullopt;
}
