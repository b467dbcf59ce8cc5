#include "disc/DummyAudioFormat.h"
#include "disc/RawAudioFormat.h"

#include <gtest/gtest.h>

namespace
{
std::unique_ptr<juce::AudioFormatReader> rawReaderOver (const void* data, size_t size)
{
    RawAudioFormat format;
    return std::unique_ptr<juce::AudioFormatReader> (
        format.createReaderFor (new juce::MemoryInputStream (data, size, true), true));
}

TEST (RawAudioFormat, DescribesHeaderlessCDAudio)
{
    RawAudioFormat format;
    EXPECT_EQ (format.getFormatName(), "Raw data file");
    EXPECT_EQ (format.getFileExtensions(), juce::StringArray (juce::String()));
    EXPECT_EQ (format.getPossibleSampleRates(), juce::Array<int> ({ 44100 }));
    EXPECT_EQ (format.getPossibleBitDepths(), juce::Array<int> ({ 16 }));
    EXPECT_TRUE (format.canDoStereo());
    EXPECT_TRUE (format.canDoMono());
}

TEST (RawAudioFormat, ReadsLittleEndianPairsAndSilenceBeyondTheEnd)
{
    const unsigned char bytes[] = { 0x01, 0x00, 0xff, 0xff, 0x00, 0x80, 0xff, 0x7f, 0xaa, 0xbb };
    auto reader = rawReaderOver (bytes, sizeof (bytes));
    ASSERT_NE (reader, nullptr);
    EXPECT_EQ (reader->lengthInSamples, 2);
    EXPECT_EQ (reader->sampleRate, 44100.0);
    EXPECT_EQ (reader->numChannels, 2u);
    EXPECT_EQ (reader->bitsPerSample, 16u);
    EXPECT_FALSE (reader->usesFloatingPointData);

    int left[4] = { 9, 9, 9, 9 }, right[4] = { 9, 9, 9, 9 };
    int* channels[] = { left, right, nullptr };
    ASSERT_TRUE (reader->readSamples (channels, 2, 0, 0, 4));

    EXPECT_EQ (left[0], 1 << 16);
    EXPECT_EQ (right[0], -1 * 65536);
    EXPECT_EQ (left[1], -32768 * 65536);
    EXPECT_EQ (right[1], 32767 * 65536);
    for (int i : { 2, 3 })
    {
        EXPECT_EQ (left[i], 0);
        EXPECT_EQ (right[i], 0);
    }
}

TEST (RawAudioFormat, ReadsAcrossItsChunksFromAnyPosition)
{
    // 5000 stereo samples whose left value is the sample index and right is its negation.
    juce::MemoryOutputStream data;
    for (int i = 0; i < 5000; ++i)
    {
        data.writeShort ((short) i);
        data.writeShort ((short) -i);
    }

    auto reader = rawReaderOver (data.getData(), data.getDataSize());
    juce::AudioBuffer<float> buffer (2, 3000);
    reader->read (&buffer, 0, 3000, 1999, true, true);

    for (int i = 0; i < 3000; ++i)
    {
        const auto expected = i + 1999 < 5000 ? (float) (i + 1999) / 32768.0f : 0.0f;
        ASSERT_FLOAT_EQ (buffer.getSample (0, i), expected) << i;
        ASSERT_FLOAT_EQ (buffer.getSample (1, i), -expected) << i;
    }
}

// A sink that keeps only the number of bytes it was given, or refuses after a limit.
class CountingStream : public juce::OutputStream
{
public:
    explicit CountingStream (juce::int64 refuseAfter = -1) : limit (refuseAfter) {}
    void flush() override {}
    bool setPosition (juce::int64) override { return false; }
    juce::int64 getPosition() override { return size; }
    bool write (const void*, size_t n) override
    {
        if (limit >= 0 && size + (juce::int64) n > limit)
            return false;
        size += (juce::int64) n;
        return true;
    }

