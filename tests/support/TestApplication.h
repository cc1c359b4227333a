#pragma once

#include "app/VistrelInstallerApplication.h"

#include <optional>

// The application object of a test run: the product's hooks, with values a test may
// replace for a while (see ScopedHookValue). It is never initialised or run; it only
// answers the hooks that the code under test asks for through getInstance.
class TestApplication : public VistrelInstallerApplication
{
public:
    static TestApplication& get();

    std::optional<juce::String> temporaryFolderName;
    std::optional<juce::String> applicationVersion;
    std::optional<juce::String> welcomeText;

    juce::String getWelcomeText() override
    {
        return welcomeText ? *welcomeText : VistrelInstallerApplication::getWelcomeText();
    }

    juce::String getTemporaryFolderName() override
    {
        return temporaryFolderName ? *temporaryFolderName : VistrelInstallerApplication::getTemporaryFolderName();
    }

    const juce::String getApplicationVersion() override
    {
        return applicationVersion ? *applicationVersion : VistrelInstallerApplication::getApplicationVersion();
    }
};

// Replaces one of the test application's values for the life of the object.
class ScopedHookValue
{
public:
    ScopedHookValue (std::optional<juce::String>& slotToSet, juce::String value)
        : slot (slotToSet), previous (slotToSet)
    {
        slot = std::move (value);
    }

    ~ScopedHookValue() { slot = previous; }

private:
    std::optional<juce::String>& slot;
    std::optional<juce::String> previous;
};
