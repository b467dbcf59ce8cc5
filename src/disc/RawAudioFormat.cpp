#include "disc/RawAudioFormat.h"

#include <cstring>

namespace
{
const juce::String rawFormatName() { return juce::translate ("Raw data file"); }
} // namespace

RawAudioFormat::RawAudioFormat() : juce::AudioFormat (rawFormatName(), juce::StringArray (juce::String())) {}

juce::Array<int> RawAudioFormat::getPossibleSampleRates() { return { 44100 }; }

juce::Array<int> RawAudioFormat::getPossibleBitDepths() { return { 16 }; }

bool RawAudioFormat::canDoStereo() { return true; }

bool RawAudioFormat::canDoMono() { return true; }

juce::AudioFormatReader* RawAudioFormat::createReaderFor (juce::InputStream* stream, bool)
{
    return stream != nullptr ? new RawAudioFormatReader (stream) : nullptr;
}

juce::AudioFormatWriter* RawAudioFormat::createWriterFor (juce::OutputStream* stream, double sampleRate,
                                                          unsigned int numChannels, int bitsPerSample,
                                                          const juce::StringPairArray&, int)
{
    if (stream == nullptr || ! getPossibleBitDepths().contains (bitsPerSample))
        return nullptr;

    return new RawAudioFormatWriter (stream, sampleRate, numChannels);
}

//==================================================================================================
RawAudioFormatReader::RawAudioFormatReader (juce::InputStream* stream)
    : juce::AudioFormatReader (stream, rawFormatName())
{
    sampleRate = 44100.0;
    bitsPerSample = 16;
    numChannels = 2;
    usesFloatingPointData = false;
    lengthInSamples = juce::jmax ((juce::int64) 0, stream->getTotalLength()) / RawAudioFormat::bytesPerFrame;
}

bool RawAudioFormatReader::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                                        juce::int64 startSampleInFile, int numSamples)
{
    auto position = startSampleInFile;
    auto done = 0;

    while (done < numSamples)
    {
        const auto count = juce::jmin (chunkSamples, numSamples - done);
        const auto bytesWanted = count * RawAudioFormat::bytesPerFrame;

        // Only whole samples inside the stream are read; a trailing partial sample is not audio.
        const auto available = (int) juce::jlimit ((juce::int64) 0, (juce::int64) count, lengthInSamples - position);
        auto bytesRead = 0;
        if (available > 0 && input->setPosition (position * RawAudioFormat::bytesPerFrame))
            bytesRead = juce::jmax (0, input->read (chunk.get(), available * RawAudioFormat::bytesPerFrame));

        // A short read, or a request beyond the end, delivers silence.
        if (bytesRead < bytesWanted)
            juce::zeromem (chunk.get() + bytesRead, (size_t) (bytesWanted - bytesRead));

        const auto* bytes = reinterpret_cast<const unsigned char*> (chunk.get());

        for (int ch = 0; ch < numDestChannels; ++ch)
        {
            auto* dest = destChannels[ch];
            if (dest == nullptr)
                continue;

            dest += startOffsetInDestBuffer + done;
            const auto* source = bytes + 2 * juce::jmin (ch, 1);

            for (int i = 0; i < count; ++i)
            {
                const auto value = (juce::int16) (source[0] | (source[1] << 8));
                dest[i] = (int) value * 65536;
                source += RawAudioFormat::bytesPerFrame;
            }
        }

        done += count;
        position += count;
    }

    return true;
}

//==================================================================================================
RawAudioFormatWriter::RawAudioFormatWriter (juce::OutputStream* stream, double rate, unsigned int channels)
    : juce::AudioFormatWriter (stream, rawFormatName(), rate, channels, 16)
{
}

bool RawAudioFormatWriter::write (const int** samplesToWrite, int numSamples)
{
    if (failed || numSamples < 0)
        return false;

    const auto channelsOut = juce::jlimit (1, 2, (int) numChannels);
    const auto bytes = (juce::int64) numSamples * 2 * channelsOut;

    if (bytesWritten + bytes >= RawAudioFormat::maximumBytes)
    {
        failed = true;
        return false;
    }

    conversionBuffer.ensureSize ((size_t) bytes);
    auto* out = static_cast<unsigned char*> (conversionBuffer.getData());

    const int* left = samplesToWrite[0];
    const int* right = channelsOut > 1 && samplesToWrite[1] != nullptr ? samplesToWrite[1] : left;
    const auto put = [] (unsigned char* at, int sample)
    {
        const auto value = (juce::uint16) (sample >> 16);
        at[0] = (unsigned char) (value & 0xff);
        at[1] = (unsigned char) (value >> 8);
    };

    if (channelsOut == 2 && left != nullptr && right != nullptr)
    {
        // The image's case: one 32-bit store per stereo sample.
        for (int i = 0; i < numSamples; ++i)
        {
            const auto pair = juce::ByteOrder::swapIfBigEndian (
                (juce::uint32) (juce::uint16) (left[i] >> 16) | ((juce::uint32) (juce::uint16) (right[i] >> 16) << 16));
            std::memcpy (out + 4 * i, &pair, 4);
        }
    }
    else
    {
        for (int i = 0; i < numSamples; ++i)
            for (int ch = 0; ch < channelsOut; ++ch)
                if (const auto* source = ch == 0 ? left : right)
                    put (out + 2 * (i * channelsOut + ch), source[i]);
                else
                    put (out + 2 * (i * channelsOut + ch), 0);
    }

    if (! output->write (conversionBuffer.getData(), (size_t) bytes))
    {
        failed = true;
        return false;
    }

    bytesWritten += bytes;
    samplesWritten += numSamples;
    return true;
}

bool RawAudioFormatWriter::writeBytes (const void* data, size_t numBytes)
{
    const auto bytesPerSample = (size_t) (2 * juce::jlimit (1, 2, (int) numChannels));
    if (failed || numBytes % bytesPerSample != 0)
        return false;

    if (bytesWritten + (juce::int64) numBytes >= RawAudioFormat::maximumBytes || ! output->write (data, numBytes))
    {
        failed = true;
        return false;
    }

    bytesWritten += (juce::int64) numBytes;
    samplesWritten += (juce::int64) (numBytes / bytesPerSample);
    return true;
}

bool RawAudioFormatWriter::flush()
{
    output->flush();

    if (auto* file = dynamic_cast<juce::FileOutputStream*> (output); file != nullptr && file->getStatus().failed())
        failed = true;

    return ! failed;
}

RawAudioFormat* registerFormatsWithRaw (juce::AudioFormatManager& manager)
{
    manager.registerBasicFormats();
    auto* raw = new RawAudioFormat();
    manager.registerFormat (raw, false);
    return raw;
}
