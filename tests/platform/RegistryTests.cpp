#include "platform/Registry.h"
#include "tests/support/DiscoveryFixtures.h"

#include <gtest/gtest.h>

using platform::Registry;
using testing_support::RegEncoding;
using testing_support::ScopedRegistry;
using testing_support::ScopedRegistryVariable;
using testing_support::TemporaryFolder;

namespace
{
    const juce::String none ("<default>");

    juce::String valueOf (const juce::String& path, Registry::WoW64Mode mode = Registry::WoW64_Default)
    {
        return Registry::getValue (path, none, mode);
    }

    const char* encodingName (RegEncoding e)
    {
        return e == RegEncoding::utf16le ? "UTF-16LE" : e == RegEncoding::utf8 ? "UTF-8" : "UTF-8 with BOM";
    }

    const juce::String sampleFile = juce::String::fromUTF8 (
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "; exported for the tests\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker]\r\n"
        "\"Plain\"=\"C:\\\\Program Files\\\\Maker\"\r\n"
        "\"Quoted\"=\"say \\\"hi\\\"\"\r\n"
        "\"Number\"=dword:0000002a\r\n"
        "\"Negative\"=dword:ffffffff\r\n"
        "\"Expand\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n"
        "\"Binary\"=hex:01,02,03\r\n"
        "\"Multi\"=hex(7):61,00,00,00,00,00\r\n"
        "\"Wide\"=hex(1):41,00,42,00,00,00\r\n"
        "\"WideUnterminated\"=hex(1):41,00,3d,d8,00,de\r\n"
        "\"WideEndingInASurrogate\"=hex(1):41,00,00,dc\r\n"
        "\"NumberAsBytes\"=hex(4):07,01,00,00\r\n"
        "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\r\n"
        "\"Long\"=hex(2):43,00,3a,00,5c,00,50,00,6c,00,75,00,67,00,2d,00,69,00,6e,00,\\\r\n"
        "  73,00,00,00\r\n"
        "\"AfterLong\"=\"still read\"\r\n"
        "@=\"the default value\"\r\n"
        "\"Gone\"=\"soon\"\r\n"
        "\"Gone\"=-\r\n"
        "\"Empty\"=\"\"\r\n"
        "\"Back\\\\slash \\\"name\\\"\"=\"odd name\"\r\n"
        "\"\xc3\x9cml\xc3\xa4ut\"=\"Gr\xc3\xbc\xc3\x9f""e \xe2\x82\xac\"\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Product\\Deep]\r\n"
        "\"Value\"=\"deep\"\r\n");

    const juce::String key ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\");
}

TEST (Registry, ReadsStringAndNumberValuesAndTheDefaultForEveryOtherType)
{
    struct Case { juce::String path, expected; };
    const std::vector<Case> cases {
        { key + "Plain", "C:\\Program Files\\Maker" },
        { key + "Quoted", "say \"hi\"" },
        { key + "Number", "42" },
        { key + "Negative", "-1" },                  // a DWORD reads as a signed 32-bit number
        { key + "Expand", none },                    // REG_EXPAND_SZ
        { key + "Binary", none },
        { key + "Multi", none },
        { key + "Wide", "AB" },                      // REG_SZ given as bytes
        { key + "WideUnterminated", juce::String::fromUTF8 ("A\xF0\x9F\x98\x80") }, // no null, a pair at the end
        { key + "WideEndingInASurrogate", "A" },     // an unpaired surrogate at the end is dropped
        { key + "NumberAsBytes", "263" },            // REG_DWORD given as bytes
        { key + "Qword", none },
        { key + "Long", none },                      // continued over two lines
        { key + "AfterLong", "still read" },
        { key, "the default value" },
        { key + "Gone", none },
        { key + "Empty", "" },
        { key + "Missing", none },
        { key + "Back\\slash \"name\"", none },      // the value name ends at the last backslash
        { key + juce::String::fromUTF8 ("\xc3\x9cml\xc3\xa4ut"), juce::String::fromUTF8 ("Gr\xc3\xbc\xc3\x9f""e \xe2\x82\xac") },
        { "hkey_local_machine\\software\\MAKER\\plain", "C:\\Program Files\\Maker" },
        { "HKLM\\SOFTWARE\\Maker\\Number", "42" },
        { key + "Product\\Deep\\VALUE", "deep" },
        { key + "Product\\Value", none },
        { "HKEY_CURRENT_USER\\SOFTWARE\\Maker\\Plain", none },
        { "SOFTWARE\\Maker\\Plain", none },
    };

    for (auto encoding : { RegEncoding::utf16le, RegEncoding::utf8, RegEncoding::utf8WithBom })
    {
        for (bool crlf : { true, false })
        {
            SCOPED_TRACE (juce::String (encodingName (encoding)) + (crlf ? " CRLF" : " LF"));
            ScopedRegistry registry (crlf ? sampleFile : sampleFile.replace ("\r\n", "\n"), encoding);

            for (auto& c : cases)
            {
                SCOPED_TRACE (c.path);
                EXPECT_EQ (valueOf (c.path), c.expected);
                EXPECT_EQ (valueOf (c.path, Registry::WoW64_64bit), c.expected);
            }
        }
    }
}

