#pragma once

// Writes small PE/COFF images (DLLs) with a resource section, and the VS_VERSIONINFO
// block that Windows keeps in an RT_VERSION resource. Used by the build to make the
// stand-in plug-in and by the tests to make version-carrying files of their own.

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace pe
{
    using Bytes = std::vector<std::uint8_t>;

    inline void put16 (Bytes& b, std::uint16_t v) { b.push_back (std::uint8_t (v)); b.push_back (std::uint8_t (v >> 8)); }
    inline void put32 (Bytes& b, std::uint32_t v) { put16 (b, std::uint16_t (v)); put16 (b, std::uint16_t (v >> 16)); }
    inline void put64 (Bytes& b, std::uint64_t v) { put32 (b, std::uint32_t (v)); put32 (b, std::uint32_t (v >> 32)); }
    inline void pad4 (Bytes& b) { while (b.size() % 4 != 0) b.push_back (0); }

    inline void set16 (Bytes& b, size_t at, std::uint16_t v) { b[at] = std::uint8_t (v); b[at + 1] = std::uint8_t (v >> 8); }
    inline void set32 (Bytes& b, size_t at, std::uint32_t v) { set16 (b, at, std::uint16_t (v)); set16 (b, at + 2, std::uint16_t (v >> 16)); }

    // The UTF-16 code units of a UTF-8 text (no validation: the texts are the writer's own).
    inline std::vector<std::uint16_t> utf16Units (const std::string& s)
    {
        std::vector<std::uint16_t> units;
        for (size_t i = 0; i < s.size();)
        {
            const auto b = static_cast<std::uint8_t> (s[i]);
            const int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
            std::uint32_t c = extra == 0 ? b : (b & (0x3Fu >> extra));
            for (int k = 1; k <= extra && i + size_t (k) < s.size(); ++k)
                c = (c << 6) | (static_cast<std::uint8_t> (s[i + size_t (k)]) & 0x3Fu);
            i += size_t (extra) + 1;

            if (c >= 0x10000)
            {
                units.push_back (std::uint16_t (0xD800 + ((c - 0x10000) >> 10)));
                units.push_back (std::uint16_t (0xDC00 + ((c - 0x10000) & 0x3FF)));
            }
            else
                units.push_back (std::uint16_t (c));
        }
        return units;
    }

    // A null-terminated UTF-16 text.
    inline void putWide (Bytes& b, const std::string& s)
    {
        for (auto unit : utf16Units (s))
            put16 (b, unit);
        put16 (b, 0);
    }

    // One version block node: wLength, wValueLength, wType, key, padding, value, padding, children.
    inline Bytes versionNode (const std::string& key, const Bytes& value, std::uint16_t valueLength,
                              std::uint16_t type, const std::vector<Bytes>& children)
    {
        Bytes b;
        put16 (b, 0);
        put16 (b, valueLength);
        put16 (b, type);
        putWide (b, key);
        pad4 (b);
        b.insert (b.end(), value.begin(), value.end());

        for (auto& child : children)
        {
            pad4 (b);
            b.insert (b.end(), child.begin(), child.end());
        }

        set16 (b, 0, std::uint16_t (b.size()));
        return b;
    }

    struct StringTable
    {
        std::string name;                                        // e.g. "040904b0"
        std::vector<std::pair<std::string, std::string>> values; // e.g. { "ProductVersion", "1.3.2" }
    };

    // VS_VERSIONINFO with a VS_FIXEDFILEINFO, the given StringFileInfo tables and a VarFileInfo.
    inline Bytes versionInfo (const std::vector<StringTable>& tables)
    {
        Bytes fixed;
        put32 (fixed, 0xFEEF04BD); // signature
        put32 (fixed, 0x00010000); // struct version
        for (int i = 0; i < 4; ++i) put32 (fixed, 0); // file and product version numbers
        put32 (fixed, 0x3F);       // flags mask
        put32 (fixed, 0);          // flags
        put32 (fixed, 0x40004);    // VOS_NT_WINDOWS32
        put32 (fixed, 2);          // VFT_DLL
        put32 (fixed, 0);          // subtype
        put32 (fixed, 0);          // date
        put32 (fixed, 0);

        std::vector<Bytes> tableNodes;
        for (auto& table : tables)
        {
            std::vector<Bytes> strings;
            for (auto& kv : table.values)
            {
                Bytes value;
                putWide (value, kv.second);
                strings.push_back (versionNode (kv.first, value, std::uint16_t (utf16Units (kv.second).size() + 1), 1, {}));
            }
            tableNodes.push_back (versionNode (table.name, {}, 0, 1, strings));
        }

        Bytes translation;
        put32 (translation, 0x04B00409);
        auto var = versionNode ("Translation", translation, 4, 0, {});

        std::vector<Bytes> children;
        children.push_back (versionNode ("StringFileInfo", {}, 0, 1, tableNodes));
        children.push_back (versionNode ("VarFileInfo", {}, 0, 1, { var }));
        return versionNode ("VS_VERSION_INFO", fixed, std::uint16_t (fixed.size()), 0, children);
    }

    inline Bytes productVersionInfo (const std::string& productVersion, const std::string& block = "040904b0")
    {
        return versionInfo ({ { block, { { "CompanyName", "Hollowfen" },
                                         { "FileDescription", "Vistrel" },
                                         { "ProductName", "Vistrel" },
                                         { "ProductVersion", productVersion } } } });
    }

    struct Resource
    {
        std::uint16_t type;
        std::uint16_t id;
        std::uint16_t language;
        Bytes data;
    };

    // A DLL image with one section, .rsrc, holding the given resources in the three-level
    // directory that a linker writes: an entry per type, below it an entry per id of that
    // type, below that an entry per language of that id, each level in ascending order (the
    // loader looks entries up by halving). 64-bit (PE32+) or 32-bit (PE32).
    inline Bytes dllImage (std::vector<Resource> resources, bool is64Bit = true)
    {
        constexpr std::uint32_t fileAlignment = 0x200, sectionAlignment = 0x1000, sectionRva = 0x1000;

        std::stable_sort (resources.begin(), resources.end(), [] (const Resource& a, const Resource& b)
        {
            return std::tie (a.type, a.id, a.language) < std::tie (b.type, b.id, b.language);
        });

        // The runs of resources that share a type, and those that share a type and an id.
        struct Run { size_t begin, end; };
        std::vector<Run> types, ids;
        for (size_t i = 0; i < resources.size(); ++i)
        {
            const bool newType = i == 0 || resources[i].type != resources[i - 1].type;
            if (newType)
                types.push_back ({ i, i });
            if (newType || resources[i].id != resources[i - 1].id)
                ids.push_back ({ i, i });
            types.back().end = ids.back().end = i + 1;
        }

        // Layout: the root (an entry per type), the id directories (one per type), the
        // language directories (one per type and id), the data entries, then the data.
        auto directorySize = [] (size_t entries) { return std::uint32_t (16 + 8 * entries); };
        auto idsOf = [&ids] (const Run& type)
        {
            std::vector<size_t> found;
            for (size_t j = 0; j < ids.size(); ++j)
                if (ids[j].begin >= type.begin && ids[j].end <= type.end)
                    found.push_back (j);
            return found;
        };

        std::uint32_t at = directorySize (types.size());
        std::vector<std::uint32_t> idDirectoryAt, languageDirectoryAt;
        for (auto& type : types)
        {
            idDirectoryAt.push_back (at);
            at += directorySize (idsOf (type).size());
        }
        for (auto& id : ids)
        {
            languageDirectoryAt.push_back (at);
            at += directorySize (id.end - id.begin);
        }
        const std::uint32_t dataEntriesAt = at;
        std::uint32_t dataAt = dataEntriesAt + 16u * std::uint32_t (resources.size());

        Bytes rsrc;
        auto directory = [] (Bytes& b, size_t entries)
        {
            put32 (b, 0); put32 (b, 0); put16 (b, 0); put16 (b, 0);
            put16 (b, 0); put16 (b, std::uint16_t (entries));
        };

        directory (rsrc, types.size());
        for (size_t t = 0; t < types.size(); ++t)
        {
            put32 (rsrc, resources[types[t].begin].type);
            put32 (rsrc, 0x80000000u | idDirectoryAt[t]);
        }
        for (auto& type : types)
        {
            const auto found = idsOf (type);
            directory (rsrc, found.size());
            for (auto j : found)
            {
                put32 (rsrc, resources[ids[j].begin].id);
                put32 (rsrc, 0x80000000u | languageDirectoryAt[j]);
            }
        }
        for (auto& id : ids)
        {
            directory (rsrc, id.end - id.begin);
            for (size_t i = id.begin; i < id.end; ++i)
            {
                put32 (rsrc, resources[i].language);
                put32 (rsrc, dataEntriesAt + 16u * std::uint32_t (i));
            }
        }
        for (auto& r : resources)
        {
            put32 (rsrc, sectionRva + dataAt); // the data entry holds an RVA
            put32 (rsrc, std::uint32_t (r.data.size()));
            put32 (rsrc, 0);
            put32 (rsrc, 0);
            dataAt += std::uint32_t ((r.data.size() + 7) & ~size_t (7));
        }
        for (auto& r : resources)
        {
            rsrc.insert (rsrc.end(), r.data.begin(), r.data.end());
            while (rsrc.size() % 8 != 0) rsrc.push_back (0);
        }

        const auto rsrcSize = std::uint32_t (rsrc.size());
        const auto rawSize = (rsrcSize + fileAlignment - 1) & ~(fileAlignment - 1);
        const auto imageSize = sectionRva + ((rsrcSize + sectionAlignment - 1) & ~(sectionAlignment - 1));

        Bytes b;
        put16 (b, 0x5A4D); // "MZ"
        b.resize (0x3C, 0);
        put32 (b, 0x40); // e_lfanew
        put32 (b, 0x00004550); // "PE\0\0"

        // COFF file header
        put16 (b, is64Bit ? 0x8664 : 0x014C);
        put16 (b, 1);
        put32 (b, 0);
        put32 (b, 0);
        put32 (b, 0);
        put16 (b, is64Bit ? 240 : 224);
        put16 (b, is64Bit ? 0x2022 : 0x2102);

        // Optional header
        put16 (b, is64Bit ? 0x20B : 0x10B);
        b.push_back (14); b.push_back (0);
        put32 (b, 0);        // size of code
        put32 (b, rawSize);  // size of initialised data
        put32 (b, 0);
        put32 (b, 0);        // entry point: none
        put32 (b, 0);        // base of code
        if (is64Bit)
            put64 (b, 0x180000000ull);
        else
        {
            put32 (b, 0);          // base of data
            put32 (b, 0x10000000); // image base
        }
        put32 (b, sectionAlignment);
        put32 (b, fileAlignment);
        put16 (b, 6); put16 (b, 0); // OS version
        put16 (b, 1); put16 (b, 0); // image version
        put16 (b, 6); put16 (b, 0); // subsystem version
        put32 (b, 0);
        put32 (b, imageSize);
        put32 (b, fileAlignment); // size of headers
        put32 (b, 0);             // checksum
        put16 (b, 2);             // GUI subsystem
        put16 (b, 0x0140);        // dynamic base, NX compatible
        if (is64Bit)
        {
            put64 (b, 0x100000); put64 (b, 0x1000); put64 (b, 0x100000); put64 (b, 0x1000);
        }
        else
        {
            put32 (b, 0x100000); put32 (b, 0x1000); put32 (b, 0x100000); put32 (b, 0x1000);
        }
        put32 (b, 0);  // loader flags
        put32 (b, 16); // data directories
        for (int i = 0; i < 16; ++i)
        {
            if (i == 2) { put32 (b, sectionRva); put32 (b, rsrcSize); }
            else        { put32 (b, 0); put32 (b, 0); }
        }

        // Section table
        const char name[8] = { '.', 'r', 's', 'r', 'c', 0, 0, 0 };
        b.insert (b.end(), name, name + 8);
        put32 (b, rsrcSize);
        put32 (b, sectionRva);
        put32 (b, rawSize);
        put32 (b, fileAlignment);
        put32 (b, 0); put32 (b, 0); put16 (b, 0); put16 (b, 0);
        put32 (b, 0x40000040); // initialised data, readable

        b.resize (fileAlignment, 0);
        b.insert (b.end(), rsrc.begin(), rsrc.end());
        b.resize (fileAlignment + rawSize, 0);
        return b;
    }

    constexpr std::uint16_t rtVersion = 16;
    constexpr std::uint16_t langEnUs = 1033;

    // A DLL whose version resource gives the product version in block 040904b0.
    inline Bytes pluginWithProductVersion (const std::string& productVersion, bool is64Bit = true)
    {
        return dllImage ({ { rtVersion, 1, langEnUs, productVersionInfo (productVersion) } }, is64Bit);
    }
}
