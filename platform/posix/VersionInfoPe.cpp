#include "platform/posix/VersionInfoPe.h"

#include <cstring>
#include <initializer_list>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::pe
{
    //==============================================================================
    bool MemorySource::read (std::uint64_t offset, void* destination, std::size_t count) const
    {
        if (offset > numBytes || count > numBytes - offset)
            return false;

        if (count > 0)
            std::memcpy (destination, bytes + offset, count);

        return true;
    }

    FileSource::FileSource (const char* path)
    {
        if (path == nullptr)
            return;

        // Only a regular file is opened: opening a named pipe waits for a writer, and
        // opening a device may act on it. Should the path turn into a pipe after the
        // check, O_NONBLOCK keeps the open from waiting, and fstat refuses it.
        struct stat info {};

        if (::stat (path, &info) != 0 || ! S_ISREG (info.st_mode))
            return;

        fd = ::open (path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);

        if (fd < 0)
            return;

        if (::fstat (fd, &info) != 0 || ! S_ISREG (info.st_mode) || info.st_size < 0)
        {
            ::close (fd);
            fd = -1;
            return;
        }

        fileSize = static_cast<std::uint64_t> (info.st_size);
    }

    FileSource::~FileSource()
    {
        if (fd >= 0)
            ::close (fd);
    }

    bool FileSource::read (std::uint64_t offset, void* destination, std::size_t count) const
    {
        if (fd < 0 || offset > fileSize || count > fileSize - offset)
            return false;

        auto* out = static_cast<char*> (destination);

        while (count > 0)
        {
            const auto got = ::pread (fd, out, count, static_cast<off_t> (offset));

            if (got <= 0)
                return false; // an error, or the file shrank under us

            out += got;
            offset += static_cast<std::uint64_t> (got);
            count -= static_cast<std::size_t> (got);
        }

        return true;
    }

    //==============================================================================
    namespace
    {
        constexpr std::uint16_t dosSignature = 0x5A4D;       // "MZ"
        constexpr std::uint32_t ntSignature = 0x00004550;    // "PE\0\0"
        constexpr std::uint16_t pe32Magic = 0x10B;
        constexpr std::uint16_t pe32PlusMagic = 0x20B;
        constexpr std::uint32_t resourceDirectoryIndex = 2;
        constexpr std::uint32_t rtVersion = 16;
        constexpr std::uint32_t versionInfoId = 1;                                   // VS_VERSION_INFO
        constexpr std::uint32_t langNeutral = 0, langEnglishUs = 0x0409, langEnglish = 0x0009;
        constexpr std::uint32_t subdirectoryFlag = 0x80000000u;
        constexpr std::size_t sectionHeaderSize = 40;
        constexpr std::size_t directoryEntrySize = 8;
        constexpr std::size_t versionRootHeaderSize = 6; // wLength, wValueLength, wType

        std::uint16_t le16 (const std::uint8_t* p) { return static_cast<std::uint16_t> (p[0] | (p[1] << 8)); }
        std::uint32_t le32 (const std::uint8_t* p) { return static_cast<std::uint32_t> (le16 (p)) | (static_cast<std::uint32_t> (le16 (p + 2)) << 16); }

        bool read16 (const ByteSource& source, std::uint64_t offset, std::uint16_t& value)
        {
            std::uint8_t b[2];
            if (! source.read (offset, b, sizeof (b)))
                return false;
            value = le16 (b);
            return true;
        }

        bool read32 (const ByteSource& source, std::uint64_t offset, std::uint32_t& value)
        {
            std::uint8_t b[4];
            if (! source.read (offset, b, sizeof (b)))
                return false;
            value = le32 (b);
            return true;
        }

        struct Section
        {
            std::uint32_t virtualAddress, rawSize, rawOffset;
        };

        // The file offset of length bytes at rva, when one section's raw data holds all of them.
        std::optional<std::uint64_t> fileOffsetOf (const std::vector<Section>& sections,
                                                   std::uint32_t rva, std::uint64_t length)
        {
            for (auto& s : sections)
            {
                const std::uint64_t start = s.virtualAddress, end = start + s.rawSize;

                if (rva >= start && rva < end && length <= end - rva)
                    return std::uint64_t { s.rawOffset } + (rva - start);
            }

            return std::nullopt;
        }

        struct DirectoryEntry
        {
            std::uint32_t name, offset;
        };

        // The entries of the resource directory at root + offset.
        std::optional<std::vector<DirectoryEntry>> readDirectory (const ByteSource& image, std::uint64_t root,
                                                                  std::uint32_t offset)
        {
            std::uint8_t header[16];
            const auto at = root + offset;

            if (! image.read (at, header, sizeof (header)))
                return std::nullopt;

            const std::size_t count = std::size_t { le16 (header + 12) } + le16 (header + 14);
            Bytes raw (count * directoryEntrySize);

            if (! image.read (at + sizeof (header), raw.data(), raw.size()))
                return std::nullopt;

            std::vector<DirectoryEntry> entries;
            entries.reserve (count);

            for (std::size_t i = 0; i < count; ++i)
                entries.push_back ({ le32 (raw.data() + i * directoryEntrySize),
                                     le32 (raw.data() + i * directoryEntrySize + 4) });

            return entries;
        }

        bool isSubdirectory (const DirectoryEntry& e) { return (e.offset & subdirectoryFlag) != 0; }
        std::uint32_t targetOffset (const DirectoryEntry& e) { return e.offset & ~subdirectoryFlag; }

        // The entry of the directory with that id (a named entry has none); nullptr when
        // there is none.
        const DirectoryEntry* findEntry (const std::vector<DirectoryEntry>& entries, std::uint32_t id)
        {
            for (auto& e : entries)
                if (e.name == id)
                    return &e;

            return nullptr;
        }

        // The language that the system's loader picks for an English (0409) user:
        // language-neutral, then 0409, then English of no region (0009), else the first.
        const DirectoryEntry* pickLanguage (const std::vector<DirectoryEntry>& languages)
        {
            for (auto id : { langNeutral, langEnglishUs, langEnglish })
                if (auto* e = findEntry (languages, id))
                    return e;

            return languages.empty() ? nullptr : &languages.front();
        }
    }

    std::optional<Bytes> findVersionResource (const ByteSource& image)
    {
        // DOS header, then the NT headers where e_lfanew points.
        std::uint16_t mz = 0;
        std::uint32_t ntAt = 0, signature = 0;

        if (! read16 (image, 0, mz) || mz != dosSignature
             || ! read32 (image, 0x3C, ntAt)
             || ! read32 (image, ntAt, signature) || signature != ntSignature)
            return std::nullopt;

        std::uint8_t coff[20];
        if (! image.read (std::uint64_t { ntAt } + 4, coff, sizeof (coff)))
            return std::nullopt;

        const auto numSections = le16 (coff + 2);
        const auto optionalHeaderSize = le16 (coff + 16);
        const auto optionalHeaderAt = std::uint64_t { ntAt } + 4 + sizeof (coff);

        Bytes optional (optionalHeaderSize);
        if (optional.size() < 2 || ! image.read (optionalHeaderAt, optional.data(), optional.size()))
            return std::nullopt;

        // The data directories follow the fixed fields, which PE32+ makes 16 bytes longer.
        std::size_t countAt = 0;
        switch (le16 (optional.data()))
        {
            case pe32Magic:     countAt = 92;  break;
            case pe32PlusMagic: countAt = 108; break;
            default:            return std::nullopt;
        }

        const auto directoriesAt = countAt + 4;
        const auto resourceEntryAt = directoriesAt + resourceDirectoryIndex * 8;

        if (optional.size() < resourceEntryAt + 8 || le32 (optional.data() + countAt) <= resourceDirectoryIndex)
            return std::nullopt;

        const auto resourceRva = le32 (optional.data() + resourceEntryAt);
        if (resourceRva == 0)
            return std::nullopt;

        // Section table.
        Bytes table (std::size_t { numSections } * sectionHeaderSize);
        if (! image.read (optionalHeaderAt + optionalHeaderSize, table.data(), table.size()))
            return std::nullopt;

        std::vector<Section> sections;
        sections.reserve (numSections);
        for (std::size_t i = 0; i < numSections; ++i)
        {
            const auto* s = table.data() + i * sectionHeaderSize;
            sections.push_back ({ le32 (s + 12), le32 (s + 16), le32 (s + 20) });
        }

        const auto root = fileOffsetOf (sections, resourceRva, 16);
        if (! root)
            return std::nullopt;

        // Type level: the RT_VERSION entry. Below it, the id that the system's version calls
        // ask for, VS_VERSION_INFO (1); other ids and names are not looked at. Below that,
        // the language that the system's loader picks for an English user.
        const auto types = readDirectory (image, *root, 0);
        if (! types)
            return std::nullopt;

        const auto* versionType = findEntry (*types, rtVersion);
        if (versionType == nullptr || ! isSubdirectory (*versionType))
            return std::nullopt;

        const auto ids = readDirectory (image, *root, targetOffset (*versionType));
        const auto* id = ids ? findEntry (*ids, versionInfoId) : nullptr;
        if (id == nullptr || ! isSubdirectory (*id))
            return std::nullopt;

        const auto languages = readDirectory (image, *root, targetOffset (*id));
        const auto* language = languages ? pickLanguage (*languages) : nullptr;
        if (language == nullptr || isSubdirectory (*language))
            return std::nullopt;

        // The data entry: RVA and size of the resource's bytes.
        std::uint8_t dataEntry[16];
        if (! image.read (*root + language->offset, dataEntry, sizeof (dataEntry)))
            return std::nullopt;

        const auto dataRva = le32 (dataEntry);
        const auto dataSize = le32 (dataEntry + 4);

        if (dataSize < versionRootHeaderSize)
            return std::nullopt;

        const auto headerAt = fileOffsetOf (sections, dataRva, versionRootHeaderSize);
        std::uint16_t rootLength = 0;

        if (! headerAt || ! read16 (image, *headerAt, rootLength) || rootLength < versionRootHeaderSize)
            return std::nullopt;

        // The root node's own length bounds the version information; the rest is padding.
        const std::uint32_t length = rootLength < dataSize ? rootLength : dataSize;
        const auto dataAt = fileOffsetOf (sections, dataRva, length);

        Bytes resource (length);
        if (! dataAt || ! image.read (*dataAt, resource.data(), resource.size()))
            return std::nullopt;

        return resource;
    }
}
