#include "platform/Registry.h"
#include "tests/support/DiscoveryFixtures.h"

#include <gtest/gtest.h>

// The registry layer over the system's registry, seeded with reg.exe (wine reg under
// Wine) in the 64-bit and the 32-bit view. The keys are the test's own.
namespace
{
    const juce::String key64 = "HKEY_LOCAL_MACHINE\\SOFTWARE\\HfInstallerTests\\Values";
    const juce::String key32 = "HKEY_LOCAL_MACHINE\\SOFTWARE\\HfInstallerTests\\Only32";

    struct SeededRegistry : ::testing::Test
    {
        static int reg (juce::StringArray arguments)
        {
            arguments.insert (0, "reg");
            return testing_support::runSystemProgram (arguments);
        }

        static void add (const juce::String& key, const juce::String& name, const juce::String& type,
                         const juce::String& data, const juce::String& view)
        {
            // Without /d the value is empty (an empty argument would not reach reg.exe).
            juce::StringArray arguments { "add", key, "/v", name, "/t", type };
            if (data.isNotEmpty())
                arguments.addArray ({ "/d", data });
            arguments.addArray ({ "/f", view });
            ASSERT_EQ (reg (arguments), 0) << name;
        }

        static void SetUpTestSuite()
        {
            clear();
            ASSERT_NO_FATAL_FAILURE (add (key64, "Text", "REG_SZ", "C:\\Program Files\\Adobe\\Plug-ins", "/reg:64"));
            ASSERT_NO_FATAL_FAILURE (add (key64, "Unicode", "REG_SZ", juce::String::fromUTF8 ("C:\\Plug-ins \xce\xb2"), "/reg:64"));
            ASSERT_NO_FATAL_FAILURE (add (key64, "Empty", "REG_SZ", "", "/reg:64"));
            ASSERT_NO_FATAL_FAILURE (add (key64, "Expandable", "REG_EXPAND_SZ", "%ProgramFiles%\\Adobe", "/reg:64"));
            ASSERT_NO_FATAL_FAILURE (add (key64, "Number", "REG_DWORD", "1234", "/reg:64"));
            ASSERT_NO_FATAL_FAILURE (add (key64, "AllBits", "REG_DWORD", "0xffffffff", "/reg:64"));
            ASSERT_NO_FATAL_FAILURE (add (key64, "Bytes", "REG_BINARY", "2f746d70", "/reg:64"));
            ASSERT_NO_FATAL_FAILURE (add (key64, "Wide", "REG_QWORD", "5", "/reg:64"));
            ASSERT_NO_FATAL_FAILURE (add (key32, "Text", "REG_SZ", "C:\\Only32", "/reg:32"));

            const std::vector<WCHAR> plugIns { 'C', ':', '\\', 'P', 'l', 'u', 'g', '-', 'i', 'n', 's', ' ' };
            auto with = [&plugIns] (std::vector<WCHAR> tail)
            {
                auto units = plugIns;
                units.insert (units.end(), tail.begin(), tail.end());
                return units;
            };
            ASSERT_NO_FATAL_FAILURE (setUnterminated ("PairAtTheEnd", with ({ 0xD83D, 0xDE00 })));
            ASSERT_NO_FATAL_FAILURE (setUnterminated ("LowSurrogateAtTheEnd", with ({ 0xDC00 })));
            ASSERT_NO_FATAL_FAILURE (setUnterminated ("HighSurrogateAtTheEnd", with ({ 0xD83D })));
            ASSERT_NO_FATAL_FAILURE (setUnterminated ("NullInside", with ({ 'a', 0, 'b' })));
            ASSERT_NO_FATAL_FAILURE (setUnterminated ("OddLength", with ({ 'a' }), DWORD (plugIns.size() * sizeof (WCHAR) + 1)));
        }

        // A REG_SZ value of exactly these units, without a terminating null.
        static void setUnterminated (const juce::String& name, const std::vector<WCHAR>& units, DWORD numBytes)
        {
            HKEY key = nullptr;
            ASSERT_EQ (RegCreateKeyExW (HKEY_LOCAL_MACHINE, L"SOFTWARE\\HfInstallerTests\\Values", 0, nullptr, 0,
                                        KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr), ERROR_SUCCESS);
            const auto status = RegSetValueExW (key, name.toWideCharPointer(), 0, REG_SZ,
                                                reinterpret_cast<const BYTE*> (units.data()), numBytes);
            RegCloseKey (key);
            ASSERT_EQ (status, ERROR_SUCCESS) << name;
        }

