#include "disc/DummyAudioFormat.h"
#include "playback/MultipleAudioTransportSource.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <unordered_map>

namespace
{
using juce::int64;

constexpr double cdRate = 44100.0;
constexpr int previewReadAhead = 32768;
constexpr int silence = -1;
constexpr float marker = 7.0f;

// One record as a test describes it: samples [start, end) of a WAV file of fileLength samples written with the
// pattern of `seed`, or, with the seed `silence`, end - start samples of silence.
struct RecordSpec
{
    int seed;
    int64 fileLength, start, end;
    double gain = 1.0;
};

RecordSpec pause (int64 length) { return { silence, 0, 0, length }; }

// A sample of a pattern file as JUCE's reader returns it: the 16-bit value scaled from the top of 32 bits.
float fileSample (int64 sample, int channel, int seed)
{
    return (float) (TestHelpers::patternSample (sample, channel, seed) * 65536) * (1.0f / (float) 0x7fffffff);
}

// The joined records, sample by sample, as the transport should play them.
class Timeline
{
public:
    void append (const RecordSpec& wanted)
    {
        for (auto sample = wanted.start; sample < wanted.end; ++sample)
            for (int channel = 0; channel < 2; ++channel)
                samples[channel].push_back (
                    wanted.seed != silence && sample < wanted.fileLength ? fileSample (sample, channel, wanted.seed) : 0.0f);
    }

    int64 length() const { return (int64) samples[0].size(); }

    float at (int64 position, int channel) const
    {
        return position >= 0 && position < length() ? samples[channel][(size_t) position] : 0.0f;
    }

private:
    std::vector<float> samples[2];
};

enum class Fade
{
    none,
    in,
    out
};

// The factor of every sample of a block: a ramp over the first min(n, 256) samples as applyGainRamp makes it, and
// silence beyond it when fading out.
std::vector<float> fadeFactors (int numSamples, Fade fade)
{
    std::vector<float> factors ((size_t) numSamples, fade == Fade::out ? 0.0f : 1.0f);

    if (fade != Fade::none)
    {
        const auto rampLength = juce::jmin (numSamples, 256);
        auto gain = fade == Fade::in ? 0.0f : 1.0f;
        const auto step = ((fade == Fade::in ? 1.0f : 0.0f) - gain) / (float) rampLength;

        for (int i = 0; i < rampLength; ++i, gain += step)
            factors[(size_t) i] = gain;
    }

    return factors;
}

class TransportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        readAheadThread.startThread();
        formats.registerBasicFormats();
    }

    juce::File patternFile (int seed, int64 length)
    {
        auto file = folder / ("track" + juce::String (seed) + "-" + juce::String (length) + ".wav");

        if (! file.existsAsFile())
        {
            EXPECT_TRUE (TestHelpers::writeWav (file, length, cdRate, 2, 16,
                                                [seed] (int64 sample, int channel)
                                                { return TestHelpers::patternSample (sample, channel, seed); }));
        }

        return file;
    }

    // As the preview builds its pauses: a reader of the silent format with the pause's length.
    static posSource* makeSilence (int64 length)
    {
        DummyAudioFormat format;
        auto* reader = format.createReaderFor (nullptr, true);
        reader->lengthInSamples = length;
        return new posSource { new juce::AudioFormatReaderSource (reader, true), 0, length };
    }

    posSource* makeRecord (const RecordSpec& wanted)
    {
        if (wanted.seed == silence)
            return makeSilence (wanted.end - wanted.start);

        auto* reader = formats.createReaderFor (patternFile (wanted.seed, wanted.fileLength));
        return new posSource { new juce::AudioFormatReaderSource (reader, true), wanted.start, wanted.end };
    }

    void load (const std::vector<RecordSpec>& specs, int readAhead = previewReadAhead)
    {
        for (const auto& wanted : specs)
        {
            transport.addSource (makeRecord (wanted), readAhead, &readAheadThread, cdRate, wanted.gain);
            timeline.append (wanted);
        }
    }

    // One block as the audio player asks for it, once the read-ahead holds its samples. The block sits inside a
    // larger buffer filled with a marker, so that a sample left unwritten, or written outside the block, shows.
    juce::AudioBuffer<float> render (int numSamples)
    {
        constexpr int guard = 3;
        EXPECT_TRUE (transport.waitForReadAhead (numSamples, 5000));

        juce::AudioBuffer<float> buffer (2, numSamples + 2 * guard);
        for (int channel = 0; channel < 2; ++channel)
            juce::FloatVectorOperations::fill (buffer.getWritePointer (channel), marker, buffer.getNumSamples());

        transport.getNextAudioBlock ({ &buffer, guard, numSamples });

        juce::AudioBuffer<float> block (2, numSamples);
        for (int channel = 0; channel < 2; ++channel)
        {
            for (int i = 0; i < guard; ++i)
            {
                EXPECT_EQ (buffer.getSample (channel, i), marker);
                EXPECT_EQ (buffer.getSample (channel, guard + numSamples + i), marker);
            }
            block.copyFrom (channel, 0, buffer, channel, guard, numSamples);
        }
        return block;
    }

    // Every sample of the block against the timeline from `position`, with the given per-sample factors.
    ::testing::AssertionResult matches (const juce::AudioBuffer<float>& block, int64 position,
                                        const std::vector<float>& factors, float tolerance = 0.0f) const
    {
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < block.getNumSamples(); ++i)
            {
                const auto expected = timeline.at (position + i, channel) * factors[(size_t) i];
                const auto actual = block.getSample (channel, i);

                if (std::abs (actual - expected) > tolerance)
                    return ::testing::AssertionFailure() << "timeline sample " << position + i << " channel " << channel
                                                         << ": " << actual << ", expected " << expected;
            }

        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult matches (const juce::AudioBuffer<float>& block, int64 position,
                                        Fade fade = Fade::none) const
    {
        return matches (block, position, fadeFactors (block.getNumSamples(), fade));
    }

    static ::testing::AssertionResult isSilent (const juce::AudioBuffer<float>& block)
    {
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < block.getNumSamples(); ++i)
                if (block.getSample (channel, i) != 0.0f)
                    return ::testing::AssertionFailure()
                           << "sample " << i << " channel " << channel << " is " << block.getSample (channel, i);

        return ::testing::AssertionSuccess();
    }

    // stop() waits for the audio thread to fade out: render that block while it waits.
    juce::AudioBuffer<float> stopAndRender (int numSamples)
    {
        auto stopping = std::async (std::launch::async, [this] { transport.stop(); });

        while (transport.playing)
            std::this_thread::yield();

        auto block = render (numSamples);
        stopping.get();
        return block;
    }

    TestHelpers::TempFolder folder;
    juce::TimeSliceThread readAheadThread { "audio file preview" };
    juce::AudioFormatManager formats;
    MultipleAudioTransportSource transport;
    Timeline timeline;
};

