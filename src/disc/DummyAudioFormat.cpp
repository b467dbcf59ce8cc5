#include "disc/DummyAudioFormat.h"

DummyAudioFormat::DummyAudioFormat() : juce::AudioFormat ("Dummy data file", juce::StringArray (juce::String())) {}

juce::Array<int> DummyAudioFormat::getPossibleSampleRates() { return { 44100 }; }

juce::Array<int> DummyAudioFormat::getPossibleBitDepths() { return { 16 }; }

bool DummyAudioFormat::canDoStereo() { return true; }

bool DummyAudioFormat::canDoMono() { return false; }

juce::AudioFormatReader* DummyAudioFormat::createReaderFor (juce::InputStream* stream, bool)
{
    return new DummyAudioFormatReader (stream);
}

juce::AudioFormatWriter* DummyAudioFormat::createWriterFor (juce::OutputStream*, double, unsigned int, int,
                                                            const juce::StringPairArray&, int)
{
    return nullptr;
}

DummyAudioFormatReader::DummyAudioFormatReader (juce::InputStream* stream)
    : juce::AudioFormatReader (stream, "Dummy data file")
{
    sampleRate = 44100.0;
    bitsPerSample = 16;
    numChannels = 2;
    usesFloatingPointData = false;
    lengthInSamples = 0;
}

bool DummyAudioFormatReader::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                                          juce::int64, int numSamples)
{
    for (int ch = 0; ch < numDestChannels; ++ch)
        if (destChannels[ch] != nullptr)
            juce::zeromem (destChannels[ch] + startOffsetInDestBuffer, sizeof (int) * (size_t) numSamples);

    return true;
}
