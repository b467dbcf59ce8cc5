#pragma once

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace TestHelpers
{
// A fresh folder under the temporary directory, removed with everything in it at the end.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();

    const juce::File& get() const { return folder; }
    juce::File operator/ (const juce::String& name) const { return folder.getChildFile (name); }

private:
    juce::File folder;
    JUCE_DECLARE_NON_COPYABLE (TempFolder)
};

// A folder on a file system of its own, too small for what is written into it. Mounting needs the
// right to mount; tests skip when the machine does not give it.
class SmallDisk
{
public:
    SmallDisk (const juce::File& mountPoint, int kilobytes);
    ~SmallDisk();

    juce::File folder;
    bool mounted = false;

private:
    JUCE_DECLARE_NON_COPYABLE (SmallDisk)
};

// Runs a command line tool to its end; returns its exit code (-1 when it could not be started).
int runTool (const juce::StringArray& arguments, juce::String* output = nullptr, int timeoutMs = 60000);

// Lets the message loop run for the given time.
void pumpMessages (int milliseconds);

// Pumps the message loop until the condition holds or the time runs out.
bool pumpUntil (const std::function<bool()>& condition, int timeoutMs);

// Writes a WAV file with JUCE's own writer. Samples are generated per channel by the function.
bool writeWav (const juce::File& file, juce::int64 numSamples, double sampleRate = 44100.0, int numChannels = 2,
               int bitsPerSample = 16, const std::function<int (juce::int64 sample, int channel)>& value = nullptr);

// A 16-bit sample value that differs from sample to sample and channel to channel.
int patternSample (juce::int64 sample, int channel, int seed = 0);

// The image of a component as it would paint, with the program's look and feel.
juce::Image snapshot (juce::Component& component);
} // namespace TestHelpers
