#include <QvBase/Util/FileMode.h>

namespace Util {

String FileRuntimeMode(std::uint32_t mode) {
    bool reading = (mode & (2 | 8)) != 0;
    const bool writing = (mode & (4 | 8 | 16)) != 0;
    const bool truncating = (mode & 2) ? (mode & 32) != 0 : true;
    const bool appending = (mode & 16) != 0;
    if (!reading && !writing) reading = true;

    String runtime;
    if (writing && !reading)
        runtime = appending ? "a" : "w";
    else if (reading && !writing)
        runtime = "r";
    else if (truncating)
        runtime = "w+";
    else
        runtime = appending ? "a+" : "r+";
    runtime += (mode & 64) ? 't' : 'b';
    return runtime;
}

}  // namespace Util
