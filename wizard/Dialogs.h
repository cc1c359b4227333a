#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

// The wizard's modal dialogs. The program shows JUCE's native message boxes and folder
// chooser; a test can put a scripted backend in their place for its lifetime.
namespace Dialogs
{
    class Backend
    {
    public:
        virtual ~Backend() = default;
        virtual void showMessageBox (const juce::String& title, const juce::String& message) = 0;
        virtual bool showOkCancelBox (const juce::String& title, const juce::String& message) = 0;
        // The folder the user picked, or nothing when the dialog was cancelled.
        virtual std::optional<juce::File> chooseFolder (const juce::String& title, const juce::File& startFolder) = 0;
    };

    // Modal, no icon, no owner component; returns when the user has closed the box.
    void showMessageBox (const juce::String& title, const juce::String& message);
    bool showOkCancelBox (const juce::String& title, const juce::String& message);
    std::optional<juce::File> chooseFolder (const juce::String& title, const juce::File& startFolder);

    class ScopedBackend
    {
    public:
        explicit ScopedBackend (Backend& replacement);
        ~ScopedBackend();

    private:
        Backend* previous;
    };
}
