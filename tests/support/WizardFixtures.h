#pragma once

#include "resources/PeImageWriter.h"
#include "wizard/Dialogs.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>
#include <deque>

namespace testing_support
{
    // A folder of the test's own, removed with everything in it at the end.
    struct TemporaryFolder
    {
        juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                .getNonexistentChildFile ("hf-wizard-test", {}, false);

        TemporaryFolder() { folder.createDirectory(); }
        ~TemporaryFolder() { folder.deleteRecursively(); }

        juce::File make (const juce::String& relativePath) const
        {
            auto f = folder.getChildFile (relativePath);
            f.createDirectory();
            return f;
        }
    };

    // Points the registry at a .reg file naming the given plug-in folders per version key,
    // for the life of the object.
    class ScopedRegistry
    {
    public:
        explicit ScopedRegistry (const std::vector<std::pair<juce::String, juce::File>>& pluginFolders)
        {
            juce::String text ("Windows Registry Editor Version 5.00\r\n\r\n");
            for (auto& [version, folder] : pluginFolders)
                text << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Adobe\\After Effects\\" << version << "]\r\n"
                     << "\"PluginInstallPath\"=\"" << folder.getFullPathName().replace ("\\", "\\\\") << "\"\r\n\r\n";

            file.replaceWithText (text);
            if (auto* old = std::getenv ("HF_REGISTRY_FILE"))
                previous = old;
            setenv ("HF_REGISTRY_FILE", file.getFullPathName().toRawUTF8(), 1);
        }

        ~ScopedRegistry()
        {
            if (previous.isNotEmpty())
                setenv ("HF_REGISTRY_FILE", previous.toRawUTF8(), 1);
            else
                unsetenv ("HF_REGISTRY_FILE");
            file.deleteFile();
        }

    private:
        juce::File file = juce::File::getSpecialLocation (juce::File::tempDirectory)
                              .getNonexistentChildFile ("hf-registry", ".reg", false);
        juce::String previous;
    };

    // Puts a plug-in file with the given product version where the installer looks for it.
    inline void installPluginCopy (const juce::File& pluginFolder, const std::string& version)
    {
        auto image = pe::pluginWithProductVersion (version);
        auto target = pluginFolder.getChildFile ("Hollowfen").getChildFile ("Vistrel").getChildFile ("Vistrel.aex");
        target.getParentDirectory().createDirectory();
        target.replaceWithData (image.data(), image.size());
    }

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
