#include "platform/Registry.h"
#include "platform/Utf16Text.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <sys/stat.h>

// The registry of a .reg export file. regedit writes the "Windows Registry Editor
// Version 5.00" form in UTF-16LE with a byte-order mark ("REGEDIT4" in an 8-bit code
// page); UTF-8 text is read too. A file that breaks the format anywhere is rejected
// whole, so a half-understood file never answers half its keys.
namespace platform
{
    namespace
    {
        constexpr juce::uint32 regSz = 1, regDword = 4, regBinary = 3;

        struct Value
        {
            juce::uint32 type = 0;
            juce::String text;      // REG_SZ
            juce::MemoryBlock data; // every other type
        };

        // Keys and value names compare without regard to case: both maps are keyed by
        // the lower-case text.
        struct Key
        {
            std::map<juce::String, Value> values;
        };

        using Tree = std::map<juce::String, Key>;

        // The root key's full name for a path that starts with one, followed by the rest.
        std::optional<juce::String> withFullRootName (const juce::String& path, bool fromFile)
        {
            static const std::pair<const char*, const char*> roots[] = {
                { "HKEY_CURRENT_USER", "HKEY_CURRENT_USER" },   { "HKCU", "HKEY_CURRENT_USER" },
                { "HKEY_LOCAL_MACHINE", "HKEY_LOCAL_MACHINE" }, { "HKLM", "HKEY_LOCAL_MACHINE" },
                { "HKEY_CLASSES_ROOT", "HKEY_CLASSES_ROOT" },   { "HKCR", "HKEY_CLASSES_ROOT" },
                { "HKEY_USERS", "HKEY_USERS" },                 { "HKU", "HKEY_USERS" },
            };

            for (auto& [name, full] : roots)
            {
                const juce::String prefix (name);

                if (fromFile && path.equalsIgnoreCase (prefix))
                    return juce::String (full);

                if (path.startsWithIgnoreCase (prefix + "\\"))
                    return juce::String (full) + path.substring (prefix.length());
            }

            // regedit exports this root as well; juce::WindowsRegistry does not open it.
            if (fromFile && (path.equalsIgnoreCase ("HKEY_CURRENT_CONFIG") || path.startsWithIgnoreCase ("HKEY_CURRENT_CONFIG\\")))
                return path;

            return std::nullopt;
        }

        //==============================================================================
        juce::String decodeText (const juce::MemoryBlock& bytes)
        {
            auto* b = static_cast<const juce::uint8*> (bytes.getData());
            const auto size = bytes.getSize();

            if (size >= 2 && b[0] == 0xFF && b[1] == 0xFE) // UTF-16LE after its byte-order mark
                return textFromUtf16 (b + 2, size - 2);

            // UTF-8 (a byte-order mark skipped), else the 8-bit code page of REGEDIT4 files.
            return juce::String::createStringFromData (bytes.getData(), static_cast<int> (size));
        }

        // A REG_SZ value given as hex(1): UTF-16LE bytes in a version 5 file, 8-bit text in REGEDIT4.
        juce::String decodeStringBytes (const juce::MemoryBlock& bytes, bool wide)
        {
            if (! wide)
            {
                auto* b = static_cast<const char*> (bytes.getData());
                size_t n = 0;
                while (n < bytes.getSize() && b[n] != 0)
                    ++n;
                return juce::String::createStringFromData (b, static_cast<int> (n));
            }

            return textFromUtf16 (bytes.getData(), bytes.getSize());
        }

        //==============================================================================
        class Parser
        {
        public:
            std::optional<Tree> parse (const juce::String& text)
            {
                const auto lines = splitLines (text);

                if (lines.empty())
                    return std::nullopt;

                const auto header = lines.front().trim();
                if (header == "Windows Registry Editor Version 5.00")
                    wideStrings = true;
                else if (header != "REGEDIT4")
                    return std::nullopt;

                for (size_t i = 1; i < lines.size(); ++i)
                {
                    auto line = lines[i].trimStart();

                    if (line.isEmpty() || line.startsWithChar (';'))
                        continue;

                    if (line.startsWithChar ('['))
                    {
                        if (! parseKeyLine (line.trimEnd()))
                            return std::nullopt;
                        continue;
                    }

                    if (! line.startsWithChar ('"') && ! line.startsWithChar ('@'))
                        return std::nullopt;

                    // A value's data may go on over the following lines, each ending in a
                    // backslash; the data must go on.
                    while (continues (line))
                    {
                        if (i + 1 >= lines.size() || lines[i + 1].trim().isEmpty())
                            return std::nullopt;

                        line = line.trimEnd().dropLastCharacters (1) + lines[++i].trimStart();
                    }

                    if (! parseValueLine (line))
                        return std::nullopt;
                }

                return std::move (tree);
            }

        private:
            Tree tree;
            juce::String currentKey; // lower case; empty after a key deletion or before any key
            bool wideStrings = false;

