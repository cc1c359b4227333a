#pragma once

#include "tests/support/DiscoveryFixtures.h"
#include "wizard/Dialogs.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <deque>

namespace testing_support
{
    // Answers the wizard's dialogs from a script and records what they showed.
    class ScriptedDialogs : public Dialogs::Backend
    {
    public:
        struct Shown { juce::String kind, title, message; };

        std::vector<Shown> shown;
        std::deque<bool> okCancelAnswers;
        std::deque<std::optional<juce::File>> chosenFolders;

        void showMessageBox (const juce::String& title, const juce::String& message) override
        {
            shown.push_back ({ "message", title, message });
        }

        bool showOkCancelBox (const juce::String& title, const juce::String& message) override
        {
            shown.push_back ({ "okcancel", title, message });
            if (okCancelAnswers.empty())
                return false;
            auto answer = okCancelAnswers.front();
            okCancelAnswers.pop_front();
            return answer;
        }

        std::optional<juce::File> chooseFolder (const juce::String& title, const juce::File&) override
        {
            shown.push_back ({ "chooser", title, {} });
            if (chosenFolders.empty())
                return std::nullopt;
            auto folder = chosenFolders.front();
            chosenFolders.pop_front();
            return folder;
        }

        juce::StringArray titles() const
        {
            juce::StringArray t;
            for (auto& s : shown)
                t.add (s.title);
            return t;
        }

    private:
        Dialogs::ScopedBackend scope { *this };
    };
}
