#pragma once
#include <QvBase/Types.h>
#include <QvBase/Util/SharedPtr.h>

#include <vector>

class Object;

// One signal-to-member link. A connection removed while its list is being emitted
// is only marked dead, and leaves the list when the outermost emission ends.
struct Connection {
    Object* receiver;
    const char* memberSignature;  // as the receiver's class table holds it
    char code;  // '1' slot, '2' signal of the receiver
    uint memberIndex;
    uint argCount;
    bool dead;
};

// The connections of one signal of one sender, in the order they were made.
struct ConnectionList {
    std::vector<SharedPtr<Connection>> connections;
    Object* sender;  // null once the sender let go of the list during an emission
    uint signalIndex;
    uint emitDepth = 0;  // emissions of this list running, nested ones included
    bool hasDead = false;
};
