#include "formats/CDAudioBytes.h"

#include "disc/AudioFileCheck.h"
#include "disc/RawAudioFormat.h"

namespace CDAudioBytes
{
namespace
{
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

std::optional<juce::int64> findFirstSample (juce::InputStream& in, juce::AudioFormatReader& reader)
{
    if (reader.numChannels != 2 || reader.bitsPerSample != 16 || reader.usesFloatingPointData
        || reader.lengthInSamples <= 0)
        return {};

    std::optional<juce::int64> first;
    if (dynamic_cast<RawAudioFormatReader*> (&reader) != nullptr)
    {
        first = 0;
    }
    else if (reader.getFormatName() == juce::WavAudioFormat().getFormatName())
    {
        // An RF64 file's size field does not hold its length; such a file is decoded instead.
        const auto data = AudioFileCheck::findWavDataChunk (in);
        if (data && data->size / RawAudioFormat::bytesPerFrame == reader.lengthInSamples)
            first = data->start;
    }

    // The reader is the judge: its first, middle and last samples must be the bytes found.
    const auto last = reader.lengthInSamples - 1;
    if (first && bytesMatchReader (in, *first, reader, 0) && bytesMatchReader (in, *first, reader, last / 2)
        && bytesMatchReader (in, *first, reader, last))
        return first;

    return {};
}
} // namespace CDAudioBytes
