#include "app/StoredSettings.h"
#include "disc/CDItem.h"

#include "support/ScriptedUserInteraction.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

namespace
{
using TestHelpers::TempFolder;

class AudioFileIntake : public ::testing::Test
{
public:
    void SetUp() override { setPauseAndOffset ("150", "10"); }

    void TearDown() override { setPauseAndOffset ("150", "10"); }

    static void setPauseAndOffset (const juce::String& pause, const juce::String& offset)
    {
        auto& props = StoredSettings::getInstance()->getProps();
        props.setValue ("defaultpause", pause);
        props.setValue ("indexoffset", offset);
    }

    juce::File wav (const juce::String& name, juce::int64 samples, double rate = 44100.0, int channels = 2,
                    int bits = 16)
    {
        const auto file = folder / name;
        EXPECT_TRUE (TestHelpers::writeWav (file, samples, rate, channels, bits));
        return file;
    }

    // A file made by sox from a sine; the format follows the name's ending and the options.
    juce::File sox (const juce::String& name, const juce::StringArray& formatOptions, double seconds = 0.5)
    {
        const auto file = folder / name;
        juce::StringArray args { "sox", "-n" };
        args.addArray (formatOptions);
        args.addArray ({ file.getFullPathName(), "synth", juce::String (seconds), "sine", "440" });
        EXPECT_EQ (TestHelpers::runTool (args), 0) << args.joinIntoString (" ");
        return file;
    }

    juce::File flac (const juce::String& name, const juce::File& source)
    {
        const auto file = folder / name;
        EXPECT_EQ (TestHelpers::runTool ({ "flac", "-s", "-f", "-o", file.getFullPathName(), source.getFullPathName() }),
                   0);
        return file;
    }

    juce::File truncated (const juce::File& source, const juce::String& name, juce::int64 bytesRemoved)
    {
        juce::MemoryBlock data;
        source.loadFileAsData (data);
        const auto file = folder / name;
        file.replaceWithData (data.getData(), data.getSize() - (size_t) bytesRemoved);
        return file;
    }

    // Adds the file at the end of the disc; returns the row after it.
    int add (const juce::File& file)
    {
        int row = disc.getItemSize();
        disc.addAudioFile (file, row);
        return row;
    }

