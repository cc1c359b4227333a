// Installs two archives with HfInstallerThread, from the preparation to the end of the
// run, and extracts the same archives with Debian's `unzip -o -q`, alternating, five
// times each, into fresh folders. Prints the medians, the peak memory and, last, the
// larger of the two archives' install/unzip time ratios.
//
//   (a) one entry of 5.85 MB of compressible data
//   (b) 2,000 files of about 200 MB in all
//
// Usage: install_benchmark [work folder]   (default: a new folder below /tmp)

#include "app/VistrelInstallerApplication.h"
#include "engine/HfInstallerThread.h"
#include "engine/ZipArchive.h"
#include "tests/support/TemporaryFiles.h"

#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

extern char** environ;

namespace
{
    class BenchmarkApplication : public VistrelInstallerApplication
    {
    public:
        juce::String getTemporaryFolderName() override { return "HfInstallerBenchmark"; }
    };

    using Clock = std::chrono::steady_clock;

    // Text-like data: words from a small vocabulary, so that it deflates as code and
    // documents do.
    juce::MemoryBlock compressibleData (size_t size, int seed)
    {
        static const char* words[] = { "plugin ", "effect ", "layer ", "frame ", "render ", "pixel ", "colour ", "alpha ",
                                       "matrix ", "buffer ", "vector ", "channel ", "0x3f80 ", "1.0f ", "{ ", "}\n" };
        juce::MemoryOutputStream out (size + 16);
        juce::Random random (seed);

        while (out.getDataSize() < size)
        {
            if (random.nextInt (8) == 0)
                out << juce::String::toHexString (random.nextInt()) << " ";
            else
                out << words[random.nextInt (16)];
        }

        juce::MemoryBlock block (out.getData(), size);
        return block;
    }

    void writeArchive (const juce::File& zipFile, const std::vector<std::pair<juce::String, juce::MemoryBlock>>& entries)
    {
        juce::ZipFile::Builder builder;

        for (auto& [name, data] : entries)
            builder.addEntry (new juce::MemoryInputStream (data, true), 6, name, juce::Time::getCurrentTime());

        zipFile.deleteFile();
        juce::FileOutputStream out (zipFile);
        builder.writeToStream (out, nullptr);
    }

    double install (const std::shared_ptr<juce::ZipFile>& archive, const juce::File& destination, bool& ok)
    {
        HfInstallerThread thread (nullptr);
        thread.setTasks ({ InstallationTask (archive, destination.getFullPathName(), true, true) });

        const auto start = Clock::now();
        thread.prepare();
        thread.start();

        while (thread.isThreadRunning())
            juce::MessageManager::getInstance()->runDispatchLoopUntil (1);

        const auto elapsed = std::chrono::duration<double> (Clock::now() - start).count();
        ok = thread.getState() == HfInstallerThread::Succeeded;
        return elapsed;
    }

    // VmHWM of /proc/<pid>/status, in KiB; 0 once the process is gone.
    long highWaterMarkKiB (pid_t pid)
    {
        auto status = juce::File ("/proc/" + juce::String (pid) + "/status").loadFileAsString();
        auto line = status.fromFirstOccurrenceOf ("VmHWM:", false, false).upToFirstOccurrenceOf ("\n", false, false);
        return line.trim().getLargeIntValue() > 0 ? (long) line.trim().getLargeIntValue() : 0;
    }

    long unzipPeakKiB = 0;

