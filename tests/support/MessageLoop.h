#pragma once

#include <juce_events/juce_events.h>

#include <functional>

namespace testing_support
{
    // Runs the message loop until the condition holds or the time runs out.
    inline bool runMessageLoopUntil (const std::function<bool()>& condition, int timeoutMs = 10000)
    {
        auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

        while (! condition())
        {
            if (juce::Time::getMillisecondCounter() > end)
                return false;

            juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        }

        return true;
    }
}
