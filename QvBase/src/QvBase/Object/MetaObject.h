#pragma once
#include <QvBase/Types.h>

#include <map>
#include <optional>
#include <vector>

class Object;

struct MetaParam {
    const char* name;  // "uID"
    const char* typeName;  // "uint", "const String&"
};

struct MetaMethod {
    const char* name;  // "sigProxy"
    const MetaParam* params;  // null when there are none
    int paramCount;
};

// One signal or slot of a class. `invoke` calls the member on an object of that
// class with arguments read through the pointers of `args` (false when too few).
struct MetaTableEntry {
    const char* signature;  // normalised, without code digit: "sigProxy(uint)"
    const MetaMethod* method;
    bool (*invoke)(Object* object, std::vector<void*>& args);
};

// Byte-wise less-than over unsigned bytes; both pointers must be non-null.
bool CStringLess(const char* a, const char* b);

struct CStringLessFn {
    bool operator()(const char* a, const char* b) const { return CStringLess(a, b); }
};

// The description of one class: its name, its base's meta object and its own
// signal and slot tables. Indexes count over the whole class chain, the root's
// members first. Classes declare theirs with the macros of Object/MetaDeclare.h.
class MetaObject {
public:
    using Map = std::map<const char*, const MetaTableEntry*, CStringLessFn>;

    static const MetaObject* Create(const MetaObject* parent, const char* className, const MetaTableEntry* signalTable,
        uint signalCount, const MetaTableEntry* slotTable, uint slotCount);

    std::optional<uint> IndexOfSignal(const char* signature, bool searchBases = true) const;
    std::optional<uint> IndexOfSlot(const char* signature, bool searchBases = true) const;
    uint SignalCount(bool includeBases = true) const;
    uint SlotCount(bool includeBases = true) const;
    // With searchBases the index counts over the class chain; without it, it is a
    // position in this class's own table. Null when out of range.
    const MetaTableEntry* SignalEntry(uint index, bool searchBases = true) const;
    const MetaTableEntry* SlotEntry(uint index, bool searchBases = true) const;

    // Calls own member k (a position in this class's table) on object.
    bool InvokeOwnSignal(Object* object, uint k, std::vector<void*>& args) const;
    bool InvokeOwnSlot(Object* object, uint k, std::vector<void*>& args) const;

    // A table that names one signature twice is a programming error; its later
    // entry shadows the earlier one.
    bool HasDuplicateSignatures() const;

    const MetaObject* const parent;
    const char* const className;
    const MetaTableEntry* const signalTable;
    const MetaTableEntry* const slotTable;
    const Map signalMap;
    const Map slotMap;
    const uint inheritedSignalCount;
    const uint inheritedSlotCount;

private:
    MetaObject(const MetaObject* pParent, const char* szClassName, const MetaTableEntry* pSignals, uint signalCount,
        const MetaTableEntry* pSlots, uint slotCount);

    uint m_signalTableLength;
    uint m_slotTableLength;
};
