#include <QvBase/Object/Object.h>
#include <QvBase/Object/Signature.h>

#include <cstring>

namespace {

std::optional<uint> IndexOfMember(const MetaObject* meta, char code, const char* signature) {
    if (code == '1') return meta->IndexOfSlot(signature, true);
    if (code == '2') return meta->IndexOfSignal(signature, true);
    return std::nullopt;
}

uint ArgumentCount(const char* signature) {
    if (std::strstr(signature, "()")) return 0;
    uint commas = 0;
    for (const char* p = signature; *p; ++p) commas += *p == ',';
    return commas + 1;
}

}  // namespace

bool Object::Connect(Object* sender, const char* signal, Object* receiver, const char* member) {
    if (!sender || !signal || !receiver || !member) return false;
    const std::string signalText = NormalizeSignature(signal);
    const std::string memberText = NormalizeSignature(member);
    if (signalText.empty() || signalText[0] != '2') return false;

    const ::MetaObject* senderMeta = sender->MetaObject();
    if (!senderMeta) return false;
    const auto signalIndex = senderMeta->IndexOfSignal(signalText.c_str() + 1, true);
    if (!signalIndex) return false;
    const MetaTableEntry* signalEntry = senderMeta->SignalEntry(*signalIndex, true);
    if (!signalEntry) return false;

    const ::MetaObject* receiverMeta = receiver->MetaObject();
    if (!receiverMeta || memberText.empty()) return false;
    const auto memberIndex = IndexOfMember(receiverMeta, memberText[0], memberText.c_str() + 1);
    if (!memberIndex) return false;
    if (!SignaturesCompatible(signalEntry->signature, memberText.c_str() + 1)) return false;

    CreateConnection(sender, *signalIndex, receiver, memberText[0], *memberIndex);
    return true;
}

void Object::CreateConnection(Object* sender, uint signalIndex, Object* receiver, char code, uint memberIndex) {
    if (!sender || !receiver) return;
    const uint signalCount = sender->MetaObject()->SignalCount(true);
    auto& lists = sender->m_signalLists;
    if (lists.empty()) lists.assign(signalCount, nullptr);
    if (lists.size() != signalCount || signalIndex >= signalCount) return;

    const ::MetaObject* receiverMeta = receiver->MetaObject();
    const MetaTableEntry* entry = code == '1' ? receiverMeta->SlotEntry(memberIndex, true)
        : code == '2'                         ? receiverMeta->SignalEntry(memberIndex, true)
                                              : nullptr;
    if (!entry) return;

    ConnectionList*& list = lists[signalIndex];
    if (!list) list = new ConnectionList{{}, sender, signalIndex};
    list->connections.push_back(SharedPtr<Connection>(
        new Connection{receiver, entry->signature, code, memberIndex, ArgumentCount(entry->signature), false}));
    receiver->m_senders.push_back(sender);
}

ConnectionList* Object::SignalConnections(uint signalIndex) const {
    return signalIndex < m_signalLists.size() ? m_signalLists[signalIndex] : nullptr;
}
