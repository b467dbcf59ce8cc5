#include "formats/CDAudioBytes.h"

#include "disc/RawAudioFormat.h"

#include <cstring>

namespace CDAudioBytes
{
namespace
{
// The start and size of the "data" chunk of a RIFF WAVE file.
std::optional<std::pair<juce::int64, juce::int64>> findWaveData (juce::InputStream& in)
{
    char header[12];
    if (in.read (header, 12) != 12 || std::memcmp (header, "RIFF", 4) != 0 || std::memcmp (header + 8, "WAVE", 4) != 0)
        return {};

    for (juce::int64 position = 12; position + 8 <= in.getTotalLength();)
    {
        char id[4];
        if (! in.setPosition (position) || in.read (id, 4) != 4)
            return {};

        const auto size = (juce::int64) (juce::uint32) in.readInt(); // little-endian
        if (std::memcmp (id, "data", 4) == 0)
            return std::make_pair (position + 8, size);

        position += 8 + size + (size & 1); // chunks are padded to even sizes
    }

    return {};
}

// Sample `index` as the reader delivers it and as the bytes at `first` hold it.
bool bytesMatchReader (juce::InputStream& in, juce::int64 first, juce::AudioFormatReader& reader, juce::int64 index)
{
    int left = 0, right = 0;
    int* channels[] = { &left, &right };
    unsigned char bytes[RawAudioFormat::bytesPerFrame];

    return reader.read (channels, 2, index, 1, false) && in.setPosition (first + index * RawAudioFormat::bytesPerFrame)
           && in.read (bytes, sizeof (bytes)) == (int) sizeof (bytes)
           && (juce::int16) (bytes[0] | (bytes[1] << 8)) == (juce::int16) (left >> 16)
           && (juce::int16) (bytes[2] | (bytes[3] << 8)) == (juce::int16) (right >> 16);
}
} // namespace

std::optional<juce::int64> findFirstSample (const juce::File& source, juce::AudioFormatReader& reader)
{
    if (reader.numChannels != 2 || reader.bitsPerSample != 16 || reader.usesFloatingPointData
        || reader.lengthInSamples <= 0)
        return {};

    juce::FileInputStream in (source);
    if (! in.openedOk())
        return {};

    std::optional<juce::int64> first;
    if (dynamic_cast<RawAudioFormatReader*> (&reader) != nullptr)
    {
        first = 0;
    }
    else if (reader.getFormatName() == juce::WavAudioFormat().getFormatName())
    {
        const auto data = findWaveData (in);
        if (data && data->second / RawAudioFormat::bytesPerFrame == reader.lengthInSamples)
            first = data->first;
    }

    // The reader is the judge: its first, middle and last samples must be the bytes found.
    const auto last = reader.lengthInSamples - 1;
    if (first && bytesMatchReader (in, *first, reader, 0) && bytesMatchReader (in, *first, reader, last / 2)
        && bytesMatchReader (in, *first, reader, last))
        return first;

    return {};
}
} // namespace CDAudioBytes
