#include "discovery/PluginVersion.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
    struct Parsed { std::int32_t major, minor, patch, releaseType, build; };

    void expectVersion (const PluginVersion& v, const Parsed& e)
    {
        EXPECT_EQ (v.major, e.major);
        EXPECT_EQ (v.minor, e.minor);
        EXPECT_EQ (v.patch, e.patch);
        EXPECT_EQ (v.releaseType, e.releaseType);
        EXPECT_EQ (v.build, e.build);
    }

    constexpr auto intMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto intMin = std::numeric_limits<std::int32_t>::min();
}

TEST (PluginVersion, ParsesFieldsLettersAndReleaseTypes)
{
    struct Case { const char* text; Parsed expected; };
    const Case cases[] = {
        { "1",            { 1, 0, 0, 3, 0 } },
        { "1.3",          { 1, 3, 0, 3, 0 } },
        { "1.3.2",        { 1, 3, 2, 3, 0 } },
        { "1.3.2a5",      { 1, 3, 2, 1, 5 } },
        { "1.3.2b5",      { 1, 3, 2, 2, 5 } },
        { "1.3.2a",       { 1, 3, 2, 1, 0 } },
        { "1.3.beta",     { 1, 3, 0, 1, 0 } },   // holds an "a": the "a" rule wins over "b"
        { "1.3.2ab7",     { 1, 3, 2, 1, 0 } },   // "2", "b7": b7 reads as 0
        { "1.3.2a5a9",    { 1, 3, 2, 1, 5 } },   // parts after the second are ignored
        { "1.3.2A5",      { 1, 3, 2, 3, 0 } },   // the letters are case-sensitive
        { "1.3.2.0",      { 1, 3, 2, 0, 0 } },
        { "1.3.2.1.7",    { 1, 3, 2, 1, 7 } },
        { "1.3.2.3.4.5",  { 1, 3, 2, 3, 4 } },
        { "1.3.2a4.1",    { 1, 3, 2, 1, 0 } },   // four fields: the letter just ends the number
        { "x.y",          { 0, 0, 0, 3, 0 } },
        { "..",           { 0, 0, 0, 3, 0 } },
        { "1, 3, 2, 0",   { 1, 0, 0, 3, 0 } },
        { " 7.\t8. +9",   { 7, 8, 9, 3, 0 } },   // atoi: leading white space and a sign
        { "-2.-3",        { -2, -3, 0, 3, 0 } },
        { "12abc.3x.4",   { 12, 3, 4, 3, 0 } },
        { "99999999999.-99999999999", { intMax, intMin, 0, 3, 0 } },
        { "2147483647.-2147483648",   { intMax, intMin, 0, 3, 0 } },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.text);
        expectVersion (parseVersion (c.text), c.expected);
    }
}

TEST (PluginVersion, RejectsATextWithoutFieldsAndAFourthFieldOutsideZeroToThree)
{
    for (auto* text : { "", "1.3.2.4", "1.3.2.-1", "1.3.2.99999999999", "0.0.0.-99999999999" })
    {
        SCOPED_TRACE (text);

        try
        {
            parseVersion (text);
            ADD_FAILURE() << "no exception";
        }
        catch (const HfException& e)
        {
            EXPECT_EQ (e.type, 4);
            EXPECT_EQ (e.message, "Invalid version string: " + juce::String (text));

            const HfException copy (e);
            EXPECT_EQ (copy.type, 4);
            EXPECT_EQ (copy.message, e.message);
        }
    }

    // Caught as the std::exception it is.
    EXPECT_THROW (parseVersion ("1.0.0.7"), std::exception);
}

TEST (PluginVersion, OrdersFieldByFieldAlphaBelowBetaBelowFinal)
{
    const char* ascending[] = { "-1", "0.9.9", "1.3.1", "1.3.2.0.9", "1.3.2a", "1.3.2a5", "1.3.2.2",
                                "1.3.2b1", "1.3.2", "1.3.2.3.1", "1.3.3", "1.4", "2" };

    for (size_t i = 0; i < std::size (ascending); ++i)
    {
        for (size_t j = 0; j < std::size (ascending); ++j)
        {
            SCOPED_TRACE (juce::String (ascending[i]) + " vs " + ascending[j]);
            const auto a = parseVersion (ascending[i]), b = parseVersion (ascending[j]);
            EXPECT_EQ (a < b, i < j);
            EXPECT_EQ (a > b, i > j);
            EXPECT_EQ (a == b, i == j);
            EXPECT_EQ (a != b, i != j);
        }
    }

    EXPECT_EQ (parseVersion ("1.3.2"), parseVersion ("1.3.2.3"));
    EXPECT_EQ (parseVersion ("1.3.2"), parseVersion ("1.3.2.3.0"));
}
