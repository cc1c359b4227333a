#include "discovery/AfterEffectsDiscovery.h"
#include "discovery/HostNames.h"
#include "tests/support/DiscoveryFixtures.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace
{
    juce::String escaped (const juce::File& folder)
    {
        return folder.getFullPathName().replace ("\\", "\\\\").replace ("\"", "\\\"");
    }

    // A .reg text with one key per entry: version key -> the line of its values (may be empty).
    juce::String regText (const std::vector<std::pair<juce::String, juce::String>>& keys)
    {
        juce::String text ("Windows Registry Editor Version 5.00\r\n\r\n");
        for (auto& [version, values] : keys)
        {
            text << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Adobe\\After Effects\\" << version << "]\r\n";
            if (values.isNotEmpty())
                text << values << "\r\n";
            text << "\r\n";
        }
        return text;
    }

    juce::String pluginPath (const juce::File& folder)
    {
        return "\"PluginInstallPath\"=\"" + escaped (folder) + "\"";
    }

    struct Found { juce::String name; juce::File path; };

    void expectFound (const std::vector<AfterEffectsInstallation>& records, const std::vector<Found>& expected)
    {
        ASSERT_EQ (records.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
        {
            SCOPED_TRACE (i);
            EXPECT_EQ (records[i].name, expected[i].name);
            EXPECT_EQ (records[i].path, expected[i].path);
            EXPECT_TRUE (records[i].selected);
            EXPECT_FALSE (records[i].custom);
        }
    }

    struct Discovery : ::testing::Test
    {
        TemporaryFolder temp;
        const juce::File cs5 = temp.make ("CS5/Plug-ins");
        const juce::File cs5Fallback = temp.make ("CS5 fallback/Plug-ins");
        const juce::File cs55 = temp.make ("CS5.5/Plug-ins");
        const juce::File cs6 = temp.make ("CS6/Plug-ins");
        const juce::File cc = temp.make ("CC/Plug-ins");
        const juce::File cc2014 = temp.make ("CC 2014/Plug-ins");
        const juce::File cc2015 = temp.make ("CC 2015/Plug-ins");
        const juce::File cc20153 = temp.make ("CC 2015.3/Plug-ins");
        const juce::File missing = temp.folder.getChildFile ("not there/Plug-ins");
    };
}

TEST_F (Discovery, FindsTheFoldersOfAllSevenVersionsInVersionOrder)
{
    // Written in another order than read, and keys in other letter case.
    const auto text = regText ({ { "13.8", pluginPath (cc20153) }, { "13.5", pluginPath (cc2015) },
                                 { "13", pluginPath (cc2014) }, { "12", pluginPath (cc) },
                                 { "11", pluginPath (cs6) }, { "10.5", pluginPath (cs55) },
                                 { "10.0", pluginPath (cs5) } })
                          .replace ("SOFTWARE\\Adobe\\After Effects", "Software\\ADOBE\\after effects");

    for (auto encoding : { RegEncoding::utf16le, RegEncoding::utf8 })
    {
        SCOPED_TRACE (encoding == RegEncoding::utf16le ? "UTF-16LE" : "UTF-8");
        ScopedRegistry registry (text, encoding);
#if JUCE_WINDOWS
        ASSERT_TRUE (registry.wasImported()) << "reg import did not take the file";
#endif

        ASSERT_NO_FATAL_FAILURE (expectFound (discoverAfterEffectsInstallations(),
                     { { "Adobe After Effects CS5", cs5 }, { "Adobe After Effects CS5.5", cs55 },
                       { "Adobe After Effects CS6", cs6 }, { "Adobe After Effects CC", cc },
                       { "Adobe After Effects CC 2014", cc2014 }, { "Adobe After Effects CC 2015", cc2015 },
                       { "Adobe After Effects CC 2015.3", cc20153 } }));
    }
}

