// Plays a generated 20-track disc through the preview transport, block by block as an audio device would, with the
// read-ahead thread filling its buffers at the same time. Reports the time each block takes against the block's
// real-time duration, and every block that the read-ahead could not serve or that differs from the expected audio.
//   build/src/tavlo_transport_benchmark [speed]    speed: times real time (default 1; 0 = as fast as possible)
#include "disc/DummyAudioFormat.h"
#include "playback/MultipleAudioTransportSource.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "BenchmarkAudio.h"

namespace
{
using juce::int64;

using BenchmarkAudio::cdRate;
using BenchmarkAudio::patternValue;
using BenchmarkAudio::writeTrack;
constexpr int blockSize = 512;
constexpr int samplesPerFrame = 588;
constexpr int previewReadAhead = 32768;
constexpr int trackCount = 20;

float patternSample (int64 sample, int channel, int seed)
{
    return (float) (patternValue (sample, channel, seed) * 65536) * (1.0f / (float) 0x7fffffff);
}

// One record of the playlist: a stretch of a track (seed > 0) or silence (seed 0).
struct Record
{
    int seed;
    int64 start, end, timelineStart;
};

class Playlist
{
public:
    void add (int seed, int64 start, int64 end)
    {
        records.push_back ({ seed, start, end, length });
        length += end - start;
    }

    float expected (int64 position, int channel) const
    {
        auto record = std::upper_bound (records.begin(), records.end(), position,
                                        [] (int64 p, const Record& r) { return p < r.timelineStart; });
        if (record == records.begin() || position >= length)
            return 0.0f;
        --record;
        return record->seed == 0
                   ? 0.0f
                   : patternSample (record->start + position - record->timelineStart, channel, record->seed);
    }

    bool hasSeamIn (int64 from, int64 to) const
    {
        return std::any_of (records.begin(), records.end(),
                            [&] (const Record& r) { return r.timelineStart > from && r.timelineStart < to; });
    }