//==============================================================================
struct SeamCase
{
    const char* name;
    std::vector<RecordSpec> records;
    int blockSize;
    int readAhead;
};

void PrintTo (const SeamCase& seamCase, std::ostream* stream) { *stream << seamCase.name; }

class TransportSeams : public TransportTest, public ::testing::WithParamInterface<SeamCase>
{
};

TEST_P (TransportSeams, EverySampleFollowsTheJoinedRecordsUntilTheEnd)
{
    const auto& param = GetParam();
    load (param.records, param.readAhead);
    const auto n = param.blockSize;
    const auto total = timeline.length();
    EXPECT_EQ (transport.getTotalLength(), total);

    transport.prepareToPlay (n, cdRate);
    transport.start();
    ASSERT_TRUE (transport.playing);

    for (int64 position = 0;; position += n)
    {
        EXPECT_TRUE (matches (render (n), position, position == 0 ? Fade::in : Fade::none));

        // The timeline runs out in the block that needs a sample beyond it.
        const auto runsOut = position + n > total;
        EXPECT_EQ (transport.playing.load(), ! runsOut) << "block at " << position;
        EXPECT_EQ (transport.hasStreamFinished(), runsOut) << "block at " << position;

        if (runsOut)
            break;

        EXPECT_EQ (transport.getNextReadPosition(), position + n);
    }

    EXPECT_EQ (transport.getNextReadPosition(), total);

    // The next block fades out what is left of the end (nothing); later ones stay silent.
    EXPECT_TRUE (isSilent (render (n)));
    EXPECT_TRUE (isSilent (render (n)));
    EXPECT_FALSE (transport.playing);
    EXPECT_EQ (transport.getNextReadPosition(), total);
}

