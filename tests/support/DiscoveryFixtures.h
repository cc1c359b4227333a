#pragma once

#include "platform/ProcessList.h"
#include "resources/PeImageWriter.h"
#include "tests/support/TemporaryFiles.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#ifdef _WIN32
 #include "platform/win32/WindowsHeaders.h"
#else
 #include <csignal>
 #include <fcntl.h>
 #include <spawn.h>
 #include <sys/stat.h>
 #include <sys/wait.h>
 #include <unistd.h>
#endif

namespace testing_support
{
    // A folder of the test's own, removed with everything in it at the end.
    struct TemporaryFolder
    {
        juce::File folder = makeUniqueFolder (juce::File::getSpecialLocation (juce::File::tempDirectory), "hf-test-");

        TemporaryFolder() = default;
        ~TemporaryFolder() { folder.deleteRecursively(); }

        TemporaryFolder (const TemporaryFolder&) = delete;
        TemporaryFolder& operator= (const TemporaryFolder&) = delete;

        juce::File make (const juce::String& relativePath) const
        {
            auto f = folder.getChildFile (relativePath);
            f.createDirectory();
            return f;
        }
    };

#ifndef _WIN32
    // Sets the environment variable HF_REGISTRY_FILE (or unsets it, for nullopt) for the
    // life of the object.
    class ScopedRegistryVariable
    {
    public:
        explicit ScopedRegistryVariable (const std::optional<juce::String>& value)
        {
            if (auto* old = std::getenv ("HF_REGISTRY_FILE"))
                previous = juce::String::fromUTF8 (old);

            set (value);
        }

        ~ScopedRegistryVariable() { set (previous); }

        ScopedRegistryVariable (const ScopedRegistryVariable&) = delete;
        ScopedRegistryVariable& operator= (const ScopedRegistryVariable&) = delete;

    private:
        std::optional<juce::String> previous;

        static void set (const std::optional<juce::String>& value)
        {
            if (value)
                setenv ("HF_REGISTRY_FILE", value->toRawUTF8(), 1);
            else
                unsetenv ("HF_REGISTRY_FILE");
        }
    };

#endif

    // The bytes of a .reg file as regedit writes it (UTF-16LE with a byte-order mark) or
    // as UTF-8, with or without its byte-order mark.
    enum class RegEncoding { utf16le, utf8, utf8WithBom };

    inline juce::MemoryBlock encodeRegText (const juce::String& text, RegEncoding encoding)
    {
        juce::MemoryOutputStream out;

        if (encoding == RegEncoding::utf16le)
        {
            out.writeByte (static_cast<char> (0xFF));
            out.writeByte (static_cast<char> (0xFE));
            for (auto p = text.getCharPointer(); ! p.isEmpty();)
            {
                const auto c = static_cast<juce::uint32> (p.getAndAdvance());
                if (c >= 0x10000)
                {
                    out.writeShort (static_cast<short> (0xD800 + ((c - 0x10000) >> 10)));
                    out.writeShort (static_cast<short> (0xDC00 + ((c - 0x10000) & 0x3FF)));
                }
                else
                    out.writeShort (static_cast<short> (c));
            }
        }
        else
        {
            if (encoding == RegEncoding::utf8WithBom)
                out.write ("\xEF\xBB\xBF", 3);
            out.write (text.toRawUTF8(), text.getNumBytesAsUTF8());
        }

        return out.getMemoryBlock();
    }

    // A .reg text naming the given plug-in folder per After Effects version key.
    inline juce::String pluginFolderRegText (const std::vector<std::pair<juce::String, juce::File>>& pluginFolders)
    {
        juce::String text ("Windows Registry Editor Version 5.00\r\n\r\n");
        for (auto& [version, folder] : pluginFolders)
            text << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Adobe\\After Effects\\" << version << "]\r\n"
                 << "\"PluginInstallPath\"=\"" << folder.getFullPathName().replace ("\\", "\\\\") << "\"\r\n\r\n";
        return text;
    }

