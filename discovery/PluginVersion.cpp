#include "discovery/PluginVersion.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace
{
    auto fields (const PluginVersion& v)
    {
        return std::tie (v.major, v.minor, v.patch, v.releaseType, v.build);
    }

    // As atoi reads a number: leading white space, an optional sign, decimal digits up
    // to the first other character; 0 without digits. Saturates at the int32 range.
    std::int32_t number (const juce::String& token)
    {
        auto p = token.getCharPointer();

        while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
            ++p;

        bool negative = false;
        if (*p == '+' || *p == '-')
        {
            negative = *p == '-';
            ++p;
        }

        constexpr std::int64_t limit = std::int64_t { std::numeric_limits<std::int32_t>::max() } + 1;
        std::int64_t value = 0;

        for (; *p >= '0' && *p <= '9'; ++p)
            value = std::min (limit, value * 10 + (*p - '0'));

        if (negative)
            return static_cast<std::int32_t> (-value);

        return static_cast<std::int32_t> (std::min (value, limit - 1));
    }

    [[noreturn]] void reject (const juce::String& text)
    {
        throw HfException ("Invalid version string: " + text);
    }
}

bool operator== (const PluginVersion& a, const PluginVersion& b) { return fields (a) == fields (b); }
bool operator!= (const PluginVersion& a, const PluginVersion& b) { return fields (a) != fields (b); }
bool operator< (const PluginVersion& a, const PluginVersion& b)  { return fields (a) < fields (b); }
bool operator> (const PluginVersion& a, const PluginVersion& b)  { return fields (b) < fields (a); }

PluginVersion parseVersion (const juce::String& text)
{
    PluginVersion version;
    const auto tokens = juce::StringArray::fromTokens (text, ".", "");

    if (tokens.isEmpty())
        reject (text);

    version.major = number (tokens[0]);

    if (tokens.size() >= 2)
        version.minor = number (tokens[1]);

    // Exactly three fields: "2a5" is patch 2 of an "a" release, build 5; likewise "b".
    if (tokens.size() == 3)
    {
        for (auto [letter, releaseType] : { std::pair<const char*, std::int32_t> { "a", 1 }, { "b", 2 } })
        {
            if (tokens[2].indexOf (letter) < 0)
                continue;

            const auto parts = juce::StringArray::fromTokens (tokens[2], letter, "");
            version.releaseType = releaseType;
            version.patch = number (parts[0]);

            if (parts.size() >= 2)
                version.build = number (parts[1]);

            return version;
        }
    }

    if (tokens.size() >= 3)
        version.patch = number (tokens[2]);

    if (tokens.size() >= 4)
    {
        const auto releaseType = number (tokens[3]);

        if (static_cast<std::uint32_t> (releaseType) > 3)
            reject (text);

        version.releaseType = releaseType;
    }

    if (tokens.size() >= 5)
        version.build = number (tokens[4]);

    return version;
}