INSTANTIATE_TEST_SUITE_P (
    Records, TransportSeams,
    ::testing::Values (
        // A block of 512 meets the rest of the first record, all of a 100-sample record and the start of the third.
        SeamCase { "ThreeRecordsInOneBlock",
                   { { 1, 900, 0, 900 }, { 2, 100, 0, 100 }, { 3, 5000, 0, 5000 } },
                   512,
                   previewReadAhead },
        SeamCase { "BlocksEndExactlyAtRecordEnds",
                   { { 1, 1024, 0, 1024 }, { 2, 2048, 0, 2048 } },
                   512,
                   previewReadAhead },
        SeamCase { "RecordsShorterThanABlock",
                   { { 4, 7, 0, 7 }, pause (1), { 5, 30, 0, 30 }, pause (3), { 6, 500, 0, 500 }, { 4, 7, 0, 7 } },
                   64,
                   previewReadAhead },
        // Items cut from one file at sample offsets; the last cut reaches past the end of the file, which plays
        // as silence so that everything after it keeps its place.
        SeamCase { "CutsFromOneFileAndAShortSource",
                   { { 5, 3000, 0, 1000 },
                     { 5, 3000, 1000, 2500 },
                     { 5, 3000, 2500, 3600 },
                     pause (588),
                     { 6, 4000, 100, 4000 } },
                   441,
                   previewReadAhead },
        SeamCase { "EmptyRecordsTakeNoTime",
                   { { 1, 600, 0, 600 }, pause (0), { 2, 100, 50, 20 }, { 3, 700, 0, 700 } },
                   256,
                   previewReadAhead },
        SeamCase { "WithoutReadAhead",
                   { { 1, 900, 0, 900 }, { 2, 100, 0, 100 }, pause (77), { 3, 5000, 0, 5000 } },
                   100,
                   0 }),
    [] (const ::testing::TestParamInfo<SeamCase>& testCase) { return std::string (testCase.param.name); });

TEST_F (TransportTest, AtAnotherDeviceRateTheJoinedRecordsAreResampledAsOneStream)
{
    load ({ { 1, 900, 0, 900 }, { 2, 100, 0, 100 }, pause (77), { 3, 5000, 0, 5000 } });
    constexpr int n = 480;
    constexpr double deviceRate = 48000.0;
    transport.prepareToPlay (n, deviceRate);
    EXPECT_EQ (transport.getTotalLength(), (int64) ((double) timeline.length() * deviceRate / cdRate));

    // The expected sound: the whole timeline in one buffer, through the same resampler.
    juce::AudioBuffer<float> joined (2, (int) timeline.length());
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < joined.getNumSamples(); ++i)
            joined.setSample (channel, i, timeline.at (i, channel));

    juce::MemoryAudioSource memory (joined, false);
    juce::ResamplingAudioSource reference (&memory, false, 2);
    reference.setResamplingRatio (cdRate / deviceRate);
    reference.prepareToPlay (n, deviceRate);

    transport.start();

    for (int block = 0; transport.playing && block < 100; ++block)
    {
        const auto actual = render (n);
        juce::AudioBuffer<float> expected (2, n);
        reference.getNextAudioBlock ({ &expected, 0, n });

        const auto factors = fadeFactors (n, block == 0 ? Fade::in : Fade::none);
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < n; ++i)
                ASSERT_NEAR (actual.getSample (channel, i), expected.getSample (channel, i) * factors[(size_t) i],
                             1.0e-6f)
                    << "block " << block << " sample " << i;
    }

    EXPECT_FALSE (transport.playing);
}

//==============================================================================
class TransportFades : public TransportTest, public ::testing::WithParamInterface<int>
{
};

TEST_P (TransportFades, StartFadesInAndStopFadesOutThenStaysSilent)
{
    const auto n = GetParam();
    load ({ { 7, 20000, 0, 20000 } });
    transport.prepareToPlay (n, cdRate);

    transport.start();
    EXPECT_TRUE (matches (render (n), 0, Fade::in));
    EXPECT_TRUE (matches (render (n), n, Fade::none));

    EXPECT_TRUE (matches (stopAndRender (n), 2 * n, Fade::out));
    EXPECT_EQ (transport.getNextReadPosition(), 3 * n);
    EXPECT_TRUE (isSilent (render (n)));
    EXPECT_EQ (transport.getNextReadPosition(), 3 * n);

    transport.start();
    EXPECT_TRUE (matches (render (n), 3 * n, Fade::in));

    // Without an audio callback stop() gives up after about a second; the next start still fades in.
    const auto stopStarted = juce::Time::getMillisecondCounter();
    transport.stop();
    EXPECT_LT (juce::Time::getMillisecondCounter() - stopStarted, 2000u);
    transport.start();
    EXPECT_TRUE (matches (render (n), 4 * n, Fade::in));
}

INSTANTIATE_TEST_SUITE_P (BlockSizes, TransportFades, ::testing::Values (100, 256, 512));

