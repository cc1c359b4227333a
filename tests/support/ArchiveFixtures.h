#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <vector>

namespace testing_support
{
    struct ArchiveEntry
    {
        juce::String name;
        juce::MemoryBlock content;
    };

    inline juce::MemoryBlock bytesOfSize (size_t size, char fill = 'x')
    {
        juce::MemoryBlock block (size, false);
        block.fillWith (static_cast<juce::uint8> (fill));
        return block;
    }

    // A deflated zip archive held in memory, as JUCE reads the embedded one.
    inline std::shared_ptr<juce::ZipFile> makeArchive (const std::vector<ArchiveEntry>& entries)
    {
        juce::MemoryOutputStream zip;
        juce::ZipFile::Builder builder;
        for (auto& e : entries)
            builder.addEntry (new juce::MemoryInputStream (e.content, true), 9, e.name, juce::Time());
        builder.writeToStream (zip, nullptr);
        return std::make_shared<juce::ZipFile> (new juce::MemoryInputStream (zip.getMemoryBlock(), true), true);
    }
}
