#include <QvBase/Util/ObjectInvokeImpl.h>

QV_META_BEGIN(Util::ObjectInvokeImpl, Object)
    QV_SIGNAL(sig)
    QV_SIGNAL(sig, (uint, uVal))
    QV_META_SLOTS
QV_META_END

namespace Util {

ObjectInvokeImpl::ObjectInvokeImpl(Object* target, const char* member) : Object("ObjectInvokeImpl") {
    Object::Connect(this, "2sig()", target, member);
    sig();
}

ObjectInvokeImpl::ObjectInvokeImpl(Object* target, const char* member, uint value) : Object("ObjectInvokeImpl - uint") {
    Object::Connect(this, "2sig(uint)", target, member);
    sig(value);
}

void ObjectInvokeImpl::sig() { QV_EMIT(sig); }
void ObjectInvokeImpl::sig(uint uVal) { QV_EMIT(sig, uVal); }

}  // namespace Util