//==============================================================================
TEST_F (TransportTest, SeeksLandOnTheJoinedTimelineAndOutsideIsIgnored)
{
    load ({ pause (5880), { 8, 30000, 0, 30000 }, pause (1000), { 9, 40000, 500, 40000 } });
    const auto total = timeline.length();
    constexpr int n = 512;
    transport.prepareToPlay (n, cdRate);
    EXPECT_EQ (transport.getTotalLength(), total);

    transport.start();
    EXPECT_TRUE (matches (render (n), 0, Fade::in));

    // Seeks while playing, back and forth across seams: records played before must start again from their start.
    for (const int64 target : { (int64) 5879, (int64) 35700, (int64) 36500, (int64) 5000, (int64) 35800, (int64) 36870,
                                (int64) 20000, total - 2 * n })
    {
        transport.setNextReadPosition (target);
        EXPECT_EQ (transport.getNextReadPosition(), target);
        EXPECT_TRUE (matches (render (n), target)) << "after a seek to " << target;
        EXPECT_TRUE (matches (render (n), target + n)) << "after a seek to " << target;
        EXPECT_EQ (transport.getNextReadPosition(), target + 2 * n);
    }

    transport.setNextReadPosition (12345);

    for (const int64 outside : { total, total + 1000, (int64) -1 })
    {
        transport.setNextReadPosition (outside);
        EXPECT_EQ (transport.getNextReadPosition(), 12345) << outside;
    }

    transport.setPosition (-0.5);
    transport.setPosition ((double) total / cdRate + 1.0);
    EXPECT_EQ (transport.getNextReadPosition(), 12345);

    for (const double seconds : { 0.1, 0.8123456, 1.7 })
    {
        transport.setPosition (seconds);
        EXPECT_NEAR (transport.getCurrentPosition(), seconds, 1.0 / cdRate);
    }
}

TEST_F (TransportTest, TimelinePositionsPastThirtyTwoBitsStayExact)
{
    // Just over 13.5 hours of silence, more samples than a 32-bit count holds, then a track.
    constexpr int64 longPause = ((int64) 1 << 31) + 1000;
    transport.addSource (makeSilence (longPause), previewReadAhead, &readAheadThread, cdRate, 1.0);
    load ({ { 10, 5000, 0, 5000 } });
    EXPECT_EQ (transport.getTotalLength(), longPause + 5000);

    constexpr int n = 512;
    transport.prepareToPlay (n, cdRate);
    transport.setNextReadPosition (longPause - 100);
    EXPECT_EQ (transport.getNextReadPosition(), longPause - 100);

    transport.start();
    const auto block = render (n);
    auto factors = fadeFactors (n, Fade::in);
    std::fill (factors.begin(), factors.begin() + 100, 0.0f); // the end of the pause
    EXPECT_TRUE (matches (block, -100, factors));
    EXPECT_EQ (transport.getNextReadPosition(), longPause - 100 + n);

    transport.setPosition ((double) (longPause + 2000) / cdRate);
    EXPECT_NEAR (transport.getCurrentPosition(), (double) (longPause + 2000) / cdRate, 1.0 / cdRate);
}

TEST_F (TransportTest, EachRecordKeepsItsGainUpToTheSeam)
{
    load ({ { 1, 700, 0, 700, 0.5 }, { 2, 900, 0, 900, 0.25 }, { 3, 2000, 0, 2000, 1.0 } });
    constexpr int n = 512;
    transport.prepareToPlay (n, cdRate);
    transport.start();

    const auto gainAt = [] (int64 position) { return position < 700 ? 0.5f : position < 1600 ? 0.25f : 1.0f; };

    // The first block ramps the first record from the gain it was added with (1.0) to its own, under the fade-in.
    auto factors = fadeFactors (n, Fade::in);
    auto gain = 1.0f;
    for (auto& factor : factors)
    {
        factor *= gain;
        gain += (0.5f - 1.0f) / (float) n;
    }
    EXPECT_TRUE (matches (render (n), 0, factors, 1.0e-6f));

    // Then every record plays at its own gain, also inside a block that stitches two records.
    for (int64 position = n; position < 2600; position += n)
    {
        for (int i = 0; i < n; ++i)
            factors[(size_t) i] = gainAt (position + i);

        EXPECT_TRUE (matches (render (n), position, factors, 1.0e-6f));
    }
}

