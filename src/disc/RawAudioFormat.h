#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

// Headerless CD audio: 44.1 kHz, 16-bit signed little-endian samples, two channels interleaved
// left then right. The audio image of a DDP file set is such a file.
class RawAudioFormat : public juce::AudioFormat
{
public:
    static constexpr int bytesPerFrame = 4; // one stereo sample

    // 1 MiB short of 4 GiB: the most a raw image may hold.
    static constexpr juce::int64 maximumBytes = 4293918720LL;

    RawAudioFormat();

    juce::Array<int> getPossibleSampleRates() override;
    juce::Array<int> getPossibleBitDepths() override;
    bool canDoStereo() override;
    bool canDoMono() override;

    // Every byte sequence is raw audio: always a reader, which owns the stream.
    juce::AudioFormatReader* createReaderFor (juce::InputStream* stream, bool deleteStreamIfOpeningFails) override;

    // A writer for 16 bits per sample (null for any other depth); it owns the stream.
    juce::AudioFormatWriter* createWriterFor (juce::OutputStream* stream, double sampleRate, unsigned int numChannels,
                                              int bitsPerSample, const juce::StringPairArray& metadata,
                                              int quality) override;
    using juce::AudioFormat::createWriterFor;
};

class RawAudioFormatReader : public juce::AudioFormatReader
{
public:
    explicit RawAudioFormatReader (juce::InputStream* stream);

    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    static constexpr int chunkSamples = 1440;
    juce::HeapBlock<char> chunk { (size_t) chunkSamples * RawAudioFormat::bytesPerFrame };
};

class RawAudioFormatWriter : public juce::AudioFormatWriter
{
public:
    RawAudioFormatWriter (juce::OutputStream* stream, double sampleRate, unsigned int numChannels);

    bool write (const int** samplesToWrite, int numSamples) override;

    // Appends bytes that already are this format's samples (whole samples of all channels).
    bool writeBytes (const void* data, size_t numBytes);

    // Pushes buffered bytes to the stream; false when any write so far has failed.
    bool flush() override;

    bool hasFailed() const { return failed; }
    juce::int64 getBytesWritten() const { return bytesWritten; }
    juce::int64 getSamplesWritten() const { return samplesWritten; }

private:
    juce::MemoryBlock conversionBuffer;
    juce::int64 bytesWritten = 0, samplesWritten = 0;
    bool failed = false;
};

// Registers the library's basic formats and then a raw format (tried last, as it accepts any
// stream); returns the raw format, which the manager owns.
RawAudioFormat* registerFormatsWithRaw (juce::AudioFormatManager& manager);
