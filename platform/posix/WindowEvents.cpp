#include "platform/WindowEvents.h"

#include <juce_events/juce_events.h>
// JUCE's hook into its own event loop: the file descriptors it watches, and their callbacks.
#include <juce_events/native/juce_linux_EventLoopInternal.h>

#include <sys/socket.h>

namespace platform
{
    namespace
    {
        // The X connection is the one watched socket with a peer of a name (the X server's
        // socket path, or its address); JUCE's message queue is an unnamed socket pair.
        bool hasNamedPeer (int fd)
        {
            sockaddr_storage peer {};
            socklen_t length = sizeof (peer);

            return ::getpeername (fd, reinterpret_cast<sockaddr*> (&peer), &length) == 0
                && length > sizeof (sa_family_t);
        }

        // Has JUCE's callback of the X connection run, which reads what Xlib has queued and
        // returns at once when there is nothing. It runs from a message of its own, as the
        // callback runs from the event loop, never inside this timer's callback: an event
        // may open a modal box, and no timer fires while a timer's callback has not returned.
        class QueuedEventDispatcher final : private juce::Timer,
                                            public juce::DeletedAtShutdown
        {
        public:
            QueuedEventDispatcher() { startTimer (50); }
            ~QueuedEventDispatcher() override { stopTimer(); }

        private:
            void timerCallback() override
            {
                if (connection < 0)
                    for (auto fd : juce::LinuxEventLoopInternal::getRegisteredFds())
                        if (hasNamedPeer (fd))
                            connection = fd;

                if (connection >= 0)
                    juce::MessageManager::callAsync ([fd = connection]
                                                     { juce::LinuxEventLoopInternal::invokeEventLoopCallbackForFd (fd); });
            }

            int connection = -1;
        };
    }

    void keepWindowEventsFlowing()
    {
        JUCE_ASSERT_MESSAGE_THREAD

        static bool started = false;

        if (started)
            return;

        started = true;
        new QueuedEventDispatcher(); // deleted with JUCE's other DeletedAtShutdown objects
    }
}