TEST_F (TransportTest, EmptyReleasedAndSourcelessTransportsStaySilent)
{
    constexpr int n = 256;
    transport.prepareToPlay (n, cdRate);

    transport.start();
    EXPECT_FALSE (transport.playing);
    EXPECT_TRUE (isSilent (render (n)));
    EXPECT_EQ (transport.getTotalLength(), 0);
    EXPECT_EQ (transport.getNextReadPosition(), 0);
    EXPECT_FALSE (transport.isLooping());

    // A record without a source takes no time and cannot be started.
    transport.addSource (new posSource { nullptr, 0, 1000 }, previewReadAhead, &readAheadThread, cdRate, 1.0);
    transport.start();
    EXPECT_FALSE (transport.playing);
    EXPECT_EQ (transport.getTotalLength(), 0);
    EXPECT_TRUE (isSilent (render (n)));

    // The single-source call of the base class changes nothing.
    std::unique_ptr<posSource> stray (makeSilence (1000));
    std::unique_ptr<juce::PositionableAudioSource> straySource (stray->source);
    transport.setSource (straySource.get(), previewReadAhead, &readAheadThread, cdRate);
    EXPECT_EQ (transport.getTotalLength(), 0);

    // Adding a record ends playback: the next block fades out.
    transport.deleteSources();
    load ({ { 1, 3000, 0, 3000 } });
    transport.start();
    EXPECT_TRUE (matches (render (n), 0, Fade::in));
    load ({ pause (100) });
    EXPECT_FALSE (transport.playing);
    EXPECT_TRUE (matches (render (n), n, Fade::out));

    // Stopping the device discards the records.
    transport.releaseResources();
    transport.prepareToPlay (n, cdRate);
    EXPECT_EQ (transport.getTotalLength(), 0);
    transport.start();
    EXPECT_FALSE (transport.playing);
    EXPECT_TRUE (isSilent (render (n)));
}

// A key for a block's first two stereo samples, which the pattern makes unique within a file.
juce::uint64 keyOf (const float* left, const float* right)
{
    const auto bits = [] (float value) { return (juce::uint64) (juce::uint16) juce::roundToInt (value * 32768.0f); };
    return bits (left[0]) | bits (right[0]) << 16 | bits (left[1]) << 32 | bits (right[1]) << 48;
}

TEST_F (TransportTest, SeeksAndDeletionWhileTheAudioThreadRendersKeepEveryBlockWhole)
{
    // Short records cut back to back from one file: a block stitched from the wrong records breaks the file's
    // sequence. Without read-ahead every block holds its samples, whatever the timing.
    constexpr int64 fileLength = 60000;
    constexpr int n = 61;
    std::vector<RecordSpec> specs;
    const int lengths[] = { 37, 200, 5, 1000, 64, 1, 333 };

    for (int64 start = 0, i = 0; start < fileLength; ++i)
    {
        const auto end = juce::jmin (fileLength, start + lengths[i % 7]);
        specs.push_back ({ 11, fileLength, start, end });
        start = end;
    }

    load (specs, 0);
    transport.prepareToPlay (n, cdRate);

    std::unordered_map<juce::uint64, int64> positionOf;
    for (int64 position = 0; position + 1 < fileLength; ++position)
    {
        const float left[] = { timeline.at (position, 0), timeline.at (position + 1, 0) };
        const float right[] = { timeline.at (position, 1), timeline.at (position + 1, 1) };
        positionOf[keyOf (left, right)] = position;
    }

    const auto continuesTheFile = [&] (const juce::AudioBuffer<float>& block)
    {
        const auto found = positionOf.find (keyOf (block.getReadPointer (0), block.getReadPointer (1)));
        return found != positionOf.end() && matches (block, found->second);
    };

    std::atomic<bool> deleting { false }, done { false };
    std::atomic<int> checkedBlocks { 0 }, brokenBlocks { 0 };

    std::thread audioThread (
        [&]
        {
            juce::AudioBuffer<float> block (2, n);
            bool justStarted = false;

            while (! done)
            {
                transport.getNextAudioBlock ({ &block, 0, n });

                // A block right after a start may fade in, the one that runs out ends early: only whole steady blocks
                // from before the deletion are checked.
                const auto steady = transport.playing && ! justStarted && ! deleting;
                justStarted = false;

                if (steady && ! continuesTheFile (block))
                    ++brokenBlocks;

                checkedBlocks += steady ? 1 : 0;

                if (! transport.playing)
                {
                    transport.start();
                    justStarted = true;
                }
            }
        });

    juce::Random random (42);
    const auto end = juce::Time::getMillisecondCounter() + 1500;

    while (juce::Time::getMillisecondCounter() < end)
    {
        transport.setNextReadPosition (random.nextInt ((int) fileLength - 5000));
        EXPECT_GE (transport.getNextReadPosition(), 0);
    }

    deleting = true;
    transport.deleteSources();
    std::this_thread::sleep_for (std::chrono::milliseconds (20));
    done = true;
    audioThread.join();

    EXPECT_EQ (brokenBlocks.load(), 0);
    EXPECT_GT (checkedBlocks.load(), 1000);
    EXPECT_EQ (transport.getTotalLength(), 0);
}
} // namespace