TEST_F (Discovery, SkipsWhatNamesNoExistingFolderAndFallsBackFrom10_0To10OnlyWithoutItsKey)
{
    const auto aFile = temp.folder.getChildFile ("a file");
    aFile.replaceWithText ("not a folder");

    struct Case { const char* name; std::vector<std::pair<juce::String, juce::String>> keys; std::vector<Found> expected; };
    const std::vector<Case> cases {
        { "only the key of 10", { { "10", pluginPath (cs5Fallback) } },
          { { HostNames::afterEffectsCS5, cs5Fallback } } },
        { "10.0 without its value, 10 with one", { { "10.0", "" }, { "10", pluginPath (cs5Fallback) } }, {} },
        { "10.0 with an empty value, 10 with one", { { "10.0", "\"PluginInstallPath\"=\"\"" }, { "10", pluginPath (cs5Fallback) } }, {} },
        { "10.0 naming a missing folder, 10 a real one", { { "10.0", pluginPath (missing) }, { "10", pluginPath (cs5Fallback) } }, {} },
        { "both 10.0 and 10", { { "10", pluginPath (cs5Fallback) }, { "10.0", pluginPath (cs5) } },
          { { HostNames::afterEffectsCS5, cs5 } } },
        { "only a subkey of 10.0", { { "10.0\\Sub", "" }, { "10", pluginPath (cs5Fallback) } }, {} },
        { "a missing folder leaves the others", { { "10.5", pluginPath (missing) }, { "12", pluginPath (cc) } },
          { { HostNames::afterEffectsCC, cc } } },
        { "REG_EXPAND_SZ, DWORD and binary values",
          { { "10.5", "\"PluginInstallPath\"=hex(2):2f,00,74,00,6d,00,70,00,00,00" },
            { "11", "\"PluginInstallPath\"=dword:00000001" },
            { "12", "\"PluginInstallPath\"=hex:2f,74,6d,70" },
            { "13", pluginPath (cc2014) } },
          { { HostNames::afterEffectsCC2014, cc2014 } } },
        { "a value under another name", { { "12", "\"PluginPath\"=\"" + escaped (cc) + "\"" } }, {} },
        { "a file instead of a folder", { { "12", pluginPath (aFile) } }, { { HostNames::afterEffectsCC, aFile } } },
        { "a relative path", { { "12", "\"PluginInstallPath\"=\"CC/Plug-ins\"" } }, {} },
        { "CS6 and CC 2014 only", { { "13", pluginPath (cc2014) }, { "11", pluginPath (cs6) } },
          { { HostNames::afterEffectsCS6, cs6 }, { HostNames::afterEffectsCC2014, cc2014 } } },
        { "two versions naming one folder", { { "13.5", pluginPath (cc) }, { "12", pluginPath (cc) } },
          { { HostNames::afterEffectsCC, cc }, { HostNames::afterEffectsCC2015, cc } } },
        { "a version key outside the seven", { { "14.0", pluginPath (cc) }, { "9.0", pluginPath (cc) } }, {} },
        { "no version at all", {}, {} },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ScopedRegistry registry (regText (c.keys), RegEncoding::utf16le);
        ASSERT_NO_FATAL_FAILURE (expectFound (discoverAfterEffectsInstallations(), c.expected));
    }
}

#ifndef _WIN32 // the registry file stands in for the registry on Linux only
TEST_F (Discovery, FindsNothingWithoutARegistry)
{
    for (const std::optional<juce::String>& variable : { std::optional<juce::String>(),
                                                         std::optional<juce::String> (missing.getFullPathName()) })
    {
        ScopedRegistryVariable scoped (variable);
        EXPECT_TRUE (discoverAfterEffectsInstallations().empty());
    }
}
#endif

TEST_F (Discovery, EachRecordCarriesTheStatusOfTheCopyInItsFolder)
{
    installPluginCopy (cs6, "1.3.2");
    installPluginCopy (cc, "9.0");
    installPluginCopy (cc2014, "1.0");

    ScopedRegistry registry (regText ({ { "11", pluginPath (cs6) }, { "12", pluginPath (cc) },
                                        { "13", pluginPath (cc2014) }, { "13.5", pluginPath (cc2015) } }),
                             RegEncoding::utf8);
    const auto records = discoverAfterEffectsInstallations();

    ASSERT_EQ (records.size(), 4u);
    EXPECT_EQ (records[0].status, "REPAIR");
    EXPECT_EQ (records[1].status, "DOWNGRADE");
    EXPECT_EQ (records[1].getDisplayName(), "Adobe After Effects CC 2012");
    EXPECT_EQ (records[2].status, "UPDATE");
    EXPECT_EQ (records[3].status, "");
}

#ifndef _WIN32
// A named pipe where the plug-in file would be: the record comes at once, as one of a
// copy whose version cannot be read, and so does the check that "Install" makes later.
TEST_F (Discovery, ANamedPipeWhereThePluginWouldBeGivesItsRecordAtOnce)
{
    const auto pipe = pluginCopyIn (cc);
    ASSERT_TRUE (makeNamedPipe (pipe));
    installPluginCopy (cs6, "1.3.2");

    ScopedRegistry registry (regText ({ { "11", pluginPath (cs6) }, { "12", pluginPath (cc) } }), RegEncoding::utf8);
    std::vector<AfterEffectsInstallation> records;
    bool higher = true;

    EXPECT_TRUE (endsWithin (5000, pipe, [&]
    {
        records = discoverAfterEffectsInstallations();
        if (records.size() == 2)
            higher = records[1].isInstalledVersionHigher();
    }));

    ASSERT_NO_FATAL_FAILURE (expectFound (records, { { HostNames::afterEffectsCS6, cs6 }, { HostNames::afterEffectsCC, cc } }));
    ASSERT_EQ (records.size(), 2u);
    EXPECT_EQ (records[0].status, "REPAIR");
    EXPECT_EQ (records[1].status, "UPDATE");
    EXPECT_FALSE (higher);
}
#endif

TEST (HostNames, AreTheTextsTheWizardShows)
{
    EXPECT_EQ (HostNames::afterEffectsCS5, "Adobe After Effects CS5");
    EXPECT_EQ (HostNames::afterEffectsCS55, "Adobe After Effects CS5.5");
    EXPECT_EQ (HostNames::afterEffectsCS6, "Adobe After Effects CS6");
    EXPECT_EQ (HostNames::afterEffectsCC, "Adobe After Effects CC");
    EXPECT_EQ (HostNames::afterEffectsCC2014, "Adobe After Effects CC 2014");
    EXPECT_EQ (HostNames::afterEffectsCC2015, "Adobe After Effects CC 2015");
    EXPECT_EQ (HostNames::afterEffectsCC20153, "Adobe After Effects CC 2015.3");
    EXPECT_EQ (HostNames::customLocation, "Custom location");
    EXPECT_EQ (HostNames::locateAfterEffectsFolder, "Please locate your After\nEffects folder.");
}
