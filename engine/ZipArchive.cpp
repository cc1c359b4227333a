#include "engine/ZipArchive.h"

#include <zlib.h>

#include <vector>

namespace ZipArchive
{
    namespace
    {
        juce::uint16 readShort (const char* p) { return juce::ByteOrder::littleEndianShort (p); }
        juce::uint32 readInt (const char* p)   { return juce::ByteOrder::littleEndianInt (p); }

        struct StoredEntry
        {
            juce::String filename;
            juce::int64 uncompressedSize;
            juce::uint32 crc32;
        };

        // The central directory, walked the way juce::ZipFile walks it, so that the
        // records line up with its entries.
        std::vector<StoredEntry> readCentralDirectory (juce::InputStream& in)
        {
            const auto total = in.getTotalLength();
            const auto tailStart = juce::jmax ((juce::int64) 0, total - 22 - 65535);
            juce::MemoryBlock tail;

            if (total < 22 || ! in.setPosition (tailStart)
                 || in.readIntoMemoryBlock (tail, (ssize_t) (total - tailStart)) != (size_t) (total - tailStart))
                return {};

            const auto* bytes = static_cast<const char*> (tail.getData());
            auto end = (juce::int64) tail.getSize() - 22;

            while (end >= 0 && readInt (bytes + end) != 0x06054b50)
                --end;

            if (end < 0)
                return {};

            const int numEntries = readShort (bytes + end + 10);
            auto offset = (juce::int64) readInt (bytes + end + 16);

            if (offset >= 4)
            {
                in.setPosition (offset);

                if (in.readInt() != 0x02014b50)
                {
                    in.setPosition (offset - 4);

                    if (in.readInt() == 0x02014b50)
                        offset -= 4;
                }
            }

            if (offset < 0 || offset >= total)
                return {};

            juce::MemoryBlock directory;
            const auto size = (size_t) (total - offset);
            in.setPosition (offset);

            if (in.readIntoMemoryBlock (directory, (ssize_t) size) != size)
                return {};

            std::vector<StoredEntry> entries;
            size_t pos = 0;

            for (int i = 0; i < numEntries; ++i)
            {
                if (pos + 46 > size)
                    break;

                const auto* record = static_cast<const char*> (directory.getData()) + pos;
                const auto nameLength = readShort (record + 28);

                if (pos + 46 + nameLength > size)
                    break;

                entries.push_back ({ juce::String::fromUTF8 (record + 46, nameLength),
                                     (juce::int64) readInt (record + 24),
                                     readInt (record + 16) });

                pos += 46u + nameLength + readShort (record + 30) + readShort (record + 32);
            }

            return entries;
        }

        // Rides along with the archive's shared pointer, where std::get_deleter finds it.
        struct ArchiveHolder
        {
            std::vector<juce::uint32> crcs; // empty when they could not be matched to the entries
            std::shared_ptr<juce::MemoryBlock> ownedData;

            void operator() (juce::ZipFile* archive) const { delete archive; }
        };

        std::shared_ptr<juce::ZipFile> makeArchive (std::unique_ptr<juce::ZipFile> archive, juce::InputStream& directorySource,
                                                    std::shared_ptr<juce::MemoryBlock> ownedData = {})
        {
            ArchiveHolder holder;
            holder.ownedData = std::move (ownedData);

            auto stored = readCentralDirectory (directorySource);
            bool matches = (int) stored.size() == archive->getNumEntries();

            for (int i = 0; matches && i < archive->getNumEntries(); ++i)
            {
                auto* entry = archive->getEntry (i);
                auto& record = stored[(size_t) i];
                matches = entry->filename == record.filename && entry->uncompressedSize == record.uncompressedSize;
            }

            if (matches)
                for (auto& record : stored)
                    holder.crcs.push_back (record.crc32);

            return std::shared_ptr<juce::ZipFile> (archive.release(), std::move (holder));
        }

        bool hasSymbolicPart (const juce::File& root, const juce::File& f)
        {
            for (auto p = f; p != root && p.isAChildOf (root); p = p.getParentDirectory())
                if (p.isSymbolicLink())
                    return true;

            return false;
        }

        // Writes all of the bytes, going on after a partial write so that a failure leaves
        // its reason in the stream's status.
        bool writeFully (juce::FileOutputStream& out, const char* data, size_t size)
        {
            while (size > 0)
            {
                const auto before = out.getPosition();

                if (out.write (data, size))
                    return true;

                const auto written = out.getPosition() - before;

                if (written <= 0)
                    return false;

                data += written;
                size -= (size_t) written;
            }

            return true;
        }

        juce::String hex32 (juce::uint32 value)
        {
            return "0x" + juce::String::toHexString ((juce::int64) value).paddedLeft ('0', 8);
        }
    }

    std::shared_ptr<juce::ZipFile> open (const void* data, size_t size)
    {
        juce::MemoryInputStream directory (data, size, false);
        return makeArchive (std::make_unique<juce::ZipFile> (new juce::MemoryInputStream (data, size, false), true), directory);
    }

    std::shared_ptr<juce::ZipFile> open (juce::MemoryBlock data)
    {
        auto owned = std::make_shared<juce::MemoryBlock> (std::move (data));
        juce::MemoryInputStream directory (*owned, false);
        return makeArchive (std::make_unique<juce::ZipFile> (new juce::MemoryInputStream (*owned, false), true),
                            directory, owned);
    }

