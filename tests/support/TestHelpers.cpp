#include "support/TestHelpers.h"

namespace TestHelpers
{
TempFolder::TempFolder()
    : folder (
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("tavlo-test-", "", false))
{
    folder.createDirectory();
}

TempFolder::~TempFolder()
{
    folder.setReadOnly (false, true);
    folder.deleteRecursively();
}

SmallDisk::SmallDisk (const juce::File& mountPoint, int kilobytes) : folder (mountPoint)
{
    folder.createDirectory();
    mounted = runTool ({ "mount", "-t", "tmpfs", "-o", "size=" + juce::String (kilobytes) + "k", "tmpfs",
                         folder.getFullPathName() })
              == 0;
}

SmallDisk::~SmallDisk()
{
    if (mounted)
        runTool ({ "umount", folder.getFullPathName() });
}

int runTool (const juce::StringArray& arguments, juce::String* output, int timeoutMs)
{
    juce::ChildProcess process;
    if (! process.start (arguments, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return -1;

    const auto text = process.readAllProcessOutput();
    if (output != nullptr)
        *output = text;

    if (! process.waitForProcessToFinish (timeoutMs))
    {
        process.kill();
        return -1;
    }

    return (int) process.getExitCode();
}

void pumpMessages (int milliseconds) { juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds); }

bool pumpUntil (const std::function<bool()>& condition, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() > end)
            return false;
        pumpMessages (10);
    }

    return true;
}

int patternSample (juce::int64 sample, int channel, int seed)
{
    // A cheap hash that never repeats within the short runs tests compare.
    auto x = (juce::uint32) (sample * 2654435761u + (juce::uint32) channel * 40503u + (juce::uint32) seed * 97u);
    x ^= x >> 15;
    return (int) (juce::int16) (x & 0xffff);
}

bool writeWav (const juce::File& file, juce::int64 numSamples, double sampleRate, int numChannels, int bitsPerSample,
               const std::function<int (juce::int64, int)>& value)
{
    file.deleteFile();
    auto stream = file.createOutputStream();
    if (stream == nullptr)
        return false;

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        wav.createWriterFor (stream.get(), sampleRate, (unsigned int) numChannels, bitsPerSample, {}, 0));
    if (writer == nullptr)
        return false;
    stream.release();

    constexpr int block = 4096;
    juce::HeapBlock<int> channelData ((size_t) (numChannels * block));
    juce::HeapBlock<const int*> pointers ((size_t) numChannels + 1);

    for (juce::int64 start = 0; start < numSamples; start += block)
    {
        const auto count = (int) juce::jmin ((juce::int64) block, numSamples - start);

        for (int ch = 0; ch < numChannels; ++ch)
        {
            auto* data = channelData.get() + ch * block;
            for (int i = 0; i < count; ++i)
            {
                const auto v = value != nullptr ? value (start + i, ch) : patternSample (start + i, ch);
                data[i] = v * 65536; // 16-bit value in the high bits of JUCE's 32-bit integer samples
            }
            pointers[ch] = data;
        }
        pointers[numChannels] = nullptr;

        if (! writer->write (pointers.get(), count))
            return false;
    }

    return true;
}

juce::Image snapshot (juce::Component& component)
{
    return component.createComponentSnapshot (component.getLocalBounds(), true, 1.0f);
}
} // namespace TestHelpers
