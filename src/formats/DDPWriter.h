#pragma once

#include "app/UserInteraction.h"
#include "disc/CDItem.h"
#include "disc/RawAudioFormat.h"
#include "formats/BackgroundMD5.h"

// Writes the disc as a DDP 2.00 file set into an empty folder: the audio image, the data image,
// PQDESCR, CDTEXT.BIN, DDPMS and DDPID (the three control files enciphered with the run's key),
// and the MD5 checksum file. A failed write anywhere, or a stop request, removes every file
// written, so that no incomplete set is ever left looking like a good one.
class DDPWriter
{
public:
    DDPWriter (CDItem& disc, const juce::File& folder, bool writeCDText, const juce::BlowFish& cipher);

    // True when the whole set was written.
    bool write (JobProgress& progress);

private:
    bool writeAudioImage (JobProgress& progress);
    bool writeTrack (int track, RawAudioFormatWriter& image, int& carry);
    bool writeSilence (RawAudioFormatWriter& image, juce::int64 samples);
    bool copySource (const IndexItem& item, RawAudioFormatWriter& image, juce::int64 start, juce::int64 count);
    bool copyBytes (juce::InputStream& in, juce::int64 position, juce::int64 count, RawAudioFormatWriter& image);
    bool writeDataImage (JobProgress& progress);
    bool writeControlFiles (JobProgress& progress);
    bool writeEnciphered (const juce::String& fileName, const juce::String& text);
    bool writeChecksums (JobProgress& progress);
    juce::String digestOf (const juce::File& file);
    void removeWrittenFiles (bool tellUser);

    juce::File fileNamed (const juce::String& name) const { return folder.getChildFile (name); }
    juce::String audioImageName() const;
    bool hasDataSession() const { return ! disc.dataItems.isEmpty(); }

    CDItem& disc;
    const juce::File folder;
    const bool withCDText;
    const juce::BlowFish& cipher;
    const int lastTrack;

    juce::StringPairArray plainDigests; // control file name -> MD5 of its deciphered text
    juce::HeapBlock<int> silence;
    juce::HeapBlock<char> copyBuffer;
    std::unique_ptr<BackgroundMD5> audioImageDigest;
};
