#include <QvBase/Util/SignalProxy.h>

QV_META_BEGIN(Util::SignalProxy, Object)
    QV_SIGNAL(sigProxy, (uint, uID))
    QV_SIGNAL(sigProxy, (bool, bID))
    QV_META_SLOTS
    QV_SLOT(slotProxyUInt)
    QV_SLOT(slotProxyBool)
QV_META_END

namespace Util {

SignalProxy::SignalProxy(Object* parent, const char* signal, Object* receiver, const char* member, bool value)
    : Object("SignalProxy"), m_uValue(0), m_bValue(value) {
    if (parent) parent->AddChild(this);
    Object::Connect(parent, signal, this, "1slotProxyBool()");
    Object::Connect(this, "2sigProxy(bool)", receiver, member);
}

void SignalProxy::sigProxy(uint uID) { QV_EMIT(sigProxy, uID); }
void SignalProxy::sigProxy(bool bID) { QV_EMIT(sigProxy, bID); }

void SignalProxy::slotProxyUInt() { sigProxy(m_uValue); }

void SignalProxy::slotProxyBool() { sigProxy(m_bValue); }

}  // namespace Util