    double unzip (const juce::File& zipFile, const juce::File& folder, bool& ok)
    {
        folder.createDirectory();
        const std::string archivePath = zipFile.getFullPathName().toStdString();
        const std::string folderPath = folder.getFullPathName().toStdString();
        std::vector<char*> argv { const_cast<char*> ("unzip"), const_cast<char*> ("-o"), const_cast<char*> ("-q"),
                                  const_cast<char*> (archivePath.c_str()), const_cast<char*> ("-d"),
                                  const_cast<char*> (folderPath.c_str()), nullptr };

        const auto start = Clock::now();
        pid_t pid = 0;

        if (posix_spawnp (&pid, "unzip", nullptr, nullptr, argv.data(), environ) != 0)
        {
            ok = false;
            return 0.0;
        }

        // The child's own high-water mark, read while it runs: its rusage would report
        // this process's peak, which a spawned child inherits until it calls exec.
        int status = 0;

        while (waitpid (pid, &status, WNOHANG) == 0)
        {
            unzipPeakKiB = std::max (unzipPeakKiB, highWaterMarkKiB (pid));
            juce::Thread::sleep (1);
        }

        const auto elapsed = std::chrono::duration<double> (Clock::now() - start).count();
        ok = WIFEXITED (status) && WEXITSTATUS (status) == 0;
        return elapsed;
    }

    double median (std::vector<double> values)
    {
        std::sort (values.begin(), values.end());
        return values[values.size() / 2];
    }

    struct Case
    {
        const char* name;
        juce::File zipFile;
        juce::int64 bytes;
    };
}

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    BenchmarkApplication application;

    const auto work = argc > 1 ? juce::File (juce::String::fromUTF8 (argv[1]))
                               : testing_support::makeUniqueFolder (juce::File ("/tmp"), "hf-install-benchmark-");
    work.createDirectory();

    std::printf ("Preparing archives in %s\n", work.getFullPathName().toRawUTF8());

    std::vector<Case> cases;
    {
        const auto single = work.getChildFile ("single.zip");
        writeArchive (single, { { "Vistrel.aex", compressibleData (5850000, 1) } });
        cases.push_back ({ "(a) 1 entry, 5.85 MB", single, 5850000 });

        std::vector<std::pair<juce::String, juce::MemoryBlock>> many;
        juce::int64 total = 0;

        for (int i = 0; i < 2000; ++i)
        {
            const auto size = (size_t) 100000;
            many.push_back ({ "folder-" + juce::String (i / 100) + "/file-" + juce::String (i) + ".bin",
                              compressibleData (size, 100 + i) });
            total += (juce::int64) size;
        }

        const auto manyZip = work.getChildFile ("many.zip");
        writeArchive (manyZip, many);
        cases.push_back ({ "(b) 2,000 files, 200 MB", manyZip, total });
    }

    // The archives' data is gone now; the peak from here on is the installer's own.
    malloc_trim (0);
    if (auto* refs = std::fopen ("/proc/self/clear_refs", "w"))
    {
        std::fputs ("5", refs);
        std::fclose (refs);
    }

    double worstRatio = 0.0;
    bool allOk = true;

    for (auto& c : cases)
    {
        auto archive = ZipArchive::open (c.zipFile);
        std::vector<double> installTimes, unzipTimes;

        for (int run = 0; run < 5; ++run)
        {
            bool ok = false;
            const auto destination = work.getChildFile ("install-" + juce::String (run));
            installTimes.push_back (install (archive, destination, ok));
            allOk = allOk && ok;
            destination.deleteRecursively();

            const auto folder = work.getChildFile ("unzip-" + juce::String (run));
            unzipTimes.push_back (unzip (c.zipFile, folder, ok));
            allOk = allOk && ok;
            folder.deleteRecursively();
        }

        const auto installMedian = median (installTimes), unzipMedian = median (unzipTimes);
        const auto ratio = installMedian / unzipMedian;
        worstRatio = std::max (worstRatio, ratio);

        std::printf ("%s (%.1f MB archive): install median %.3f s, unzip median %.3f s, ratio %.3f\n",
                     c.name, (double) c.zipFile.getSize() / 1e6, installMedian, unzipMedian, ratio);
    }

    std::printf ("peak memory (VmHWM) while installing: installer process %.1f MB, unzip %.1f MB\n",
                 (double) highWaterMarkKiB (getpid()) / 1024.0, (double) unzipPeakKiB / 1024.0);

    if (! allOk)
        std::printf ("WARNING: an installation or an unzip run failed\n");

    if (argc <= 1)
        work.deleteRecursively();

    std::printf ("install/unzip time ratio: %.3f\n", worstRatio);
    return allOk ? 0 : 1;
}