    juce::int64 size = 0, limit;
};

TEST (RawAudioFormat, WritesInterleavedLittleEndianWithoutAHeader)
{
    RawAudioFormat format;
    juce::MemoryOutputStream refused; // a format that makes no writer leaves the stream to its owner
    EXPECT_EQ (format.createWriterFor (&refused, 44100.0, 2, 24, {}, 0), nullptr);

    auto* memory = new juce::MemoryOutputStream();
    std::unique_ptr<juce::AudioFormatWriter> writer (format.createWriterFor (memory, 44100.0, 2, 16, {}, 0));
    ASSERT_NE (writer, nullptr);

    const int left[] = { 1 << 16, -65536 }, right[] = { 0x12340000, (int) 0x80000000 };
    const int* stereo[] = { left, right, nullptr };
    ASSERT_TRUE (writer->write (stereo, 2));

    const int* leftOnly[] = { left, nullptr };
    ASSERT_TRUE (writer->write (leftOnly, 1)); // a missing right channel repeats the left

    const unsigned char expected[] = { 0x01, 0x00, 0x34, 0x12, 0xff, 0xff, 0x00, 0x80, 0x01, 0x00, 0x01, 0x00 };
    ASSERT_EQ (memory->getDataSize(), sizeof (expected));
    EXPECT_EQ (std::memcmp (memory->getData(), expected, sizeof (expected)), 0);
}

TEST (RawAudioFormat, BytesThatAreAlreadySamplesAreWrittenAsTheyAreInWholeSamples)
{
    auto* memory = new juce::MemoryOutputStream();
    RawAudioFormatWriter writer (memory, 44100.0, 2);

    const unsigned char bytes[] = { 0x01, 0x00, 0x34, 0x12, 0xff, 0xff, 0x00, 0x80 };
    EXPECT_FALSE (writer.writeBytes (bytes, 3)); // not a whole stereo sample
    EXPECT_FALSE (writer.hasFailed());
    ASSERT_TRUE (writer.writeBytes (bytes, sizeof (bytes)));

    EXPECT_EQ (writer.getSamplesWritten(), 2);
    EXPECT_EQ (writer.getBytesWritten(), 8);
    ASSERT_EQ (memory->getDataSize(), sizeof (bytes));
    EXPECT_EQ (std::memcmp (memory->getData(), bytes, sizeof (bytes)), 0);
}

TEST (RawAudioFormat, AMonoWriterWritesOneChannel)
{
    RawAudioFormat format;
    auto* memory = new juce::MemoryOutputStream();
    std::unique_ptr<juce::AudioFormatWriter> writer (format.createWriterFor (memory, 44100.0, 1, 16, {}, 0));
    const int left[] = { 0x7fff0000, 1 << 16 };
    const int* channels[] = { left, nullptr };
    ASSERT_TRUE (writer->write (channels, 2));
    EXPECT_EQ (memory->getDataSize(), 4u);
}

TEST (RawAudioFormat, AFailedWriteFailsEveryLaterWrite)
{
    RawAudioFormat format;
    auto* sink = new CountingStream (8);
    std::unique_ptr<RawAudioFormatWriter> writer (
        dynamic_cast<RawAudioFormatWriter*> (format.createWriterFor (sink, 44100.0, 2, 16, {}, 0)));

    const int samples[3] = {};
    const int* channels[] = { samples, samples, nullptr };
    EXPECT_TRUE (writer->write (channels, 2));
    EXPECT_FALSE (writer->write (channels, 3)); // the stream refuses
    EXPECT_TRUE (writer->hasFailed());
    EXPECT_FALSE (writer->write (channels, 1)); // and stays failed, though this one would fit
    EXPECT_EQ (sink->size, 8);
}

TEST (RawAudioFormat, StopsOneMebibyteShortOfFourGibibytes)
{
    RawAudioFormat format;
    auto* sink = new CountingStream();
    std::unique_ptr<RawAudioFormatWriter> writer (
        dynamic_cast<RawAudioFormatWriter*> (format.createWriterFor (sink, 44100.0, 2, 16, {}, 0)));

    constexpr int block = 1 << 20; // samples: 4 MiB per call
    std::vector<int> samples (block);
    const int* channels[] = { samples.data(), samples.data(), nullptr };

    const auto blocksThatFit = (RawAudioFormat::maximumBytes - 1) / (block * 4); // 1023
    for (juce::int64 i = 0; i < blocksThatFit; ++i)
        ASSERT_TRUE (writer->write (channels, block)) << i;

    // 3 MiB are left before the limit: one sample less fits, the full rest would reach it.
    const auto remainingSamples = (int) ((RawAudioFormat::maximumBytes - blocksThatFit * block * 4) / 4);
    ASSERT_EQ (remainingSamples, 3 * (1 << 20) / 4);
    EXPECT_TRUE (writer->write (channels, remainingSamples - 1));
    EXPECT_FALSE (writer->write (channels, 1));
    EXPECT_TRUE (writer->hasFailed());
    EXPECT_EQ (sink->size, RawAudioFormat::maximumBytes - 4);
}

TEST (DummyAudioFormat, GivesSilenceOfTheLengthItsUserSets)
{
    DummyAudioFormat format;
    EXPECT_EQ (format.getFormatName(), "Dummy data file");
    EXPECT_FALSE (format.canDoMono());
    juce::MemoryOutputStream refused;
    EXPECT_EQ (format.createWriterFor (&refused, 44100.0, 2, 16, {}, 0), nullptr);

    std::unique_ptr<juce::AudioFormatReader> reader (format.createReaderFor (nullptr, false));
    ASSERT_NE (reader, nullptr);
    EXPECT_EQ (reader->lengthInSamples, 0);
    EXPECT_EQ (reader->numChannels, 2u);
    reader->lengthInSamples = 1000;

    juce::AudioBuffer<float> buffer (2, 1000);
    buffer.applyGain (0.0f);
    for (int ch = 0; ch < 2; ++ch)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), 0.5f, 1000);
    reader->read (&buffer, 0, 1000, 0, true, true);
    EXPECT_EQ (buffer.getMagnitude (0, 1000), 0.0f);
}
} // namespace
