#include "platform/VersionInfo.h"
#include "platform/posix/VersionInfoPe.h"

#include <cstring>
#include <string>

// The buffer that getFileVersionInfo fills starts with the VS_VERSIONINFO resource as
// the file holds it (its root's wLength giving its size D), followed by a four-byte
// signature and a room of 2 * D + 4 bytes. verQueryValue converts a UTF-16 text found
// at offset o of the resource into UTF-8 at offset 2 * o of the room: UTF-8 takes at
// most 3 bytes where UTF-16 takes 2, so texts never overlap and a repeated query
// writes the same bytes again.
namespace platform
{
    namespace
    {
        constexpr std::uint8_t blockSignature[4] = { 'H', 'F', 'V', '8' };
        constexpr std::size_t nodeHeaderSize = 6;
        constexpr std::uint16_t textType = 1;

        std::uint16_t le16 (const std::uint8_t* p) { return static_cast<std::uint16_t> (p[0] | (p[1] << 8)); }
        std::size_t align4 (std::size_t n) { return (n + 3) & ~std::size_t (3); }

        std::size_t roomOffset (std::size_t dataSize) { return dataSize + sizeof (blockSignature); }
        std::size_t blockSize (std::size_t dataSize)  { return roomOffset (dataSize) + 2 * dataSize + 4; }

        // One node of the version tree: wLength, wValueLength, wType, key, value, children.
        struct Node
        {
            std::size_t start = 0, end = 0;
            std::size_t keyStart = 0, keyUnits = 0;
            std::size_t valueStart = 0, valueEnd = 0;
            std::size_t childrenStart = 0;
            std::uint16_t type = 0;
        };

        // The node at offset, bounded by limit; false when it does not fit or has no key.
        bool parseNode (const std::uint8_t* data, std::size_t offset, std::size_t limit, Node& node)
        {
            if (offset > limit || limit - offset < nodeHeaderSize)
                return false;

            const std::size_t length = le16 (data + offset);
            if (length < nodeHeaderSize)
                return false;

            node.start = offset;
            node.end = (length < limit - offset) ? offset + length : limit;
            node.type = le16 (data + offset + 4);
            node.keyStart = offset + nodeHeaderSize;

            std::size_t p = node.keyStart;
            while (p + 2 <= node.end && le16 (data + p) != 0)
                p += 2;

            if (p + 2 > node.end)
                return false; // the key runs past the node

            node.keyUnits = (p - node.keyStart) / 2;

            const std::size_t valueLength = le16 (data + offset + 2);
            const std::size_t valueBytes = node.type == textType ? 2 * valueLength : valueLength;

            node.valueStart = align4 (p + 2);
            if (node.valueStart > node.end)
                node.valueStart = node.end;

            node.valueEnd = (valueBytes < node.end - node.valueStart) ? node.valueStart + valueBytes : node.end;
            node.childrenStart = align4 (node.valueStart + valueBytes);
            return true;
        }

        // Appends the code point of the UTF-16 units at p (advancing p) as UTF-8.
        // An unpaired surrogate becomes U+FFFD.
        void appendUtf8 (std::string& out, const std::uint8_t* data, std::size_t& p, std::size_t end)
        {
            std::uint32_t c = le16 (data + p);
            p += 2;

            if (c >= 0xD800 && c <= 0xDBFF && p + 2 <= end)
            {
                const std::uint32_t low = le16 (data + p);
                if (low >= 0xDC00 && low <= 0xDFFF)
                {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    p += 2;
                }
            }

            if (c >= 0xD800 && c <= 0xDFFF)
                c = 0xFFFD;

            if (c < 0x80)
                out += static_cast<char> (c);
            else if (c < 0x800)
            {
                out += static_cast<char> (0xC0 | (c >> 6));
                out += static_cast<char> (0x80 | (c & 0x3F));
            }
            else if (c < 0x10000)
            {
                out += static_cast<char> (0xE0 | (c >> 12));
                out += static_cast<char> (0x80 | ((c >> 6) & 0x3F));
                out += static_cast<char> (0x80 | (c & 0x3F));
            }
            else
            {
                out += static_cast<char> (0xF0 | (c >> 18));
                out += static_cast<char> (0x80 | ((c >> 12) & 0x3F));
                out += static_cast<char> (0x80 | ((c >> 6) & 0x3F));
                out += static_cast<char> (0x80 | (c & 0x3F));
            }
        }