            static std::vector<juce::String> splitLines (const juce::String& text)
            {
                std::vector<juce::String> lines;
                auto p = text.getCharPointer();

                for (;;)
                {
                    auto start = p;
                    while (! p.isEmpty() && *p != '\n')
                        ++p;

                    auto line = juce::String (start, p);
                    if (line.endsWithChar ('\r'))
                        line = line.dropLastCharacters (1);
                    lines.push_back (line);

                    if (p.isEmpty())
                        break;
                    ++p;
                }

                return lines;
            }

            // Whether the line ends in a backslash outside any quoted text.
            static bool continues (const juce::String& line)
            {
                bool quoted = false;
                for (auto p = line.getCharPointer(); ! p.isEmpty(); ++p)
                {
                    if (quoted && *p == '\\')
                    {
                        if ((p + 1).isEmpty())
                            break;
                        ++p;
                    }
                    else if (*p == '"')
                        quoted = ! quoted;
                }

                return ! quoted && line.trimEnd().endsWithChar ('\\');
            }

            bool parseKeyLine (const juce::String& line)
            {
                if (! line.endsWithChar (']'))
                    return false;

                auto name = line.substring (1, line.length() - 1);
                const bool remove = name.startsWithChar ('-');
                if (remove)
                    name = name.substring (1);

                while (name.endsWithChar ('\\'))
                    name = name.dropLastCharacters (1);

                const auto full = withFullRootName (name, true);
                if (! full)
                    return false;

                const auto key = full->toLowerCase();

                if (remove)
                {
                    for (auto it = tree.begin(); it != tree.end();)
                        it = (it->first == key || it->first.startsWith (key + "\\")) ? tree.erase (it) : std::next (it);

                    currentKey = {};
                    return true;
                }

                // A key brings its parent keys into being.
                for (int at = key.indexOfChar ('\\'); at >= 0; at = key.indexOfChar (at + 1, '\\'))
                    tree[key.substring (0, at)];

                tree[key];
                currentKey = key;
                return true;
            }

            // A quoted text from p, with \" and \\ unescaped; p ends after the closing quote.
            static bool parseQuoted (juce::String::CharPointerType& p, juce::String& out)
            {
                if (*p != '"')
                    return false;

                juce::String result;
                for (++p;; ++p)
                {
                    const auto c = *p;

                    if (c == 0)
                        return false;

                    if (c == '"')
                    {
                        ++p;
                        out = result;
                        return true;
                    }

                    if (c == '\\' && (p[1] == '"' || p[1] == '\\'))
                        ++p;

                    result += *p;
                }
            }

            static void skipSpace (juce::String::CharPointerType& p)
            {
                while (*p == ' ' || *p == '\t')
                    ++p;
            }

            static bool atEnd (juce::String::CharPointerType p)
            {
                skipSpace (p);
                return p.isEmpty();
            }

            static int hexDigit (juce::juce_wchar c)
            {
                return juce::CharacterFunctions::getHexDigitValue (c);
            }

            static bool parseHexNumber (juce::String::CharPointerType& p, int maxDigits, juce::uint32& value)
            {
                value = 0;
                int digits = 0;

                while (digits < maxDigits && hexDigit (*p) >= 0)
                {
                    value = (value << 4) | static_cast<juce::uint32> (hexDigit (*p));
                    ++p;
                    ++digits;
                }

                return digits > 0;
            }

            static bool parseBytes (juce::String::CharPointerType& p, juce::MemoryBlock& data)
            {
                for (skipSpace (p); ! p.isEmpty();)
                {
                    juce::uint32 byte = 0;
                    if (! parseHexNumber (p, 2, byte))
                        return false;

                    const auto b = static_cast<juce::uint8> (byte);
                    data.append (&b, 1);
                    skipSpace (p);

                    if (*p == ',')
                    {
                        ++p;
                        skipSpace (p);
                    }
                    else if (! p.isEmpty())
                        return false;
                }

                return true;
            }

            static bool consumeIgnoreCase (juce::String::CharPointerType& p, const char* word)
            {
                auto q = p;
                for (; *word != 0; ++word, ++q)
                    if (juce::CharacterFunctions::toLowerCase (*q) != static_cast<juce::juce_wchar> (*word))
                        return false;

                p = q;
                return true;
            }

