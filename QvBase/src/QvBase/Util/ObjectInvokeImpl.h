#pragma once
#include <QvBase/Object/Object.h>

namespace Util {

// Calls `member` of `target` (a signature text such as "1slotOpen()") once, from the
// constructor. Built on the stack for one call; a member the target does not know
// calls nothing.
class ObjectInvokeImpl : public Object {
    QV_OBJECT()

public:
    ObjectInvokeImpl(Object* target, const char* member);
    ObjectInvokeImpl(Object* target, const char* member, uint value);

    void sig();
    void sig(uint uVal);
};

}  // namespace Util
