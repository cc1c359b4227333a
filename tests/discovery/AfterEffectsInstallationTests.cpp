#include "discovery/AfterEffectsInstallation.h"
#include "discovery/HostNames.h"
#include "discovery/ProductVersion.h"
#include "tests/support/DiscoveryFixtures.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace
{
    struct Expected
    {
        const char* status;
        bool higher, same;
    };

    void expectStatus (const AfterEffectsInstallation& record, const Expected& e)
    {
        EXPECT_EQ (record.status, e.status);
        EXPECT_EQ (record.isInstalledVersionHigher(), e.higher);
        EXPECT_EQ (record.isSameVersionInstalled(), e.same);
    }

    pe::Bytes cutShort (pe::Bytes image, size_t length)
    {
        image.resize (length);
        return image;
    }
}

TEST (AfterEffectsInstallation, StatusAgainstTheInstallersVersionFromRealPluginFiles)
{
    TemporaryFolder temp;

    struct Case { const char* installed; Expected expected; };
    const Case cases[] = {
        { "1.3.2",     { "REPAIR", false, true } },
        { "1.3.2.3",   { "REPAIR", false, true } },
        { "1.3.3",     { "DOWNGRADE", true, false } },
        { "1.4",       { "DOWNGRADE", true, false } },
        { "2",         { "DOWNGRADE", true, false } },
        { "1.3.2.3.1", { "DOWNGRADE", true, false } },
        { "1.3.2b1",   { "UPDATE", false, false } },
        { "1.3.1",     { "UPDATE", false, false } },
        { "1.3.2.2",   { "UPDATE", false, false } },
        { "0.9",       { "UPDATE", false, false } },
        { "1.3.2.5",   { "UPDATE", false, false } },   // rejected by the parser
        { "",          { "UPDATE", false, false } },   // an empty product version
    };

    int n = 0;
    for (auto& c : cases)
    {
        for (bool is64Bit : { true, false })
        {
            SCOPED_TRACE (juce::String (c.installed) + (is64Bit ? " PE32+" : " PE32"));
            const auto folder = temp.make ("Plug-ins " + juce::String (n++));
            installPluginCopy (folder, c.installed, is64Bit);

            const AfterEffectsInstallation record (folder, HostNames::afterEffectsCS6, false);
            EXPECT_EQ (record.getInstalledVersion(), c.installed);
            expectStatus (record, c.expected);
        }
    }
}

TEST (AfterEffectsInstallation, ACopyWhoseVersionCannotBeReadIsAnUpdateAndNoCopyHasNoStatus)
{
    TemporaryFolder temp;

    struct Case { const char* name; std::optional<pe::Bytes> plugin; const char* status; };
    const std::vector<Case> cases {
        { "no copy", std::nullopt, "" },
        { "no PE image", pe::Bytes (300, 'x'), "UPDATE" },
        { "an empty file", pe::Bytes(), "UPDATE" },
        { "no version resource", pe::dllImage ({}), "UPDATE" },
        { "version without 040904b0", pe::dllImage ({ { pe::rtVersion, 1, pe::langEnUs, pe::productVersionInfo ("9.9.9", "040704b0") } }), "UPDATE" },
        { "cut short", cutShort (pe::pluginWithProductVersion ("9.9.9"), 700), "UPDATE" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto folder = temp.make (c.name);
        if (c.plugin)
            writeFile (pluginCopyIn (folder), *c.plugin);

        const AfterEffectsInstallation record (folder, HostNames::afterEffectsCC, false);
        EXPECT_EQ (record.getInstalledVersion(), "");
        expectStatus (record, { c.status, false, false });
    }

    // A folder where the plug-in file would be exists too.
    const auto folder = temp.make ("folder in its place");
    pluginCopyIn (folder).createDirectory();
    expectStatus (AfterEffectsInstallation (folder, HostNames::afterEffectsCC, false), { "UPDATE", false, false });
}

TEST (AfterEffectsInstallation, ComparesWithTheVersionTheApplicationAnswersAtEachCall)
{
    TemporaryFolder temp;
    const auto folder = temp.make ("Plug-ins");
    installPluginCopy (folder, "1.3.2");

    struct Case { const char* installerVersion; Expected expected; };
    const Case cases[] = {
        { "1.3.1",   { "DOWNGRADE", true, false } },
        { "1.3.2.3", { "REPAIR", false, true } },
        { "2.0",     { "UPDATE", false, false } },
        { "1.3.2.9", { "UPDATE", false, false } },   // the installer's own version rejected
        { "",        { "UPDATE", false, false } },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.installerVersion);
        ScopedHookValue version (TestApplication::get().applicationVersion, c.installerVersion);
        expectStatus (AfterEffectsInstallation (folder, HostNames::afterEffectsCC, false), c.expected);
    }

    // A record keeps its status; the comparisons look again.
    const AfterEffectsInstallation record (folder, HostNames::afterEffectsCC, false);
    {
        ScopedHookValue version (TestApplication::get().applicationVersion, "1.0");
        EXPECT_TRUE (record.isInstalledVersionHigher());
        EXPECT_EQ (record.status, "REPAIR");
    }
}