            bool parseValueLine (const juce::String& line)
            {
                if (currentKey.isEmpty())
                    return false;

                auto p = line.getCharPointer();
                juce::String name;

                if (*p == '@')
                    ++p;
                else if (! parseQuoted (p, name))
                    return false;

                skipSpace (p);
                if (*p != '=')
                    return false;
                ++p;
                skipSpace (p);

                auto& values = tree[currentKey].values;
                const auto valueKey = name.toLowerCase();
                Value value;

                if (*p == '-')
                {
                    ++p;
                    if (! atEnd (p))
                        return false;
                    values.erase (valueKey);
                    return true;
                }

                if (*p == '"')
                {
                    value.type = regSz;
                    if (! parseQuoted (p, value.text))
                        return false;
                }
                else if (consumeIgnoreCase (p, "dword:"))
                {
                    juce::uint32 number = 0;
                    if (! parseHexNumber (p, 8, number))
                        return false;

                    value.type = regDword;
                    const juce::uint8 bytes[] = { static_cast<juce::uint8> (number), static_cast<juce::uint8> (number >> 8),
                                                  static_cast<juce::uint8> (number >> 16), static_cast<juce::uint8> (number >> 24) };
                    value.data.append (bytes, sizeof (bytes)); // little-endian, as the registry keeps it
                }
                else if (consumeIgnoreCase (p, "hex"))
                {
                    value.type = regBinary;

                    if (*p == '(')
                    {
                        ++p;
                        if (! parseHexNumber (p, 8, value.type) || *p != ')')
                            return false;
                        ++p;
                    }

                    if (*p != ':')
                        return false;
                    ++p;

                    if (! parseBytes (p, value.data))
                        return false;

                    if (value.type == regSz)
                        value.text = decodeStringBytes (value.data, wideStrings);
                }
                else
                    return false;

                if (! atEnd (p))
                    return false;

                values[valueKey] = std::move (value);
                return true;
            }
        };

        //==============================================================================
        // The registry of the file that HF_REGISTRY_FILE names, read again whenever the
        // variable or the file changes.
        class LoadedRegistry
        {
        public:
            template <typename Fn>
            auto withTree (Fn&& fn)
            {
                const std::lock_guard<std::mutex> lock (mutex);
                refresh();
                return fn (tree);
            }

        private:
            struct Identity
            {
                std::string path;
                dev_t device = 0;
                ino_t inode = 0;
                off_t size = -1;
                long long modifiedSeconds = 0, modifiedNanoseconds = 0, changedNanoseconds = 0;

                bool operator== (const Identity& o) const
                {
                    return path == o.path && device == o.device && inode == o.inode && size == o.size
                        && modifiedSeconds == o.modifiedSeconds && modifiedNanoseconds == o.modifiedNanoseconds
                        && changedNanoseconds == o.changedNanoseconds;
                }
            };

            std::mutex mutex;
            std::optional<Identity> loaded;
            Tree tree;

            void refresh()
            {
                Identity now;
                const char* path = std::getenv ("HF_REGISTRY_FILE");
                struct stat info {};

                if (path != nullptr && *path != 0 && ::stat (path, &info) == 0 && S_ISREG (info.st_mode))
                {
                    now.path = path;
                    now.device = info.st_dev;
                    now.inode = info.st_ino;
                    now.size = info.st_size;
                    now.modifiedSeconds = static_cast<long long> (info.st_mtim.tv_sec);
                    now.modifiedNanoseconds = static_cast<long long> (info.st_mtim.tv_nsec);
                    now.changedNanoseconds = static_cast<long long> (info.st_ctim.tv_sec) * 1000000000LL + info.st_ctim.tv_nsec;
                }

                if (loaded && *loaded == now)
                    return;

                loaded = now;
                tree = now.path.empty() ? Tree {} : load (now.path);
            }

            static Tree load (const std::string& path)
            {
                std::ifstream in (path, std::ios::binary);
                if (! in)
                    return {};

                const std::string bytes ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char>());
                if (in.bad())
                    return {};

                auto parsed = Parser().parse (decodeText (juce::MemoryBlock (bytes.data(), bytes.size())));
                return parsed ? std::move (*parsed) : Tree {};
            }
        };

        LoadedRegistry& loadedRegistry()
        {
            static LoadedRegistry registry;
            return registry;
        }

        // The lower-case key path and the value name of a value path.
        std::optional<std::pair<juce::String, juce::String>> splitValuePath (const juce::String& valuePath)
        {
            const auto full = withFullRootName (valuePath, false);
            if (! full)
                return std::nullopt;

            const auto lastSlash = full->lastIndexOfChar ('\\');
            return std::make_pair (full->substring (0, lastSlash).toLowerCase(), full->substring (lastSlash + 1));
        }
    }

    //==============================================================================
    bool Registry::keyExists (const juce::String& valuePath, WoW64Mode)
    {
        const auto path = splitValuePath (valuePath);
        if (! path)
            return false;

        if (! path->first.containsChar ('\\'))
            return true; // a root key always exists

        return loadedRegistry().withTree ([&] (const Tree& tree) { return tree.count (path->first) > 0; });
    }

    juce::String Registry::getValue (const juce::String& valuePath, const juce::String& defaultValue, WoW64Mode)
    {
        const auto path = splitValuePath (valuePath);
        if (! path)
            return defaultValue;

        return loadedRegistry().withTree ([&] (const Tree& tree)
        {
            const auto key = tree.find (path->first);
            if (key == tree.end())
                return defaultValue;

            const auto value = key->second.values.find (path->second.toLowerCase());
            if (value == key->second.values.end())
                return defaultValue;

            const auto& v = value->second;

            if (v.type == regSz)
                return v.text;

            if (v.type == regDword && v.data.getSize() == sizeof (juce::uint32))
            {
                const auto number = juce::ByteOrder::littleEndianInt (v.data.getData());
                return juce::String (static_cast<int> (number));
            }

            return defaultValue;
        });
    }
}