    std::vector<Record> records;
    int64 length = 0;
};

posSource* silenceRecord (int64 length)
{
    DummyAudioFormat format;
    auto* reader = format.createReaderFor (nullptr, true);
    reader->lengthInSamples = length;
    return new posSource { new juce::AudioFormatReaderSource (reader, true), 0, length };
}

double elapsedMs (juce::int64 from, juce::int64 to)
{
    return juce::Time::highResolutionTicksToSeconds (to - from) * 1000.0;
}

int run (double speed)
{
    const auto folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("tavlo-bench-", "");
    folder.createDirectory();

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    juce::TimeSliceThread previewThread ("audio file preview");
    previewThread.startThread();
    MultipleAudioTransportSource transport;
    Playlist playlist;

    // The disc as the preview lays it out: the 2-second pregap, a 2-second pause before every later track, an
    // index offset of 10 frames on every fourth track, and every fifth track cut in two at an index point.
    juce::Random random (2024);
    const auto addSilence = [&] (int64 length)
    {
        transport.addSource (silenceRecord (length), previewReadAhead, &previewThread, cdRate, 1.0);
        playlist.add (0, 0, length);
    };
    const auto addTrack = [&] (const juce::File& file, int seed, int64 start, int64 end)
    {
        auto* reader = formats.createReaderFor (file);
        transport.addSource (new posSource { new juce::AudioFormatReaderSource (reader, true), start, end },
                             previewReadAhead, &previewThread, cdRate, 1.0);
        playlist.add (seed, start, end);
    };

    addSilence (150 * samplesPerFrame);

    for (int track = 1; track <= trackCount; ++track)
    {
        const auto length = (int64) random.nextInt ({ 4 * 44100, 14 * 44100 }); // any sample count
        const auto file = folder.getChildFile ("track" + juce::String (track) + ".wav");
        if (! writeTrack (file, length, track))
        {
            std::printf ("could not write %s\n", file.getFullPathName().toRawUTF8());
            return 2;
        }

        if (track > 1)
            addSilence (150 * samplesPerFrame);
        if (track % 4 == 0)
            addSilence (10 * samplesPerFrame);

        if (track % 5 == 0)
        {
            const auto indexPoint = (length / 2 / samplesPerFrame) * samplesPerFrame;
            addTrack (file, track, 0, indexPoint);
            addTrack (file, track, indexPoint, length);
        }
        else
        {
            addTrack (file, track, 0, length);
        }
    }

    transport.prepareToPlay (blockSize, cdRate);
    transport.start();

    const auto blockDuration = std::chrono::duration<double> ((double) blockSize / cdRate);
    const auto pace = speed > 0.0
                          ? std::chrono::duration_cast<std::chrono::steady_clock::duration> (blockDuration / speed)
                          : std::chrono::steady_clock::duration::zero();
    auto deadline = std::chrono::steady_clock::now();

    juce::AudioBuffer<float> buffer (2, blockSize);
    std::vector<double> times;
    int unready = 0, wrong = 0, seamBlocks = 0;
    double worst = 0.0;
    int64 worstAt = 0;

    for (int64 position = 0; transport.playing; position += blockSize)
    {
        const auto ready = transport.waitForReadAhead (blockSize, 0);

        const auto before = juce::Time::getHighResolutionTicks();
        transport.getNextAudioBlock ({ &buffer, 0, blockSize });
        const auto ms = elapsedMs (before, juce::Time::getHighResolutionTicks());

        times.push_back (ms);
        if (ms > worst)
        {
            worst = ms;
            worstAt = position;
        }

        const auto seam = playlist.hasSeamIn (position, position + blockSize);
        seamBlocks += seam ? 1 : 0;

        // The first block fades in; the one that runs out of the disc stops early.
        const auto first = position == 0 ? 256 : 0;
        bool same = true;
        for (int channel = 0; channel < 2 && same; ++channel)
            for (int i = first; i < blockSize && same; ++i)
                same = buffer.getSample (channel, i) == playlist.expected (position + i, channel);

        if (! ready || ! same)
            std::printf ("block at sample %lld%s:%s%s\n", (long long) position, seam ? " (seam)" : "",
                         ready ? "" : " read-ahead not ready", same ? "" : " audio differs");
        unready += ready ? 0 : 1;
        wrong += same ? 0 : 1;

        if (speed > 0.0)
        {
            deadline += pace;
            std::this_thread::sleep_until (deadline);
        }
    }

    transport.releaseResources();
    previewThread.stopThread (2000);
    folder.deleteRecursively();

    const auto realTimeMs = blockDuration.count() * 1000.0;
    double total = 0.0;
    for (auto t : times)
        total += t;
    std::sort (times.begin(), times.end());
    const auto average = total / (double) times.size();
    const auto p99 = times[(size_t) ((double) (times.size() - 1) * 0.99)];

    std::printf ("disc: %d tracks, %zu records, %.1f s; %zu blocks of %d samples (%.3f ms), %d across seams; "
                 "paced at %s\n",
                 trackCount, playlist.records.size(), (double) playlist.length / cdRate, times.size(), blockSize,
                 realTimeMs, seamBlocks,
                 speed > 0.0 ? (juce::String (speed) + "x real time").toRawUTF8() : "full speed");
    std::printf ("getNextAudioBlock: average %.4f ms (%.3f %% of real time), 99th percentile %.4f ms (%.3f %%), "
                 "worst %.4f ms (%.3f %%) at sample %lld%s\n",
                 average, 100.0 * average / realTimeMs, p99, 100.0 * p99 / realTimeMs, worst,
                 100.0 * worst / realTimeMs, (long long) worstAt,
                 playlist.hasSeamIn (worstAt, worstAt + blockSize) ? " (seam)" : "");
    std::printf ("underruns: %d blocks with the read-ahead not ready, %d blocks differing from the disc\n", unready,
                 wrong);

    const auto passed = worst < 0.05 * realTimeMs && unready == 0 && wrong == 0;
    std::printf ("%s (target: worst block under 5 %% of real time, no underrun)\n", passed ? "PASS" : "FAIL");
    return passed ? 0 : 1;
}
} // namespace

int main (int argc, char** argv)
{
    // The transport announces the end of the disc with a change message.
    juce::MessageManager::getInstance();
    const auto speed = argc > 1 ? juce::String (argv[1]).getDoubleValue() : 1.0;
    const auto result = run (speed);
    juce::MessageManager::deleteInstance();
    return result;
}
