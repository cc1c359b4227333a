#include "platform/WindowRepaint.h"

namespace platform
{
    void keepWindowsRepainting() {}

    bool isRunningUnderWine() { return false; }
}
