#include <QvBase/UI/Native/HostWindowEmitProxy.h>

#include <QvBase/UI/Native/HostWindow.h>

QV_META_BEGIN(UI::Native::HostWindowEmitProxy, Object)
    QV_SIGNAL(sigUserClosed)
    QV_SIGNAL(sigUserClosed, (Native::HostWindow*, pHost))
    QV_META_SLOTS
QV_META_END

namespace UI::Native {

namespace {

// The first live connection of the host's signal, or null.
const Connection* FirstReceiver(HostWindow* host, const char* signature) {
    const std::optional<uint> index = host->MetaObject()->IndexOfSignal(signature);
    if (!index) return nullptr;
    const ConnectionList* list = host->SignalConnections(*index);
    if (!list) return nullptr;
    for (const auto& c : list->connections)
        if (c && !c->dead && c->receiver) return c.Get();
    return nullptr;
}

bool ConnectTo(Object* proxy, const char* signal, const Connection* c) {
    const String member = String("%1%2").Arg(c->code).Arg(c->memberSignature);
    return Object::Connect(proxy, signal, c->receiver, member.CStr());
}

}  // namespace

void HostWindowEmitProxy::sigUserClosed() { QV_EMIT(sigUserClosed); }
void HostWindowEmitProxy::sigUserClosed(Native::HostWindow* host) { QV_EMIT(sigUserClosed, host); }

HostWindowEmitProxy::HostWindowEmitProxy(HostWindow* host) : Object(String("%1 Emit Proxy").Arg(host->Name())) {
    const ::MetaObject* meta = host->MetaObject();
    if (!meta->IndexOfSignal("sigUserClosed()") || !meta->IndexOfSignal("sigUserClosed(Native::HostWindow*)")) return;
    if (const Connection* c = FirstReceiver(host, "sigUserClosed()")) {
        if (ConnectTo(this, "2sigUserClosed()", c)) sigUserClosed();
    } else if (const Connection* c2 = FirstReceiver(host, "sigUserClosed(Native::HostWindow*)")) {
        if (ConnectTo(this, "2sigUserClosed(Native::HostWindow*)", c2)) sigUserClosed(host);
    }
}

}  // namespace UI::Native
