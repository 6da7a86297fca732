#pragma once
#include <QvBase/Object/Object.h>

namespace Util {

// Turns a parameterless signal of `parent` into a call of `member` with a fixed
// value: "sigProxy(bool)" carries the value given here, "sigProxy(uint)" carries 0.
// The parent owns the proxy.
class SignalProxy : public Object {
    QV_OBJECT()

public:
    SignalProxy(Object* parent, const char* signal, Object* receiver, const char* member, bool value);

    void sigProxy(uint uID);
    void sigProxy(bool bID);

    void slotProxyUInt();
    void slotProxyBool();

private:
    uint m_uValue;
    bool m_bValue;
};

}  // namespace Util