#ifdef _WIN32
    // Runs a program of the system (reg.exe) and answers its exit code, -1 when it did not run.
    inline int runSystemProgram (const juce::StringArray& command)
    {
        juce::ChildProcess process;

        if (! process.start (command, 0))
            return -1;

        if (! process.waitForProcessToFinish (60000))
        {
            process.kill();
            return -1;
        }

        return static_cast<int> (process.getExitCode());
    }

    // Puts a .reg file of the test's own into the system's registry (reg import, 64-bit
    // view) for the life of the object. The After Effects keys are what the file says
    // for that time: those there before are exported first and put back at the end.
    class ScopedRegistry
    {
    public:
        explicit ScopedRegistry (const std::vector<std::pair<juce::String, juce::File>>& pluginFolders)
            : ScopedRegistry (pluginFolderRegText (pluginFolders), RegEncoding::utf16le) {}

        ScopedRegistry (const juce::String& regText, RegEncoding encoding)
        {
            hadKeys = runSystemProgram ({ "reg", "export", keyPath, backup.getFullPathName(), "/y", "/reg:64" }) == 0;
            write (regText, encoding);
        }

        ~ScopedRegistry()
        {
            clear();

            if (hadKeys)
                runSystemProgram ({ "reg", "import", backup.getFullPathName(), "/reg:64" });

        }

        void write (const juce::String& regText, RegEncoding encoding)
        {
            clear();
            const auto bytes = encodeRegText (regText, encoding);
            file.replaceWithData (bytes.getData(), bytes.getSize());
            imported = runSystemProgram ({ "reg", "import", file.getFullPathName(), "/reg:64" }) == 0;
        }

        // Whether the last file was taken in whole.
        bool wasImported() const { return imported; }

        const juce::File& getFile() const { return file; }

    private:
        const juce::String keyPath { "HKEY_LOCAL_MACHINE\\SOFTWARE\\Adobe\\After Effects" };
        TemporaryFolder folder;
        juce::File file = folder.folder.getChildFile ("registry.reg");
        juce::File backup = folder.folder.getChildFile ("registry-backup.reg");
        bool hadKeys = false, imported = false;

        void clear() { runSystemProgram ({ "reg", "delete", keyPath, "/f", "/reg:64" }); }
    };
#else
    // Points the registry at a .reg file of the test's own for the life of the object.
    class ScopedRegistry
    {
    public:
        // Names the given plug-in folders per version key.
        explicit ScopedRegistry (const std::vector<std::pair<juce::String, juce::File>>& pluginFolders)
            : ScopedRegistry (pluginFolderRegText (pluginFolders), RegEncoding::utf8) {}

        // Writes the text in the given encoding.
        ScopedRegistry (const juce::String& regText, RegEncoding encoding)
        {
            write (regText, encoding);
        }


        // Replaces the file's content; the registry reads it anew.
        void write (const juce::String& regText, RegEncoding encoding)
        {
            writeBytes (encodeRegText (regText, encoding));
        }

        void writeBytes (const juce::MemoryBlock& bytes)
        {
            if (bytes.isEmpty()) // replaceWithData would delete the file
            {
                file.deleteFile();
                file.create();
            }
            else
                file.replaceWithData (bytes.getData(), bytes.getSize());
        }

        const juce::File& getFile() const { return file; }

    private:
        TemporaryFolder folder;
        juce::File file = folder.folder.getChildFile ("registry.reg");
        ScopedRegistryVariable variable { file.getFullPathName() };
    };

#endif

    inline void writeFile (const juce::File& target, const pe::Bytes& bytes)
    {
        target.getParentDirectory().createDirectory();

        if (bytes.empty()) // replaceWithData would delete the file
        {
            target.deleteFile();
            target.create();
        }
        else
            target.replaceWithData (bytes.data(), bytes.size());
    }

    // Where the installer looks for an installed copy of the plug-in in a plug-in folder.
    inline juce::File pluginCopyIn (const juce::File& pluginFolder)
    {
        return pluginFolder.getChildFile ("Hollowfen").getChildFile ("Vistrel").getChildFile ("Vistrel.aex");
    }

    // Puts a plug-in file with the given product version where the installer looks for it.
    inline void installPluginCopy (const juce::File& pluginFolder, const std::string& version, bool is64Bit = true)
    {
        writeFile (pluginCopyIn (pluginFolder), pe::pluginWithProductVersion (version, is64Bit));
    }

