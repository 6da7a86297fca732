#pragma once
#include <QvBase/Object/Object.h>

namespace UI::Native {

class HostWindow;

// Made on the stack while a close request is handled: passes the close on to the first
// receiver of the host window's close signals only.
class HostWindowEmitProxy : public Object {
    QV_OBJECT()
public:
    explicit HostWindowEmitProxy(HostWindow* host);

    void sigUserClosed();
    void sigUserClosed(Native::HostWindow* host);
};

}  // namespace UI::Native