        // UTF-16 text from start up to end or the first null.
        std::string toUtf8 (const std::uint8_t* data, std::size_t start, std::size_t end)
        {
            std::string out;
            for (std::size_t p = start; p + 2 <= end && le16 (data + p) != 0;)
                appendUtf8 (out, data, p, end);
            return out;
        }

        char asciiLower (char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char> (c - 'A' + 'a') : c; }

        bool keyMatches (const std::uint8_t* data, const Node& node, const std::string& name)
        {
            const auto key = toUtf8 (data, node.keyStart, node.keyStart + 2 * node.keyUnits);

            if (key.size() != name.size())
                return false;

            for (std::size_t i = 0; i < key.size(); ++i)
                if (asciiLower (key[i]) != asciiLower (name[i]))
                    return false;

            return true;
        }

        bool findChild (const std::uint8_t* data, const Node& parent, const std::string& name, Node& child)
        {
            for (std::size_t at = parent.childrenStart; at < parent.end;)
            {
                if (! parseNode (data, at, parent.end, child))
                    return false;

                if (keyMatches (data, child, name))
                    return true;

                at = align4 (child.end);
            }

            return false;
        }
    }

    //==============================================================================
    std::uint32_t pe::versionBlockSize (std::size_t resourceSize)
    {
        return static_cast<std::uint32_t> (blockSize (resourceSize));
    }

    bool pe::makeVersionBlock (const Bytes& resource, std::uint32_t size, void* data)
    {
        if (data == nullptr || resource.size() < nodeHeaderSize || resource.size() > 0xFFFF)
            return false;

        // As much of the resource as fits with its room.
        std::size_t dataSize = resource.size();
        if (blockSize (dataSize) > size)
            dataSize = size < blockSize (0) ? 0 : (size - blockSize (0)) / 3;

        if (dataSize < nodeHeaderSize)
            return false;

        auto* block = static_cast<std::uint8_t*> (data);
        std::memcpy (block, resource.data(), dataSize);
        block[0] = static_cast<std::uint8_t> (dataSize);
        block[1] = static_cast<std::uint8_t> (dataSize >> 8);
        std::memcpy (block + dataSize, blockSignature, sizeof (blockSignature));
        std::memset (block + roomOffset (dataSize), 0, blockSize (dataSize) - roomOffset (dataSize));
        return true;
    }

    std::uint32_t getFileVersionInfoSize (const char* path, std::uint32_t* handle)
    {
        if (handle != nullptr)
            *handle = 0;

        const auto resource = pe::findVersionResource (pe::FileSource (path));
        return resource ? pe::versionBlockSize (resource->size()) : 0;
    }

    bool getFileVersionInfo (const char* path, std::uint32_t, std::uint32_t size, void* data)
    {
        const auto resource = pe::findVersionResource (pe::FileSource (path));
        return resource && pe::makeVersionBlock (*resource, size, data);
    }

    bool verQueryValue (void* block, const char* subBlock, void** value, std::uint32_t* length)
    {
        if (block == nullptr || subBlock == nullptr || value == nullptr)
            return false;

        auto* data = static_cast<std::uint8_t*> (block);
        const std::size_t dataSize = le16 (data);

        if (dataSize < nodeHeaderSize || std::memcmp (data + dataSize, blockSignature, sizeof (blockSignature)) != 0)
            return false;

        Node node;
        if (! parseNode (data, 0, dataSize, node))
            return false;

        // Walk the path's names, a backslash between them.
        for (const char* p = subBlock; *p != 0;)
        {
            while (*p == '\\')
                ++p;

            const char* nameEnd = p;
            while (*nameEnd != 0 && *nameEnd != '\\')
                ++nameEnd;

            if (nameEnd == p)
                break;

            Node child;
            if (! findChild (data, node, std::string (p, nameEnd), child))
                return false;

            node = child;
            p = nameEnd;
        }

        if (node.type != textType || node.start == 0)
        {
            *value = data + node.valueStart;
            if (length != nullptr)
                *length = static_cast<std::uint32_t> (node.valueEnd - node.valueStart);
            return true;
        }

        const auto text = toUtf8 (data, node.valueStart, node.valueEnd);
        auto* out = data + roomOffset (dataSize) + 2 * node.valueStart;
        std::memcpy (out, text.c_str(), text.size() + 1);

        *value = out;
        if (length != nullptr)
            *length = static_cast<std::uint32_t> (text.size() + 1);
        return true;
    }
}
