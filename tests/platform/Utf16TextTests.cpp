#include "platform/Utf16Text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#ifdef _WIN32
 #include "platform/win32/WindowsHeaders.h"
#else
 #include <sys/mman.h>
 #include <unistd.h>
#endif

namespace
{
    // Bytes that end just before a page that may not be read: a read beyond them crashes.
    class BytesBeforeAGuardPage
    {
    public:
        explicit BytesBeforeAGuardPage (const std::vector<std::uint8_t>& bytes)
        {
           #ifdef _WIN32
            SYSTEM_INFO info {};
            GetSystemInfo (&info);
            pageSize = info.dwPageSize;
            base = static_cast<std::uint8_t*> (VirtualAlloc (nullptr, 2 * pageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
            DWORD previous = 0;
            guarded = base != nullptr && VirtualProtect (base + pageSize, pageSize, PAGE_NOACCESS, &previous);
           #else
            pageSize = static_cast<size_t> (::sysconf (_SC_PAGESIZE));
            void* mapped = ::mmap (nullptr, 2 * pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            base = mapped == MAP_FAILED ? nullptr : static_cast<std::uint8_t*> (mapped);
            guarded = base != nullptr && ::mprotect (base + pageSize, pageSize, PROT_NONE) == 0;
           #endif

            if (guarded && bytes.size() <= pageSize)
            {
                start = base + pageSize - bytes.size();
                if (! bytes.empty())
                    std::memcpy (start, bytes.data(), bytes.size());
            }
        }

        ~BytesBeforeAGuardPage()
        {
            if (base == nullptr)
                return;

           #ifdef _WIN32
            VirtualFree (base, 0, MEM_RELEASE);
           #else
            ::munmap (base, 2 * pageSize);
           #endif
        }

        BytesBeforeAGuardPage (const BytesBeforeAGuardPage&) = delete;
        BytesBeforeAGuardPage& operator= (const BytesBeforeAGuardPage&) = delete;

        const std::uint8_t* data() const { return start; }

    private:
        size_t pageSize = 0;
        std::uint8_t* base = nullptr;
        std::uint8_t* start = nullptr;
        bool guarded = false;
    };

    std::vector<std::uint8_t> littleEndian (const std::vector<std::uint16_t>& units)
    {
        std::vector<std::uint8_t> bytes;
        for (auto u : units)
        {
            bytes.push_back (std::uint8_t (u));
            bytes.push_back (std::uint8_t (u >> 8));
        }
        return bytes;
    }

    juce::String fromCodePoints (const std::vector<juce::juce_wchar>& codePoints)
    {
        juce::String s;
        for (auto c : codePoints)
            s += juce::String::charToString (c);
        return s;
    }
}

// A registry string need not end in a null: the text is the value's units and nothing
// after them, even where the value ends in a surrogate pair or a surrogate of its own.
TEST (Utf16Text, ReadsExactlyTheUnitsUpToTheNullOrTheEndAndDropsAnUnpairedSurrogateAtTheEnd)
{
    const std::vector<std::uint16_t> plugIns { 'C', ':', '\\', 'P', 'l', 'u', 'g', '-', 'i', 'n', 's', ' ' };
    auto with = [&plugIns] (std::vector<std::uint16_t> tail)
    {
        auto units = plugIns;
        units.insert (units.end(), tail.begin(), tail.end());
        return littleEndian (units);
    };

    const juce::String plugInsText ("C:\\Plug-ins ");
    const auto grinning = juce::String::fromUTF8 ("\xF0\x9F\x98\x80"); // U+1F600, a pair in UTF-16

    auto oddLength = littleEndian ({ 'a', 'b' });
    oddLength.push_back ('c');

    const struct { const char* name; std::vector<std::uint8_t> bytes; juce::String expected; } cases[] {
        { "a pair at the end", with ({ 0xD83D, 0xDE00 }), plugInsText + grinning },
        { "two pairs at the end", with ({ 0xD83D, 0xDE00, 0xD83D, 0xDE00 }), plugInsText + grinning + grinning },
        { "a pair inside", with ({ 0xD83D, 0xDE00, 'x' }), plugInsText + grinning + "x" },
        { "a low surrogate at the end", with ({ 0xDC00 }), plugInsText },
        { "a high surrogate at the end", with ({ 0xD83D }), plugInsText },
        { "two low surrogates at the end", with ({ 0xDE00, 0xDE00 }), plugInsText },
        { "a pair, then a high surrogate at the end", with ({ 0xD83D, 0xDE00, 0xD83D }), plugInsText + grinning },
        { "a low surrogate inside is kept", with ({ 0xDC00, 'x' }), plugInsText + fromCodePoints ({ 0xDC00, 'x' }) },
        { "a null inside", with ({ 'a', 0, 'b' }), plugInsText + "a" },
        { "a null at the end", with ({ 'a', 0 }), plugInsText + "a" },
        { "an odd last byte", oddLength, "ab" },
        { "one byte", { 'a' }, "" },
        { "no bytes", {}, "" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const BytesBeforeAGuardPage guarded (c.bytes);
        ASSERT_TRUE (c.bytes.empty() || guarded.data() != nullptr);
        EXPECT_EQ (platform::textFromUtf16 (guarded.data(), c.bytes.size()), c.expected);
    }
}
