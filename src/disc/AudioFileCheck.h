#pragma once

#include <juce_core/juce_core.h>

#include <optional>

// Whether an audio file really holds all the audio its header announces. The audio readers fill a
// missing end with silence without a word; a master must never take that silence for music.
namespace AudioFileCheck
{
enum class Container
{
    wav,
    aiff,
    flac
};

struct DataChunk
{
    juce::int64 start, size;
};

// The "data" chunk of a RIFF or RF64 WAVE file, found by walking its chunks.
std::optional<DataChunk> findWavDataChunk (juce::InputStream& in);

bool holdsAnnouncedAudio (const juce::File& file, Container container, juce::int64 lengthInSamples, int numChannels,
                          int bitsPerSample);
} // namespace AudioFileCheck
