#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <vector>

// The generated audio of the benchmarks: WAV tracks whose samples are known at every position.
namespace BenchmarkAudio
{
constexpr double cdRate = 44100.0;

// A 16-bit value per sample and channel that no two places of a track share.
inline int patternValue (juce::int64 sample, int channel, int seed)
{
    auto x = (juce::uint32) (sample * 2654435761u + (juce::uint32) channel * 40503u + (juce::uint32) seed * 97u);
    x ^= x >> 15;
    return (int) (juce::int16) (x & 0xffff);
}

// A 16-bit stereo CD-rate WAV file of the pattern with this seed.
inline bool writeTrack (const juce::File& file, juce::int64 numSamples, int seed)
{
    auto stream = file.createOutputStream();
    if (stream == nullptr)
        return false;

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream.get(), cdRate, 2, 16, {}, 0));
    if (writer == nullptr)
        return false;
    stream.release();

    constexpr int chunk = 65536;
    std::vector<int> left (chunk), right (chunk);
    const int* channels[] = { left.data(), right.data(), nullptr };

    for (juce::int64 start = 0; start < numSamples; start += chunk)
    {
        const auto count = (int) std::min ((juce::int64) chunk, numSamples - start);
        for (int i = 0; i < count; ++i)
        {
            left[(size_t) i] = patternValue (start + i, 0, seed) * 65536;
            right[(size_t) i] = patternValue (start + i, 1, seed) * 65536;
        }
        if (! writer->write (channels, count))
            return false;
    }
    return true;
}
} // namespace BenchmarkAudio
