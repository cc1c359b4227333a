#include "platform/WindowEvents.h"

namespace platform
{
    // Windows delivers every window message through the message queue.
    void keepWindowEventsFlowing() {}
}