#ifndef _WIN32
    // Makes a named pipe at the path, and the folders above it.
    inline bool makeNamedPipe (const juce::File& path)
    {
        path.getParentDirectory().createDirectory();
        return ::mkfifo (path.getFullPathName().toRawUTF8(), 0644) == 0;
    }

    // Runs work on a thread of its own and answers whether it ended within the deadline.
    // Whatever the answer, it returns only once the work has ended: a reader that waits in
    // opening the pipe for a writer is let go by opening the pipe for writing, again and
    // again until the work ends, so that a test of a reader that hangs fails and ends.
    inline bool endsWithin (int milliseconds, const juce::File& pipe, const std::function<void()>& work)
    {
        juce::WaitableEvent done (true); // stays signalled
        std::thread thread ([&] { work(); done.signal(); });
        const bool ended = done.wait (milliseconds);

        while (! done.wait (10))
        {
            const int writer = ::open (pipe.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (writer >= 0)
                ::close (writer);
        }

        thread.join();
        return ended;
    }
#endif

    // Waits (10 s at most) until the process list shows a process of that executable name.
    inline bool waitUntilProcessListed (const std::string& name)
    {
        for (int i = 0; i < 1000; ++i)
        {
            const auto names = platform::getRunningProcessNames();
            if (std::find (names.begin(), names.end(), name) != names.end())
                return true;
            juce::Thread::sleep (10);
        }

        return false;
    }

#ifdef _WIN32
    // A real process whose executable file has the given name: a copy of this test
    // program, started suspended so that it runs none of its code, until the object goes.
    class RunningProgram
    {
    public:
        RunningProgram (const juce::File& folder, const juce::String& executableName)
            : executable (folder.getChildFile (executableName))
        {
            if (! juce::File::getSpecialLocation (juce::File::currentExecutableFile).copyFileTo (executable))
                return;

            STARTUPINFOW startup {};
            startup.cb = sizeof (startup);
            std::wstring mutableCommandLine = ("\"" + executable.getFullPathName() + "\"").toWideCharPointer();

            if (CreateProcessW (executable.getFullPathName().toWideCharPointer(), mutableCommandLine.data(), nullptr, nullptr,
                                FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process))
                launched = true;
        }

        ~RunningProgram()
        {
            if (launched)
            {
                TerminateProcess (process.hProcess, 1);
                WaitForSingleObject (process.hProcess, 10000);
                CloseHandle (process.hThread);
                CloseHandle (process.hProcess);
            }

            executable.deleteFile();
        }

        RunningProgram (const RunningProgram&) = delete;
        RunningProgram& operator= (const RunningProgram&) = delete;

        bool started() const { return launched; }

        // Waits (10 s at most) until the process list shows the program under its name.
        bool waitUntilListed() const { return waitUntilProcessListed (executable.getFileName().toStdString()); }

    private:
        juce::File executable;
        PROCESS_INFORMATION process {};
        bool launched = false;
    };
#else
    // A real process whose executable file has the given name: a copy of sleep, run
    // until the object goes. Its first argument is the executable's path unless given.
    class RunningProgram
    {
    public:
        RunningProgram (const juce::File& folder, const juce::String& executableName, std::string firstArgument = {})
            : executable (folder.getChildFile (executableName))
        {
            std::filesystem::copy_file ("/bin/sleep", executable.getFullPathName().toStdString(),
                                        std::filesystem::copy_options::overwrite_existing);

            const std::string path = executable.getFullPathName().toStdString();
            if (firstArgument.empty())
                firstArgument = path;

            std::string seconds ("600");
            char* argv[] = { firstArgument.data(), seconds.data(), nullptr };

            if (posix_spawn (&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0)
                pid = -1;
        }

        ~RunningProgram()
        {
            if (pid > 0)
            {
                ::kill (pid, SIGKILL);
                ::waitpid (pid, nullptr, 0);
            }
        }

        RunningProgram (const RunningProgram&) = delete;
        RunningProgram& operator= (const RunningProgram&) = delete;

        bool started() const { return pid > 0; }

        // Waits (10 s at most) until the process list shows the program under its name,
        // which it does once the new process has run exec.
        bool waitUntilListed() const { return waitUntilProcessListed (executable.getFileName().toStdString()); }

    private:
        juce::File executable;
        pid_t pid = -1;
    };
#endif
}