        static void setUnterminated (const juce::String& name, const std::vector<WCHAR>& units)
        {
            setUnterminated (name, units, DWORD (units.size() * sizeof (WCHAR)));
        }

        static void TearDownTestSuite() { clear(); }

        static void clear()
        {
            reg ({ "delete", "HKEY_LOCAL_MACHINE\\SOFTWARE\\HfInstallerTests", "/f", "/reg:64" });
            reg ({ "delete", "HKEY_LOCAL_MACHINE\\SOFTWARE\\HfInstallerTests", "/f", "/reg:32" });
        }
    };
}

TEST_F (SeededRegistry, AnswersStringsAndNumbersAndTheDefaultForEveryOtherType)
{
    const struct { const char* name; juce::String expected; } cases[] {
        { "Text", "C:\\Program Files\\Adobe\\Plug-ins" },
        { "Unicode", juce::String::fromUTF8 ("C:\\Plug-ins \xce\xb2") },
        { "Empty", "" },
        { "Expandable", "(default)" },
        { "Number", "1234" },
        { "AllBits", "-1" },
        { "Bytes", "(default)" },
        { "Wide", "(default)" },
        { "Missing", "(default)" },
    };

    for (auto mode : { platform::Registry::WoW64_Default, platform::Registry::WoW64_64bit })
        for (auto& c : cases)
        {
            SCOPED_TRACE (juce::String (c.name) + (mode == platform::Registry::WoW64_64bit ? " (64-bit view)" : " (default view)"));
            EXPECT_EQ (platform::Registry::getValue (key64 + "\\" + c.name, "(default)", mode), c.expected);
        }
}

// Written by RegSetValueExW without a terminating null: the text holds the value's units
// and nothing after them, a surrogate left unpaired at the end dropped.
TEST_F (SeededRegistry, AStringStoredWithoutItsNullReadsAsExactlyItsUnits)
{
    const juce::String plugIns ("C:\\Plug-ins ");
    const struct { const char* name; juce::String expected; } cases[] {
        { "PairAtTheEnd", plugIns + juce::String::fromUTF8 ("\xF0\x9F\x98\x80") },
        { "LowSurrogateAtTheEnd", plugIns },
        { "HighSurrogateAtTheEnd", plugIns },
        { "NullInside", plugIns + "a" },
        { "OddLength", plugIns },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (platform::Registry::getValue (key64 + "\\" + c.name, "(default)", platform::Registry::WoW64_64bit), c.expected);
    }
}

TEST_F (SeededRegistry, AKeyExistsWhenTheKeyThatHoldsTheValueOpensWhateverTheValue)
{
    const struct { juce::String path; bool expected; } cases[] {
        { key64 + "\\Text", true },
        { key64 + "\\Missing", true },               // the key is there, the value is not
        { key64 + "\\Missing\\PluginInstallPath", false },
        { "HKEY_LOCAL_MACHINE\\SOFTWARE\\HfInstallerTests\\Nowhere\\Text", false },
        { "HKLM\\SOFTWARE\\HfInstallerTests\\Values\\Text", true },
    };

    for (auto mode : { platform::Registry::WoW64_Default, platform::Registry::WoW64_64bit })
        for (auto& c : cases)
        {
            SCOPED_TRACE (c.path);
            EXPECT_EQ (platform::Registry::keyExists (c.path, mode), c.expected);
        }
}

// This is a 64-bit program: its default view is the 64-bit one, and a key that only the
// 32-bit view holds is in neither.
TEST_F (SeededRegistry, AKeyOfThe32BitViewOnlyIsNotSeen)
{
    for (auto mode : { platform::Registry::WoW64_Default, platform::Registry::WoW64_64bit })
    {
        EXPECT_FALSE (platform::Registry::keyExists (key32 + "\\Text", mode));
        EXPECT_EQ (platform::Registry::getValue (key32 + "\\Text", "(default)", mode), "(default)");
    }
}
