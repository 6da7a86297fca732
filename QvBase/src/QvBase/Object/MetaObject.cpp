#include <QvBase/Object/MetaObject.h>

namespace {

MetaObject::Map BuildMap(const MetaTableEntry* table, uint count) {
    MetaObject::Map map;
    for (uint i = 0; i < count; ++i) map[table[i].signature] = &table[i];  // a repeated signature keeps the later entry
    return map;
}

std::optional<uint> IndexIn(
    const MetaObject::Map& map, const MetaTableEntry* table, uint inherited, const char* signature) {
    if (!signature) return std::nullopt;
    const auto found = map.find(signature);
    if (found == map.end()) return std::nullopt;
    return static_cast<uint>(found->second - table) + inherited;
}

}  // namespace

bool CStringLess(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const auto ca = static_cast<unsigned char>(*a);
        const auto cb = static_cast<unsigned char>(*b);
        if (ca != cb) return ca < cb;
        if (ca == 0) return false;
    }
}

MetaObject::MetaObject(const MetaObject* pParent, const char* szClassName, const MetaTableEntry* pSignals,
    uint signalCount, const MetaTableEntry* pSlots, uint slotCount)
    : parent(pParent),
      className(szClassName),
      signalTable(signalCount ? pSignals : nullptr),
      slotTable(slotCount ? pSlots : nullptr),
      signalMap(BuildMap(pSignals, signalCount)),
      slotMap(BuildMap(pSlots, slotCount)),
      inheritedSignalCount(pParent ? pParent->inheritedSignalCount + pParent->SignalCount(false) : 0),
      inheritedSlotCount(pParent ? pParent->inheritedSlotCount + pParent->SlotCount(false) : 0),
      m_signalTableLength(signalCount),
      m_slotTableLength(slotCount) {}

const MetaObject* MetaObject::Create(const MetaObject* parent, const char* className, const MetaTableEntry* signalTable,
    uint signalCount, const MetaTableEntry* slotTable, uint slotCount) {
    return new MetaObject(parent, className, signalTable, signalCount, slotTable, slotCount);
}

std::optional<uint> MetaObject::IndexOfSignal(const char* signature, bool searchBases) const {
    if (auto index = IndexIn(signalMap, signalTable, inheritedSignalCount, signature)) return index;
    return (searchBases && parent) ? parent->IndexOfSignal(signature, true) : std::nullopt;
}

std::optional<uint> MetaObject::IndexOfSlot(const char* signature, bool searchBases) const {
    if (auto index = IndexIn(slotMap, slotTable, inheritedSlotCount, signature)) return index;
    return (searchBases && parent) ? parent->IndexOfSlot(signature, true) : std::nullopt;
}

uint MetaObject::SignalCount(bool includeBases) const {
    const uint own = static_cast<uint>(signalMap.size());
    return own + ((includeBases && parent) ? parent->SignalCount(true) : 0);
}

uint MetaObject::SlotCount(bool includeBases) const {
    const uint own = static_cast<uint>(slotMap.size());
    return own + ((includeBases && parent) ? parent->SlotCount(true) : 0);
}

const MetaTableEntry* MetaObject::SignalEntry(uint index, bool searchBases) const {
    const MetaObject* owner = this;
    if (searchBases) {
        while (owner->parent && owner->inheritedSignalCount > index) owner = owner->parent;
        index -= owner->inheritedSignalCount;
    }
    return index < owner->SignalCount(false) ? &owner->signalTable[index] : nullptr;
}

const MetaTableEntry* MetaObject::SlotEntry(uint index, bool searchBases) const {
    const MetaObject* owner = this;
    if (searchBases) {
        while (owner->parent && owner->inheritedSlotCount > index) owner = owner->parent;
        index -= owner->inheritedSlotCount;
    }
    return index < owner->SlotCount(false) ? &owner->slotTable[index] : nullptr;
}

bool MetaObject::InvokeOwnSignal(Object* object, uint k, std::vector<void*>& args) const {
    const MetaTableEntry* entry = SignalEntry(k, false);
    return entry && entry->invoke && entry->invoke(object, args);
}

bool MetaObject::InvokeOwnSlot(Object* object, uint k, std::vector<void*>& args) const {
    const MetaTableEntry* entry = SlotEntry(k, false);
    return entry && entry->invoke && entry->invoke(object, args);
}

bool MetaObject::HasDuplicateSignatures() const {
    return signalMap.size() != m_signalTableLength || slotMap.size() != m_slotTableLength;
}