    std::shared_ptr<juce::ZipFile> open (const juce::File& file)
    {
        auto archive = std::make_unique<juce::ZipFile> (file);
        juce::FileInputStream directory (file);

        if (directory.failedToOpen())
            return std::shared_ptr<juce::ZipFile> (archive.release(), ArchiveHolder {});

        return makeArchive (std::move (archive), directory);
    }

    std::optional<juce::uint32> getEntryCrc32 (const std::shared_ptr<juce::ZipFile>& archive, int index)
    {
        if (auto* holder = std::get_deleter<ArchiveHolder> (archive))
            if (index >= 0 && (size_t) index < holder->crcs.size())
                return holder->crcs[(size_t) index];

        return std::nullopt;
    }

    juce::String getEntryPath (const juce::ZipFile::ZipEntry& entry)
    {
       #if JUCE_WINDOWS
        return entry.filename;
       #else
        return entry.filename.replaceCharacter ('\\', '/');
       #endif
    }

    bool isFolderEntry (const juce::ZipFile::ZipEntry& entry)
    {
        return entry.filename.endsWithChar ('/') || entry.filename.endsWithChar ('\\');
    }

    ExtractionOutcome extractEntry (juce::ZipFile& archive, int index, const juce::File& targetFolder,
                                    std::optional<juce::uint32> expectedCrc32, const std::function<bool()>& shouldStop)
    {
        auto* entry = archive.getEntry (index);

        if (entry == nullptr)
            return juce::Result::fail ("There is no entry " + juce::String (index) + " in the archive");

        const auto entryPath = getEntryPath (*entry);

        if (entryPath.isEmpty())
            return juce::Result::ok();

        const auto targetFile = targetFolder.getChildFile (entryPath);
        const auto targetPath = targetFile.getFullPathName();

        if (! targetFile.isAChildOf (targetFolder))
            return juce::Result::fail ("Entry " + entryPath + " is outside the target directory");

        if (isFolderEntry (*entry))
            return targetFile.createDirectory();

        // A link could point anywhere; the later steps would follow it.
        if (entry->isSymbolicLink)
            return juce::Result::fail ("Entry " + entryPath + " is a symbolic link, which is not installed");

        std::unique_ptr<juce::InputStream> in (archive.createStreamForEntry (index));

        if (in == nullptr)
            return juce::Result::fail ("Failed to open the zip file for reading");

        if (targetFile.exists() && ! targetFile.deleteFile())
            return juce::Result::fail ("Failed to write to target file: " + targetPath);

        if (hasSymbolicPart (targetFolder, targetFile.getParentDirectory()))
            return juce::Result::fail ("Parent directory leads through symlink for target file: " + targetPath);

        if (! targetFile.getParentDirectory().createDirectory())
            return juce::Result::fail ("Failed to create target folder: " + targetFile.getParentDirectory().getFullPathName());

        const auto expectedSize = entry->uncompressedSize;
        auto result = juce::Result::ok();
        bool stopped = false;

        {
            // No buffer: each write goes straight to the file and its result is seen.
            juce::FileOutputStream out (targetFile, 0);

            if (out.failedToOpen())
                return juce::Result::fail ("Failed to write to target file: " + targetPath);

            constexpr int chunkSize = 256 * 1024;
            juce::HeapBlock<char> buffer (chunkSize);
            uLong crc = crc32 (0, nullptr, 0);
            juce::int64 total = 0;

            for (;;)
            {
                const auto numRead = in->read (buffer, chunkSize);

                if (numRead <= 0)
                    break;

                total += numRead;

                if (total > expectedSize)
                    break;

                crc = crc32 (crc, reinterpret_cast<const Bytef*> (buffer.get()), (uInt) numRead);

                if (! writeFully (out, buffer, (size_t) numRead))
                {
                    auto reason = out.getStatus().failed() ? out.getStatus().getErrorMessage()
                                                           : juce::String ("the data could not all be written");
                    result = juce::Result::fail ("Failed to write to target file: " + targetPath + " (" + reason + ")");
                    break;
                }

                if (total < expectedSize && shouldStop && shouldStop())
                {
                    stopped = true;
                    break;
                }
            }

            if (! stopped && result.wasOk() && total != expectedSize)
                result = juce::Result::fail ("Extracted file has the wrong size: " + targetPath + " ("
                                             + (total > expectedSize ? "more than " + juce::String (expectedSize)
                                                                     : juce::String (total))
                                             + " bytes instead of " + juce::String (expectedSize) + ")");

            if (! stopped && result.wasOk() && expectedCrc32.has_value() && (juce::uint32) crc != *expectedCrc32)
                result = juce::Result::fail ("Extracted file does not match its CRC-32: " + targetPath + " ("
                                             + hex32 ((juce::uint32) crc) + " instead of " + hex32 (*expectedCrc32) + ")");
        }

        // The file is closed now: what a stopped or failed entry wrote goes.
        if (stopped || result.failed())
        {
            targetFile.deleteFile();
            return stopped ? ExtractionOutcome::stoppedOnRequest() : ExtractionOutcome (result);
        }

        targetFile.setCreationTime (entry->fileTime);
        targetFile.setLastModificationTime (entry->fileTime);
        targetFile.setLastAccessTime (entry->fileTime);

        return juce::Result::ok();
    }
}
