#include "wizard/Dialogs.h"

namespace Dialogs
{
    namespace
    {
        class NativeBackend : public Backend
        {
        public:
            void showMessageBox (const juce::String& title, const juce::String& message) override
            {
                juce::NativeMessageBox::showMessageBox (juce::MessageBoxIconType::NoIcon, title, message, nullptr);
            }

            bool showOkCancelBox (const juce::String& title, const juce::String& message) override
            {
                return juce::NativeMessageBox::showOkCancelBox (juce::MessageBoxIconType::NoIcon, title, message,
                                                                nullptr, nullptr);
            }

            std::optional<juce::File> chooseFolder (const juce::String& title, const juce::File& startFolder) override
            {
                juce::FileChooser chooser (title, startFolder, "*", true);

                if (! chooser.showDialog (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectDirectories,
                                          nullptr))
                    return std::nullopt;

                return chooser.getResult();
            }
        };

        NativeBackend nativeBackend;
        Backend* current = &nativeBackend;
    }

    void showMessageBox (const juce::String& title, const juce::String& message)
    {
        current->showMessageBox (title, message);
    }

    bool showOkCancelBox (const juce::String& title, const juce::String& message)
    {
        return current->showOkCancelBox (title, message);
    }

    std::optional<juce::File> chooseFolder (const juce::String& title, const juce::File& startFolder)
    {
        return current->chooseFolder (title, startFolder);
    }

    ScopedBackend::ScopedBackend (Backend& replacement) : previous (current)
    {
        current = &replacement;
    }

    ScopedBackend::~ScopedBackend()
    {
        current = previous;
    }
}