TEST (AfterEffectsInstallation, KeepsItsStatusWhenTheCopyGoesButAsksTheDiskAgain)
{
    TemporaryFolder temp;
    const auto folder = temp.make ("Plug-ins");
    installPluginCopy (folder, "2.0");

    const AfterEffectsInstallation record (folder, HostNames::afterEffectsCC2015, true);
    EXPECT_EQ (record.status, "DOWNGRADE");
    EXPECT_TRUE (record.isInstalledVersionHigher());

    ASSERT_TRUE (record.getPluginFile().deleteFile());
    EXPECT_EQ (record.status, "DOWNGRADE");
    EXPECT_FALSE (record.isInstalledVersionHigher());
    EXPECT_FALSE (record.isSameVersionInstalled());
    EXPECT_EQ (record.getInstalledVersion(), "");
}

TEST (AfterEffectsInstallation, HoldsItsFieldsAndFindsThePluginBelowTheTargetSubfolder)
{
    TemporaryFolder temp;
    const auto folder = temp.make ("Support Files/Plug-ins");

    const AfterEffectsInstallation discovered (folder, HostNames::afterEffectsCS5, false);
    EXPECT_EQ (discovered.path, folder);
    EXPECT_EQ (discovered.name, "Adobe After Effects CS5");
    EXPECT_TRUE (discovered.selected);
    EXPECT_FALSE (discovered.custom);
    EXPECT_EQ (discovered.status, "");
    EXPECT_EQ (discovered.getPluginFile(), folder.getChildFile ("Hollowfen").getChildFile ("Vistrel").getChildFile ("Vistrel.aex"));

    AfterEffectsInstallation browsed (folder, HostNames::customLocation, true);
    EXPECT_TRUE (browsed.custom);
    EXPECT_TRUE (browsed.selected);

    // A plain value: copies and moves keep every field.
    browsed.selected = false;
    auto copy = browsed;
    std::vector<AfterEffectsInstallation> list;
    list.push_back (std::move (copy));
    EXPECT_EQ (list.front().path, folder);
    EXPECT_EQ (list.front().name, "Custom location");
    EXPECT_FALSE (list.front().selected);
    EXPECT_TRUE (list.front().custom);
}

