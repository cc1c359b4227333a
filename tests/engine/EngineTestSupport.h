#pragma once

// Fixtures of the engine tests: zip archives written byte by byte, scratch folders,
// small tmpfs volumes, an archive stream that can hold the worker at an entry, and a
// listener that records what it sees.

#include "engine/HfInstallerThread.h"
#include "engine/ZipArchive.h"
#include "tests/support/MessageLoop.h"
#include "tests/support/TemporaryFiles.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <acl/libacl.h>
#include <sys/acl.h>
#include <sys/ioctl.h>
#include <linux/fs.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace engine_test
{
    //==============================================================================
    // A zip archive written by hand, so that a test can store what JUCE's builder cannot:
    // wrong sizes and checksums, symbolic links, names that leave the target folder.
    class ZipWriter
    {
    public:
        struct Entry
        {
            juce::String name;
            juce::MemoryBlock data;
            bool deflate = true;
            std::optional<juce::uint32> storedCrc;          // the real CRC-32 when empty
            std::optional<juce::uint32> storedSize;         // the real size when empty
            juce::uint32 externalAttributes = 0;
        };

        ZipWriter& add (Entry entry) { entries.push_back (std::move (entry)); return *this; }

        ZipWriter& file (const juce::String& name, const juce::String& text, bool deflate = true)
        {
            return add ({ name, juce::MemoryBlock (text.toRawUTF8(), text.getNumBytesAsUTF8()), deflate, {}, {}, 0 });
        }

        ZipWriter& file (const juce::String& name, juce::MemoryBlock data, bool deflate = true)
        {
            return add ({ name, std::move (data), deflate, {}, {}, 0 });
        }

        ZipWriter& folder (const juce::String& name) { return add ({ name, {}, false, {}, {}, 0x41ed0010 }); }

        ZipWriter& symlink (const juce::String& name, const juce::String& linkTarget)
        {
            return add ({ name, juce::MemoryBlock (linkTarget.toRawUTF8(), linkTarget.getNumBytesAsUTF8()), false, {}, {}, 0xa1ff0000 });
        }

        juce::MemoryBlock build()
        {
            juce::MemoryBlock result;
            juce::MemoryOutputStream out (result, false);
            juce::MemoryOutputStream directory;
            localHeaderOffsets.clear();
            dataOffsets.clear();

            for (auto& e : entries)
            {
                juce::MemoryBlock stored;

                if (e.deflate)
                {
                    juce::MemoryOutputStream compressed (stored, false);
                    juce::GZIPCompressorOutputStream zip (compressed, 6, juce::GZIPCompressorOutputStream::windowBitsRaw);
                    zip.write (e.data.getData(), e.data.getSize());
                    zip.flush();
                }
                else
                {
                    stored = e.data;
                }

                const auto crc = e.storedCrc.value_or ((juce::uint32) crc32 (0, static_cast<const Bytef*> (e.data.getData()),
                                                                             (uInt) e.data.getSize()));
                const auto size = e.storedSize.value_or ((juce::uint32) e.data.getSize());
                const auto nameLength = (short) e.name.getNumBytesAsUTF8();
                const auto method = (short) (e.deflate ? 8 : 0);
                localHeaderOffsets.push_back (out.getPosition());

                out.writeInt (0x04034b50);
                out.writeShort (20);
                out.writeShort (0x0800);
                out.writeShort (method);
                out.writeShort (0);
                out.writeShort (0x5a21);
                out.writeInt ((int) crc);
                out.writeInt ((int) stored.getSize());
                out.writeInt ((int) size);
                out.writeShort (nameLength);
                out.writeShort (0);
                out.write (e.name.toRawUTF8(), (size_t) nameLength);
                dataOffsets.push_back (out.getPosition());
                out.write (stored.getData(), stored.getSize());

                directory.writeInt (0x02014b50);
                directory.writeShort ((short) (3 << 8 | 20));
                directory.writeShort (20);
                directory.writeShort (0x0800);
                directory.writeShort (method);
                directory.writeShort (0);
                directory.writeShort (0x5a21);
                directory.writeInt ((int) crc);
                directory.writeInt ((int) stored.getSize());
                directory.writeInt ((int) size);
                directory.writeShort (nameLength);
                directory.writeShort (0);
                directory.writeShort (0);
                directory.writeShort (0);
                directory.writeShort (0);
                directory.writeInt ((int) e.externalAttributes);
                directory.writeInt ((int) localHeaderOffsets.back());
                directory.write (e.name.toRawUTF8(), (size_t) nameLength);
            }

            const auto directoryStart = out.getPosition();
            out.write (directory.getData(), directory.getDataSize());
            out.writeInt (0x06054b50);
            out.writeShort (0);
            out.writeShort (0);
            out.writeShort ((short) entries.size());
            out.writeShort ((short) entries.size());
            out.writeInt ((int) directory.getDataSize());
            out.writeInt ((int) directoryStart);
            out.writeShort (0);
            out.flush();
            return result;
        }

        // Opened as the program opens its archive: with the entries' CRC-32.
        std::shared_ptr<juce::ZipFile> open() { return ZipArchive::open (build()); }

        // Where each entry's header and its stored data begin in the last archive built.
        std::vector<juce::int64> localHeaderOffsets, dataOffsets;

    private:
        std::vector<Entry> entries;
    };

    inline juce::MemoryBlock bytes (size_t size, int seed = 1)
    {
        juce::MemoryBlock block (size);
        juce::Random random (seed);

        for (size_t i = 0; i < size; ++i)
            static_cast<char*> (block.getData())[i] = (char) ('a' + random.nextInt (4));

        return block;
    }

    // Random bytes, which deflate cannot shrink.
    inline juce::MemoryBlock incompressibleBytes (size_t size, int seed)
    {
        juce::MemoryBlock block (size);
        juce::Random (seed).fillBitsRandomly (block.getData(), block.getSize());
        return block;
    }

    inline juce::String readText (const juce::File& f) { return f.loadFileAsString(); }

    //==============================================================================
    // A folder of its own below /tmp (not below TMPDIR, which some tests change).
    class ScratchFolder
    {
    public:
        ScratchFolder() : folder (testing_support::makeUniqueFolder (juce::File ("/tmp"), "hf-engine-test-")) {}

        ~ScratchFolder()
        {
            folder.deleteRecursively();
        }

        juce::File operator/ (const juce::String& path) const { return folder.getChildFile (path); }
        juce::File get() const { return folder; }

    private:
        juce::File folder;
    };

    //==============================================================================
    // A tmpfs volume of a given size, where the test may mount one.
    class ScopedTmpfs
    {
    public:
        ScopedTmpfs (const juce::File& mountPoint, juce::int64 sizeInBytes, const char* mode = "0755")
            : point (mountPoint)
        {
            point.createDirectory();
            const auto options = "size=" + juce::String (sizeInBytes) + ",mode=" + mode;
            mounted = ::mount ("tmpfs", point.getFullPathName().toRawUTF8(), "tmpfs", MS_NOSUID | MS_NODEV,
                               options.toRawUTF8()) == 0;
        }

        ~ScopedTmpfs()
        {
            if (mounted)
                ::umount2 (point.getFullPathName().toRawUTF8(), MNT_DETACH);
        }

        bool isMounted() const { return mounted; }

    private:
        juce::File point;
        bool mounted = false;
    };

   #define HF_REQUIRE_TMPFS(volume) \
        if (! (volume).isMounted()) \
            GTEST_SKIP() << "This test needs a small tmpfs volume, and this process may not mount one (it needs CAP_SYS_ADMIN)";

   #define HF_REQUIRE_ROOT() \
        if (::geteuid() != 0) \
            GTEST_SKIP() << "This test changes owners and runs helpers as other users, which needs root";

    //==============================================================================
    // An archive stream that holds the reader at one offset until the test lets it go.
    class GatedInputStream : public juce::MemoryInputStream
    {
    public:
        explicit GatedInputStream (const juce::MemoryBlock& archiveData) : juce::MemoryInputStream (archiveData, true) {}

        void closeAt (juce::int64 offset)
        {
            std::lock_guard<std::mutex> l (mutex);
            gateOffset = offset;
            open = false;
            reached = false;
        }

        void release()
        {
            std::lock_guard<std::mutex> l (mutex);
            open = true;
            changed.notify_all();
        }

        // Lets a held reader go and closes the gate again at a later offset.
        void moveGateTo (juce::int64 offset)
        {
            std::lock_guard<std::mutex> l (mutex);
            gateOffset = offset;
            reached = false;
            ++passes;
            changed.notify_all();
        }

        bool waitUntilReached (int timeoutMs = 10000)
        {
            std::unique_lock<std::mutex> l (mutex);
            return changed.wait_for (l, std::chrono::milliseconds (timeoutMs), [this] { return reached; });
        }

        // Called at every read, on the reading thread.
        std::function<void()> onRead;

        int read (void* dest, int numBytes) override
        {
            if (onRead)
                onRead();

            {
                std::unique_lock<std::mutex> l (mutex);
                const auto readPosition = getPosition();

                if (! open && readPosition <= gateOffset && gateOffset < readPosition + numBytes)
                {
                    reached = true;
                    changed.notify_all();
                    const auto pass = passes;
                    changed.wait (l, [this, pass] { return open || passes != pass; });
                }
            }

            return juce::MemoryInputStream::read (dest, numBytes);
        }

    private:
        std::mutex mutex;
        std::condition_variable changed;
        juce::int64 gateOffset = -1;
        bool open = true, reached = false;
        int passes = 0;
    };

    // An archive read through a gate: closeAt (entry offset) holds the worker as it opens that entry.
    struct GatedArchive
    {
        explicit GatedArchive (ZipWriter& writer)
        {
            auto data = writer.build();
            offsets = writer.localHeaderOffsets;
            dataOffsets = writer.dataOffsets;
            stream = new GatedInputStream (data);
            archive = std::make_shared<juce::ZipFile> (stream, true);
        }

        void holdAtEntry (size_t index) { stream->closeAt (offsets[index]); }

        // The offset of a byte of an entry's stored data.
        juce::int64 inEntry (size_t index, juce::int64 offsetInData) const { return dataOffsets[index] + offsetInData; }

        GatedInputStream* stream;
        std::shared_ptr<juce::ZipFile> archive;
        std::vector<juce::int64> offsets, dataOffsets;
    };

    //==============================================================================
    // An installer thread whose worker the system refuses to start.
    class UnstartableThread : public HfInstallerThread
    {
    public:
        using HfInstallerThread::HfInstallerThread;

    protected:
        bool startWorker() override { return false; }
    };

    //==============================================================================
    struct Seen
    {
        int state, phase;
        bool operator== (const Seen& other) const { return state == other.state && phase == other.phase; }
    };

    inline std::ostream& operator<< (std::ostream& os, const Seen& s) { return os << "(" << s.state << "," << s.phase << ")"; }

    // Records the distinct (state, phase) pairs that the updates show, in order.
    class RecordingListener : public HfInstallerThread::Listener
    {
    public:
        void installerUpdated() override
        {
            ++calls;
            Seen now { thread->getState(), thread->getPhase() };

            if (seen.empty() || ! (seen.back() == now))
                seen.push_back (now);
        }

        bool sawEnd() const
        {
            return ! seen.empty() && (seen.back().state == HfInstallerThread::Succeeded || seen.back().state == HfInstallerThread::Failed);
        }

        HfInstallerThread* thread = nullptr;
        std::vector<Seen> seen;
        int calls = 0;
    };

    //==============================================================================
    // The temporary folder name of the engine tests: the same for every test of a process
    // (the task folders' root is fixed at its first use), different between processes.
    inline juce::String temporaryFolderName()
    {
        return "HfEngineTests-" + juce::String (::getpid());
    }

    class EngineTest : public ::testing::Test
    {
    protected:
        ScopedHookValue folderName { TestApplication::get().temporaryFolderName, temporaryFolderName() };
        ScratchFolder scratch;
        RecordingListener listener;
        std::unique_ptr<HfInstallerThread> thread = makeThread();

        std::unique_ptr<HfInstallerThread> makeThread()
        {
            auto t = std::make_unique<HfInstallerThread> (&listener);
            listener.thread = t.get();
            return t;
        }

        static juce::File temporaryRoot() { return HfInstallerThread::getTaskTemporaryFolder (0).getParentDirectory(); }

        void TearDown() override
        {
            thread.reset();
            temporaryRoot().deleteRecursively();
        }

        // Prepares, starts, and runs the message loop until the run has ended and its last
        // update has been delivered.
        void runInstallation (const std::vector<InstallationTask>& tasks)
        {
            thread->setTasks (tasks);
            thread->prepare();
            thread->start();
            ASSERT_NO_FATAL_FAILURE (waitForEnd());
        }

        // Prepares and starts the tasks, and waits until the worker is held at the gate.
        bool startUntilHeld (const std::vector<InstallationTask>& tasks, GatedArchive& gated)
        {
            thread->setTasks (tasks);
            thread->prepare();
            thread->start();
            return gated.stream->waitUntilReached();
        }

        void waitForEnd()
        {
            ASSERT_TRUE (testing_support::runMessageLoopUntil ([this] { return ! thread->isThreadRunning() && listener.sawEnd(); }, 60000));
        }
    };

    // The list of a file as text with numeric ids: "user::r-x,group::r-x,...".
    inline std::string aclText (const juce::File& f)
    {
        acl_t acl = acl_get_file (f.getFullPathName().toRawUTF8(), ACL_TYPE_ACCESS);

        if (acl == nullptr)
            return "(no list)";

        char* text = acl_to_any_text (acl, nullptr, ',', TEXT_NUMERIC_IDS);
        std::string result (text != nullptr ? text : "");
        acl_free (text);
        acl_free (acl);
        return result;
    }

    inline const char* installedAcl = "user::r-x,group::r-x,group:0:rwx,mask::rwx,other::r-x";

    // Sets or clears a file's immutable flag; false where the file system or the process cannot.
    inline bool setImmutable (const juce::File& f, bool immutable)
    {
        const int fd = ::open (f.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);

        if (fd < 0)
            return false;

        int flags = 0;
        bool ok = ::ioctl (fd, FS_IOC_GETFLAGS, &flags) == 0;

        if (ok)
        {
            flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl (fd, FS_IOC_SETFLAGS, &flags) == 0;
        }

        ::close (fd);
        return ok;
    }

    inline uid_t ownerOf (const juce::File& f)
    {
        struct stat info {};
        ::lstat (f.getFullPathName().toRawUTF8(), &info);
        return info.st_uid;
    }
}
