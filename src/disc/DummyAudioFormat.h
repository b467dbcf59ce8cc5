#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

// A source of digital silence: the index offsets and pauses of the preview.
class DummyAudioFormat : public juce::AudioFormat
{
public:
    DummyAudioFormat();

    juce::Array<int> getPossibleSampleRates() override;
    juce::Array<int> getPossibleBitDepths() override;
    bool canDoStereo() override;
    bool canDoMono() override;

    // Always a reader (the stream may be null); its user sets its length.
    juce::AudioFormatReader* createReaderFor (juce::InputStream* stream, bool deleteStreamIfOpeningFails) override;

    juce::AudioFormatWriter* createWriterFor (juce::OutputStream*, double, unsigned int, int,
                                              const juce::StringPairArray&, int) override;
    using juce::AudioFormat::createWriterFor;
};

class DummyAudioFormatReader : public juce::AudioFormatReader
{
public:
    explicit DummyAudioFormatReader (juce::InputStream* stream);

    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;
};