TEST (Registry, AKeyExistsWhenTheFileNamesItOrOneOfItsSubkeys)
{
    ScopedRegistry registry (sampleFile, RegEncoding::utf16le);

    struct Case { juce::String valuePath; bool exists; };
    const std::vector<Case> cases {
        { key + "Plain", true },
        { key + "NoSuchValue", true },               // only the key is looked at
        { "HKLM\\software\\maker\\x", true },
        { key + "Product\\AnyValue", true },         // brought into being by its subkey
        { key + "Product\\Deep\\Value", true },
        { key + "Plain\\Value", false },             // Plain is a value, not a key
        { key + "Other\\Value", false },
        { "HKEY_LOCAL_MACHINE\\SOFTWARE\\Other\\Value", false },
        { "HKEY_LOCAL_MACHINE\\Value", true },       // a root key always opens
        { "HKEY_BOGUS\\SOFTWARE\\Maker\\Plain", false },
        { "", false },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.valuePath);
        EXPECT_EQ (Registry::keyExists (c.valuePath), c.exists);
        EXPECT_EQ (Registry::keyExists (c.valuePath, Registry::WoW64_64bit), c.exists);
    }
}

TEST (Registry, Regedit4FilesAreReadLikeVersion5Files)
{
    ScopedRegistry registry ("REGEDIT4\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\r\n"
                             "\"Path\"=\"C:\\\\Old\\\\Plug-ins\"\r\n"
                             "\"Count\"=dword:00000010\r\n"
                             "\"Narrow\"=hex(1):48,69,00\r\n"
                             "\"Expand\"=hex(2):48,69,00\r\n", RegEncoding::utf8);

    EXPECT_TRUE (Registry::keyExists ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Old\\Path"));
    EXPECT_EQ (valueOf ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Old\\Path"), "C:\\Old\\Plug-ins");
    EXPECT_EQ (valueOf ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Old\\Count"), "16");
    EXPECT_EQ (valueOf ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Old\\Narrow"), "Hi"); // 8-bit text in REGEDIT4
    EXPECT_EQ (valueOf ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Old\\Expand"), none);
}

TEST (Registry, DeletionLinesRemoveKeysWithTheirSubkeysAndValues)
{
    ScopedRegistry registry ("Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\B\\C]\r\n\"V\"=\"c\"\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\Bee]\r\n\"V\"=\"bee\"\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\X]\r\n\"V\"=\"x\"\r\n\"W\"=\"w\"\r\n"
                             "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\a\\b]\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\X]\r\n\"V\"=-\r\n"
                             "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\Gone]\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\Gone]\r\n\"V\"=\"back\"\r\n",
                             RegEncoding::utf16le);

    EXPECT_FALSE (Registry::keyExists ("HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\B\\V"));
    EXPECT_FALSE (Registry::keyExists ("HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\B\\C\\V"));
    EXPECT_EQ (valueOf ("HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\B\\C\\V"), none);
    EXPECT_EQ (valueOf ("HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\Bee\\V"), "bee"); // a sibling that shares the prefix stays
    EXPECT_TRUE (Registry::keyExists ("HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\V"));
    EXPECT_EQ (valueOf ("HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\X\\V"), none);
    EXPECT_EQ (valueOf ("HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\X\\W"), "w");
    EXPECT_EQ (valueOf ("HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\Gone\\V"), "back");
}

TEST (Registry, AnUnreadableOrMalformedFileGivesAnEmptyRegistry)
{
    const juce::String header ("Windows Registry Editor Version 5.00\r\n\r\n");
    const juce::String good ("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker]\r\n\"Plain\"=\"yes\"\r\n");

    struct Case { const char* name; juce::String text; };
    const std::vector<Case> cases {
        { "no header", good },
        { "another header", "Windows Registry Editor Version 4.00\r\n\r\n" + good },
        { "a line of no kind", header + good + "Plain=yes\r\n" },
        { "a value before any key", header + "\"Early\"=\"x\"\r\n" + good },
        { "a value after a deleted key", header + good + "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n\"Late\"=\"x\"\r\n" },
        { "an unterminated text", header + good + "\"Broken\"=\"never ends\r\n" },
        { "an unterminated name", header + good + "\"Broken=\"x\"\r\n" },
        { "no equals sign", header + good + "\"Broken\" \"x\"\r\n" },
        { "text after the value", header + good + "\"Broken\"=\"x\" y\r\n" },
        { "a dword without digits", header + good + "\"Broken\"=dword:\r\n" },
        { "a dword of nine digits", header + good + "\"Broken\"=dword:000000001\r\n" },
        { "a dword that is no number", header + good + "\"Broken\"=dword:xyz\r\n" },
        { "hex that is no hex", header + good + "\"Broken\"=hex:zz,01\r\n" },
        { "a hex type without its parenthesis", header + good + "\"Broken\"=hex(2:00\r\n" },
        { "an unknown kind of data", header + good + "\"Broken\"=qword:00\r\n" },
        { "a key line without its bracket", header + good + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Open\r\n" },
        { "an unknown root key", header + good + "[HKEY_NOWHERE\\SOFTWARE]\r\n" },
        { "a continuation that never ends", header + good + "\"Broken\"=hex:01,\\\r\n" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ScopedRegistry registry (c.text, RegEncoding::utf8);
        EXPECT_FALSE (Registry::keyExists ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Plain"));
        EXPECT_EQ (valueOf ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Plain"), none);
    }

    // The well-formed file itself reads, so each case above fails for its own defect.
    {
        ScopedRegistry registry (header + good, RegEncoding::utf8);
        EXPECT_EQ (valueOf ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Plain"), "yes");
    }

    // Bytes that are no text of the format: UTF-16 without its mark, random bytes, nothing.
    const auto utf16 = testing_support::encodeRegText (header + good, RegEncoding::utf16le);
    juce::MemoryBlock noMark (static_cast<const char*> (utf16.getData()) + 2, utf16.getSize() - 2);
    juce::MemoryBlock random (4096, false), nothing;
    juce::Random generator (42);
    generator.fillBitsRandomly (random.getData(), random.getSize());

    for (auto* bytes : { &noMark, &random, &nothing })
    {
        ScopedRegistry registry (header + good, RegEncoding::utf8);
        registry.writeBytes (*bytes);
        EXPECT_EQ (valueOf ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Plain"), none);
    }

    // No variable, a missing file, a folder.
    TemporaryFolder temp;
    for (const std::optional<juce::String>& variable : { std::optional<juce::String>(), std::optional<juce::String> (""),
                                                         std::optional<juce::String> (temp.folder.getChildFile ("none.reg").getFullPathName()),
                                                         std::optional<juce::String> (temp.folder.getFullPathName()) })
    {
        SCOPED_TRACE (variable.value_or ("<unset>"));
        ScopedRegistryVariable scoped (variable);
        EXPECT_FALSE (Registry::keyExists ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Plain"));
        EXPECT_EQ (valueOf ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Plain"), none);
    }
}

TEST (Registry, ReadsTheFileAgainWhenItOrTheVariableChanges)
{
    const juce::String header ("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker]\r\n");
    ScopedRegistry first (header + "\"V\"=\"one\"\r\n", RegEncoding::utf8);
    EXPECT_EQ (valueOf ("HKLM\\SOFTWARE\\Maker\\V"), "one");

    // The same length, written at once: only the content tells the two apart.
    first.write (header + "\"V\"=\"two\"\r\n", RegEncoding::utf8);
    EXPECT_EQ (valueOf ("HKLM\\SOFTWARE\\Maker\\V"), "two");

    {
        ScopedRegistry second (header + "\"V\"=\"other file\"\r\n", RegEncoding::utf16le);
        EXPECT_EQ (valueOf ("HKLM\\SOFTWARE\\Maker\\V"), "other file");
    }

    EXPECT_EQ (valueOf ("HKLM\\SOFTWARE\\Maker\\V"), "two");

    first.getFile().deleteFile();
    EXPECT_EQ (valueOf ("HKLM\\SOFTWARE\\Maker\\V"), none);
}
