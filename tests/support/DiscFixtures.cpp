#include "support/DiscFixtures.h"

#include "app/StoredSettings.h"
#include "editor/DiscNumbering.h"

namespace DiscFixtures
{
int sampleOf (int seed, juce::int64 sample, int channel) { return TestHelpers::patternSample (sample, channel, seed); }

juce::File makeWav (const juce::File& folder, const juce::String& name, juce::int64 samples, int seed)
{
    const auto file = folder.getChildFile (name);
    TestHelpers::writeWav (file, samples, 44100.0, 2, 16,
                           [seed] (juce::int64 i, int ch) { return sampleOf (seed, i, ch); });
    return file;
}

void setIntakeDefaults (int pause, int offset)
{
    auto& props = StoredSettings::getInstance()->getProps();
    props.setValue ("defaultpause", pause);
    props.setValue ("indexoffset", offset);
}

void addFiles (CDItem& disc, const juce::Array<juce::File>& files)
{
    int row = disc.getItemSize();
    for (const auto& file : files)
        disc.addAudioFile (file, row);
    renumber (disc);
}

IndexItem* addRow (CDItem& disc, int track, int index, int frames)
{
    IndexItem item;
    item.trackNumber = track;
    item.indexNumber = index;
    item.duration = CDDuration (frames);
    auto* created = disc.createItem (item);
    disc.items.add (created);
    return created;
}

void renumber (CDItem& disc) { DiscNumbering::renumber (disc); }

namespace
{
void storeLittleEndian (juce::uint8* bytes, juce::uint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = (juce::uint8) (value >> (8 * i));
}

template <typename Operation>
void eachBlock (juce::MemoryBlock& data, Operation&& operation)
{
    auto* bytes = static_cast<juce::uint8*> (data.getData());
    for (size_t i = 0; i + 8 <= data.getSize(); i += 8)
    {
        auto left = juce::ByteOrder::littleEndianInt (bytes + i);
        auto right = juce::ByteOrder::littleEndianInt (bytes + i + 4);
        operation (left, right);
        storeLittleEndian (bytes + i, left);
        storeLittleEndian (bytes + i + 4, right);
    }
}
} // namespace

juce::MemoryBlock decipherFile (const juce::File& file, const juce::BlowFish& cipher)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    eachBlock (data, [&] (juce::uint32& l, juce::uint32& r) { cipher.decrypt (l, r); });
    return data;
}

void encipherInto (const juce::File& file, const juce::String& text, const juce::BlowFish& cipher)
{
    juce::MemoryBlock data (text.toRawUTF8(), text.getNumBytesAsUTF8());
    eachBlock (data, [&] (juce::uint32& l, juce::uint32& r) { cipher.encrypt (l, r); });
    file.replaceWithData (data.getData(), data.getSize());
}

juce::String md5sum (const juce::File& file)
{
    juce::String output;
    TestHelpers::runTool ({ "md5sum", file.getFullPathName() }, &output);
    return output.upToFirstOccurrenceOf (" ", false, false);
}

juce::String md5sum (const juce::MemoryBlock& data)
{
    TestHelpers::TempFolder folder;
    const auto file = folder / "data";
    file.replaceWithData (data.getData(), data.getSize());
    return md5sum (file);
}
} // namespace DiscFixtures
