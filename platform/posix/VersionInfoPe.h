#pragma once

// The PE/COFF reader behind the version-information calls: finds the RT_VERSION
// resource of a PE32 or PE32+ image and builds the buffer that the calls hand out.
// Every read goes through a ByteSource, which refuses anything outside its bytes.
// No JUCE here: the fuzz target compiles these files on their own.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform::pe
{
    using Bytes = std::vector<std::uint8_t>;

    class ByteSource
    {
    public:
        virtual ~ByteSource() = default;

        // Copies count bytes from offset; false (and nothing read) when any of them lies
        // outside the source.
        virtual bool read (std::uint64_t offset, void* destination, std::size_t count) const = 0;
    };

    class MemorySource final : public ByteSource
    {
    public:
        MemorySource (const std::uint8_t* data, std::size_t size) : bytes (data), numBytes (size) {}
        bool read (std::uint64_t offset, void* destination, std::size_t count) const override;

    private:
        const std::uint8_t* bytes;
        std::size_t numBytes;
    };

    // A regular file, read with pread; a missing or unreadable file, and anything that is
    // no regular file (a folder, a named pipe, a device, a socket), gives a source that
    // refuses every read, at once.
    class FileSource final : public ByteSource
    {
    public:
        explicit FileSource (const char* path);
        ~FileSource() override;
        FileSource (const FileSource&) = delete;
        FileSource& operator= (const FileSource&) = delete;

        bool read (std::uint64_t offset, void* destination, std::size_t count) const override;

    private:
        int fd = -1;
        std::uint64_t fileSize = 0;
    };

    // The bytes of the image's version resource, cut to the length that its VS_VERSIONINFO
    // root gives: of the resources below RT_VERSION, the one that the system's version
    // calls take for an English (0409) user, of id 1 (VS_VERSION_INFO) and of the language
    // neutral, else 0409, else 0009, else the first. Nothing for a file that is no PE
    // image, has no such resource, or whose resource lies outside the file or its section.
    std::optional<Bytes> findVersionResource (const ByteSource& image);

    // The size of the buffer that holds a version resource of that many bytes together
    // with room for the UTF-8 texts that verQueryValue converts into it.
    std::uint32_t versionBlockSize (std::size_t resourceSize);

    // Lays the resource out in a buffer of size bytes; a buffer too small for all of it
    // gets as much of the resource as fits with its room. False when not even a root
    // node fits.
    bool makeVersionBlock (const Bytes& resource, std::uint32_t size, void* data);
}