TEST (AfterEffectsInstallation, DisplayNameExtendsOnlyTheExactCcName)
{
    TemporaryFolder temp;

    struct Case { juce::String name, shown; };
    const Case cases[] = {
        { "Adobe After Effects CC", "Adobe After Effects CC 2012" },
        { "adobe after effects cc", "adobe after effects cc" },
        { "Adobe After Effects CC 2015", "Adobe After Effects CC 2015" },
        { "Adobe After Effects CC 2014", "Adobe After Effects CC 2014" },
        { "Adobe After Effects CC ", "Adobe After Effects CC " },
        { "Adobe After Effects CS6", "Adobe After Effects CS6" },
        { "Custom location", "Custom location" },
        { "", "" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (AfterEffectsInstallation (temp.folder, c.name, false).getDisplayName(), c.shown);
    }
}

TEST (ProductVersion, ReadsTheVersionOfFilesAndNothingOfMissingOnes)
{
    TemporaryFolder temp;
    const auto file = temp.folder.getChildFile ("Vistrel.aex");
    writeFile (file, pe::pluginWithProductVersion ("1.3.2 \xCE\xB2"));

    EXPECT_EQ (getProductVersion (file), juce::String::fromUTF8 ("1.3.2 \xCE\xB2"));
    EXPECT_EQ (getProductVersion (temp.folder.getChildFile ("missing.aex")), "");
    EXPECT_EQ (getProductVersion (temp.folder), "");
    EXPECT_EQ (getProductVersion (juce::File()), "");
}

// A file may carry a version resource per language. The one read is the one that the
// system picks for an English (0409) user: of id 1 (VS_VERSION_INFO) only, language-
// neutral, then 0409, then English of no region (0009), else the first; then its block
// 040904b0 answers, or nothing does.
TEST (ProductVersion, TakesTheVersionResourceOfTheLanguageThatAnEnglishUserGets)
{
#ifdef _WIN32
    if (GetUserDefaultUILanguage() != 0x0409)
        GTEST_SKIP() << "the system picks by the user's language, and this user's is not US English";
#endif

    auto version = [] (std::uint16_t language, const std::string& text, const std::string& block = "040904b0",
                       std::uint16_t id = 1)
    {
        return pe::Resource { pe::rtVersion, id, language, pe::productVersionInfo (text, block) };
    };

    struct Case { const char* name; std::vector<pe::Resource> resources; juce::String expected; };
    const std::vector<Case> cases {
        { "the first has only a block of its own language",
          { version (0x0001, "ar", "040104b0"), version (0x0407, "de", "040704b0"), version (0x0409, "en-US"),
            version (0x0c0a, "es", "0c0a04b0") }, "en-US" },
        { "0409 before 0009", { version (0x0809, "en-GB"), version (0x0009, "en"), version (0x0409, "en-US") }, "en-US" },
        { "0009 before the first", { version (0x0809, "en-GB"), version (0x0009, "en"), version (0x0007, "de") }, "en" },
        { "else the first", { version (0x0809, "en-GB"), version (0x0407, "de"), version (0x0c07, "de-AT") }, "de" },
        { "neutral before 0409, though only 0409 has the block", { version (0x0409, "en-US"), version (0x0000, "neutral", "000004b0") }, "" },
        { "VS_VERSION_INFO, id 1, before other ids", { version (0x0409, "id 2", "040904b0", 2), version (0x0407, "id 1") }, "id 1" },
        { "no id 1", { version (0x0409, "id 2", "040904b0", 2) }, "" },
    };

    TemporaryFolder temp;
    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        for (bool is64Bit : { true, false })
        {
            const auto file = temp.folder.getChildFile (is64Bit ? "Vistrel64.aex" : "Vistrel32.aex");
            writeFile (file, pe::dllImage (c.resources, is64Bit));
            EXPECT_EQ (getProductVersion (file), c.expected) << (is64Bit ? "PE32+" : "PE32");
        }
    }
}

TEST (ProductVersion, TheStandInPluginOfTheBuildCarriesTheInstallersVersion)
{
#ifdef HF_STUB_PLUGIN
    const juce::File stub (HF_STUB_PLUGIN);
    ASSERT_TRUE (stub.existsAsFile()) << stub.getFullPathName();
    EXPECT_EQ (getProductVersion (stub), "1.3.2");
    EXPECT_EQ (getProductVersion (stub), TestApplication::get().getApplicationVersion());
#else
    GTEST_SKIP() << "the build packs a payload of its own";
#endif
}