    TempFolder folder;
    CDItem disc;
    ScriptedUserInteraction ui;
};

TEST_F (AudioFileIntake, AFirstFileBecomesTrackOneWithoutAPause)
{
    const auto row = add (wav ("one.wav", 588 * 100));

    EXPECT_TRUE (ui.getCalls().empty());
    EXPECT_EQ (row, 2);
    ASSERT_EQ (disc.items.size(), 1);
    const auto& item = *disc.items[0];
    EXPECT_EQ (item.trackNumber, 1);
    EXPECT_EQ (item.indexNumber, 1);
    EXPECT_EQ (item.duration.getTimeInFrames(), 100);
    EXPECT_EQ (item.extraSamples, 0);
    EXPECT_EQ (item.indexOffset, 10);
    EXPECT_EQ (item.fileOffset.getTimeInFrames(), 0);
    EXPECT_EQ (item.fileName, "one.wav");
    EXPECT_EQ (item.folder, folder.get().getFullPathName());
}

TEST_F (AudioFileIntake, LaterFilesGetThePauseAndJoinSampleExactly)
{
    int row = disc.getItemSize();
    disc.addAudioFile (wav ("a.wav", 58900), row); // 100 frames and 100 samples
    disc.addAudioFile (wav ("b.wav", 1000), row);

    ASSERT_EQ (disc.items.size(), 3);
    EXPECT_EQ (row, 4);

    const auto& pause = *disc.items[1];
    EXPECT_EQ (pause.trackNumber, 2);
    EXPECT_EQ (pause.indexNumber, 0);
    EXPECT_EQ (pause.duration.getTimeInFrames(), 150);
    EXPECT_TRUE (pause.fileName.isEmpty());
    EXPECT_EQ (pause.indexOffset, 0);

    // The pause carries no samples, so b.wav's own 1000 samples make 1 frame and 412 samples.
    const auto& second = *disc.items[2];
    EXPECT_EQ (second.trackNumber, 2);
    EXPECT_EQ (second.indexOffset, 10);
    EXPECT_EQ (second.duration.getTimeInFrames(), 1);
    EXPECT_EQ (second.extraSamples, 412);
}

TEST_F (AudioFileIntake, WithoutADefaultPauseTheCarryGoesToTheNextFile)
{
    setPauseAndOffset ("0", "10");
    int row = disc.getItemSize();
    disc.addAudioFile (wav ("a.wav", 58900), row);
    disc.addAudioFile (wav ("b.wav", 1000), row);

    ASSERT_EQ (disc.items.size(), 2);
    EXPECT_EQ (disc.items[1]->indexOffset, 0);
    EXPECT_EQ (disc.items[1]->trackNumber, 2);
    EXPECT_EQ (disc.items[1]->duration.getTimeInFrames(), 1); // 100 carried + 1000 = 1100 samples
    EXPECT_EQ (disc.items[1]->extraSamples, 512);
}

TEST_F (AudioFileIntake, FilesInsertedBeforeARowTakeThatRowsTrack)
{
    int row = disc.getItemSize();
    disc.addAudioFile (wav ("a.wav", 588 * 400), row);
    disc.addAudioFile (wav ("c.wav", 588 * 400), row);

    int middle = 2; // the pause of track 2
    disc.addAudioFile (wav ("b.wav", 588 * 400), middle);

    ASSERT_EQ (disc.items.size(), 5);
    EXPECT_EQ (middle, 4);
    EXPECT_EQ (disc.items[1]->trackNumber, 2);
    EXPECT_EQ (disc.items[2]->fileName, "b.wav");
    EXPECT_EQ (disc.items[4]->fileName, "c.wav");
}

struct FormatCase
{
    const char* name;
    std::function<juce::File (AudioFileIntake&)> make;
    const char* expectedMessage; // empty: accepted
};

class AudioFileFormats : public AudioFileIntake, public ::testing::WithParamInterface<int>
{
};

std::vector<FormatCase> formatCases()
{
    using F = AudioFileIntake;
    return {
        { "upper-case ending", [] (F& t) { return t.wav ("TRACK.WAV", 5000); }, "" },
        { "AIFF by sox", [] (F& t) { return t.sox ("s.aiff", { "-r", "44100", "-b", "16", "-c", "2" }); }, "" },
        { "AIF by sox", [] (F& t) { return t.sox ("s.aif", { "-r", "44100", "-b", "16", "-c", "2" }); }, "" },
        { "AIFC by sox", [] (F& t) { return t.sox ("s.aifc", { "-r", "44100", "-b", "16", "-c", "2" }); }, "" },
        { "stereo FLAC", [] (F& t) { return t.flac ("s.flac", t.wav ("s.wav", 30000)); }, "" },
        { "mono FLAC", [] (F& t) { return t.flac ("m.flac", t.wav ("m.wav", 30000, 44100.0, 1)); }, "" },
        { "mono WAV", [] (F& t) { return t.wav ("m.wav", 3000, 44100.0, 1); },
          "File m.wav is not a valid wave file, invalid number of channels." },
        { "mono AIFF", [] (F& t) { return t.sox ("m.aiff", { "-r", "44100", "-b", "16", "-c", "1" }); },
          "File m.aiff is not a valid aif file, invalid number of channels." },
        { "48 kHz WAV", [] (F& t) { return t.wav ("h.wav", 3000, 48000.0); },
          "File h.wav is not a valid wave file, invalid samplerate." },
        { "48 kHz AIFF", [] (F& t) { return t.sox ("h.aiff", { "-r", "48000", "-b", "16", "-c", "2" }); },
          "File h.aiff is not a valid aif file, invalid samplerate." },
        { "48 kHz FLAC", [] (F& t) { return t.flac ("h.flac", t.wav ("h.wav", 3000, 48000.0)); },
          "The file h.flac has an invalid sample rate. All files must have a sample rate of 44.1KHz." },
        { "24-bit WAV", [] (F& t) { return t.wav ("d.wav", 3000, 44100.0, 2, 24); },
          "File d.wav is not a valid wave file, invalid number of bits per sample." },
        { "32-bit float WAV", [] (F& t) { return t.sox ("f.wav", { "-r", "44100", "-e", "floating-point", "-b", "32", "-c", "2" }); },
          "File f.wav is not a valid wave file, invalid number of bits per sample." },
        { "24-bit AIFF", [] (F& t) { return t.sox ("d.aiff", { "-r", "44100", "-b", "24", "-c", "2" }); },
          "File d.aiff is not a valid aif file, invalid number of bits per sample." },
        { "24-bit FLAC", [] (F& t) { return t.flac ("d.flac", t.wav ("d.wav", 3000, 44100.0, 2, 24)); },
          "File d.flac is not a valid flac file, invalid number of bits per sample." },
        { "6 channels FLAC", [] (F& t) { return t.sox ("c.flac", { "-r", "44100", "-b", "16", "-c", "6" }); },
          "File c.flac is not a valid flac file, invalid number of channels." },
        { "random bytes behind a .wav name",
          [] (F& t)
          {
              auto file = t.folder / "noise.wav";
              juce::MemoryBlock bytes (5000);
              juce::Random (7).fillBitsRandomly (bytes.getData(), bytes.getSize());
              file.replaceWithData (bytes.getData(), bytes.getSize());
              return file;
          },
          "Error opening file: noise.wav." },
        { "FLAC data behind a .wav name",
          [] (F& t)
          {
              auto file = t.folder / "fake.wav";
              t.flac ("real.flac", t.wav ("x.wav", 3000)).copyFileTo (file);
              return file;
          },
          "Error opening file: fake.wav." },
        { "empty file", [] (F& t) { auto file = t.folder / "empty.aiff"; file.create(); return file; },
          "Error opening file: empty.aiff." },
        { "missing file", [] (F& t) { return t.folder / "gone.flac"; }, "Error opening file: gone.flac." },
        { "truncated WAV", [] (F& t) { return t.truncated (t.wav ("w.wav", 50000), "cut.wav", 1000); },
          "File cut.wav is damaged: it holds less audio than its header announces." },
        { "WAV short by one byte", [] (F& t) { return t.truncated (t.wav ("w.wav", 50000), "cut.wav", 1); },
          "File cut.wav is damaged: it holds less audio than its header announces." },
        { "truncated AIFF",
          [] (F& t) { return t.truncated (t.sox ("a.aiff", { "-r", "44100", "-b", "16", "-c", "2" }), "cut.aiff", 4000); },
          "File cut.aiff is damaged: it holds less audio than its header announces." },
        { "truncated FLAC",
          [] (F& t) { return t.truncated (t.flac ("f.flac", t.wav ("w.wav", 200000)), "cut.flac", 20000); },
          "File cut.flac is damaged: it holds less audio than its header announces." },
        { "no known ending", [] (F& t) { return t.wav ("song.mp3", 3000); },
          "File song.mp3 can not be added: only WAV, AIFF and FLAC files can be used." },
    };
}

TEST_P (AudioFileFormats, AreAcceptedOrRefusedWithTheirMessage)
{
    const auto cases = formatCases();
    const auto& c = cases[(size_t) GetParam()];
    SCOPED_TRACE (c.name);

    const auto file = c.make (*this);
    ui.clear();
    int row = 1;
    disc.addAudioFile (file, row);

    if (juce::String (c.expectedMessage).isEmpty())
    {
        EXPECT_TRUE (ui.getCalls().empty()) << ui.getSummaries().joinIntoString ("\n");
        EXPECT_EQ (disc.items.size(), 1);
        EXPECT_EQ (row, 2);
        return;
    }

    const auto calls = ui.getCalls();
    ASSERT_EQ (calls.size(), 1u);
    EXPECT_EQ (calls[0].icon, MessageIcon::warning);
    EXPECT_EQ (calls[0].title, "Error!");
    EXPECT_EQ (calls[0].text, c.expectedMessage);
    EXPECT_EQ (calls[0].buttons, juce::StringArray ("OK"));
    EXPECT_TRUE (disc.items.isEmpty());
    EXPECT_EQ (row, 1);
}

INSTANTIATE_TEST_SUITE_P (Cases, AudioFileFormats, ::testing::Range (0, (int) formatCases().size()),
                          [] (const ::testing::TestParamInfo<int>& param)
                          {
                              auto name = juce::String (formatCases()[(size_t) param.param].name);
                              return name.retainCharacters ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")
                                  .toStdString();
                          });

TEST_F (AudioFileIntake, AFlacLengthComesFromTheEncoder)
{
    // 30000 samples of 16-bit stereo, decoded by JUCE from flac's own encoding.
    add (flac ("s.flac", wav ("s.wav", 30000)));
    ASSERT_EQ (disc.items.size(), 1);
    EXPECT_EQ (disc.items[0]->duration.getTimeInFrames() * 588 + disc.items[0]->extraSamples, 30000);
}
} // namespace
