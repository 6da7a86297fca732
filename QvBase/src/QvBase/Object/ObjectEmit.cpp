#include <QvBase/Object/Object.h>
#include <QvBase/Object/Signature.h>

#include <algorithm>
#include <cstring>

namespace {

// Ends an emission even when a member throws.
struct EmissionScope {
    ConnectionList* list;
    void (*finish)(ConnectionList*);
    ~EmissionScope() {
        if (--list->emitDepth == 0) finish(list);
    }
};

}  // namespace

void Object::Emit(ConnectionList* list, std::vector<void*>& args) {
    if (!list) return;
    ++list->emitDepth;
    EmissionScope scope{list, &FinishEmission};
    // By position and re-reading the size: members connected meanwhile run too,
    // and the vector may grow (and move) while a member runs.
    for (std::size_t i = 0; i < list->connections.size(); ++i) {
        const Connection& connection = *list->connections[i];
        if (connection.dead || !connection.receiver) continue;
        Object* receiver = connection.receiver;
        const uint index = connection.memberIndex;
        if (connection.code == '2')
            receiver->InvokeSignal(index, args);
        else
            receiver->InvokeSlot(index, args);
    }
}

// The outermost emission of the list has ended: drop what was disconnected
// meanwhile, and the list itself when it is empty or its sender let go of it.
void Object::FinishEmission(ConnectionList* list) {
    if (list->hasDead) {
        std::erase_if(list->connections, [](const SharedPtr<Connection>& c) { return c->dead; });
        list->hasDead = false;
    }
    if (list->sender && list->connections.empty()) {
        list->sender->m_signalLists[list->signalIndex] = nullptr;
        list->sender = nullptr;
    }
    if (!list->sender) delete list;
}

void Object::RemoveOneSender(Object* receiver, Object* sender) {
    auto& senders = receiver->m_senders;
    const auto found = std::find(senders.begin(), senders.end(), sender);
    if (found != senders.end()) senders.erase(found);
}

void Object::Disconnect(Object* sender, const char* signal, Object* receiver, const char* member) {
    if (!sender || (!receiver && member) || sender->m_signalLists.empty()) return;

    std::string memberText;
    if (member) {
        const std::string normalized = NormalizeSignature(member);
        const ::MetaObject* receiverMeta = receiver->MetaObject();
        if (normalized.empty() || !receiverMeta) return;
        const char* text = normalized.c_str() + 1;
        const auto known =
            normalized[0] == '1' ? receiverMeta->IndexOfSlot(text, true) : receiverMeta->IndexOfSignal(text, true);
        if (!known) return;
        memberText = text;
    }

    auto& lists = sender->m_signalLists;
    std::size_t first = 0;
    std::size_t last = lists.size();
    if (signal) {
        const std::string normalized = NormalizeSignature(signal);
        const ::MetaObject* senderMeta = sender->MetaObject();
        if (normalized.empty() || normalized[0] != '2' || !senderMeta) return;
        const auto index = senderMeta->IndexOfSignal(normalized.c_str() + 1, true);
        if (!index || *index >= lists.size()) return;
        first = *index;
        last = first + 1;
    }

    for (std::size_t index = first; index < last; ++index) {
        ConnectionList* list = lists[index];
        if (!list) continue;
        const bool emitting = list->emitDepth > 0;
        if (receiver) {
            auto& connections = list->connections;
            for (std::size_t i = 0; i < connections.size();) {
                Connection& c = *connections[i];
                const bool matches = !c.dead && c.receiver == receiver &&
                    (!member || std::strcmp(c.memberSignature, memberText.c_str()) == 0);
                if (!matches) {
                    ++i;
                    continue;
                }
                RemoveOneSender(receiver, sender);
                if (emitting) {
                    c.dead = true;
                    list->hasDead = true;
                    ++i;
                } else {
                    connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(i));
                }
            }
            if (emitting || !connections.empty()) continue;
        } else {
            for (const auto& c : list->connections) {
                if (c->dead) continue;
                RemoveOneSender(c->receiver, sender);
                c->dead = true;
            }
            list->hasDead = true;
        }
        // The list goes now, or, while an emission walks it, when that emission ends.
        lists[index] = nullptr;
        if (emitting)
            list->sender = nullptr;
        else
            delete list;
    }
}
