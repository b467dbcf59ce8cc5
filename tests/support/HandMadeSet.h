#pragma once

#include "support/DiscFixtures.h"

#include <juce_cryptography/juce_cryptography.h>

#include <vector>

// A DDP file set written by hand, record by record, with plain texts enciphered under the run's key.
class HandMadeSet
{
public:
    HandMadeSet (const juce::File& setFolder, const juce::BlowFish& runCipher);

    struct MapEntry
    {
        juce::String type = "D0", length, start, subcode = juce::String::repeatedString (" ", 8), mode = "DA",
                     storage = "7", name, flag = " ";
    };

    HandMadeSet& id (const juce::String& level, const juce::String& upc = {});

    // An audio image of silent sectors.
    HandMadeSet& image (const juce::String& name, int sectors, int sectorSize = 2352, const juce::String& start = {});

    // A data image in a session of its own (CD mode 10, 2,048-byte sectors) that starts at frame `start`.
    HandMadeSet& dataImage (const juce::String& name, const juce::MemoryBlock& content, int start);

    HandMadeSet& cdText (const juce::String& name, const juce::MemoryBlock& content);

    HandMadeSet& entry (MapEntry e);

    // The control field ("01" audio, "41" data) of the PQ records that follow.
    HandMadeSet& pqControl (const juce::String& control);

    HandMadeSet& pqRecord (const char* track, const char* index, const juce::String& mmssff,
                           const juce::String& isrc = {}, const juce::String& upc = {});

    // Writes the control files; the PQ entry is listed after the images.
    void write (bool listPQ = true);

    juce::String idName = "DDPID", mapName = "DDPMS";

private:
    static juce::String record (const MapEntry& e);

    juce::File folder;
    const juce::BlowFish& cipher;
    juce::String idText, pqText, control = "01";
    std::vector<MapEntry> entries;
};

// A frame count as the PQ descriptor spells a time: minutes, seconds, frames, two digits each.
juce::String mmssff (int frames);

// An Enhanced CD as a plant receives one: track 1 (its 150-frame pregap and 600 frames) in
// IMAGE01.DAT, the usual 6,750-frame audio lead-out and 4,500-frame data lead-in, then IMAGE02.DAT:
// the data track's 150-sector pregap and the stand-alone ISO image.
namespace EnhancedCD
{
constexpr int audioEnd = 750, dataLeadIn = 7500, dataPregap = 12000, dataStart = 12150;

// A stand-alone ISO 9660 image (Rock Ridge and Joliet) made by xorriso from a small tree of files in
// folder/tree; written to folder/data.iso.
juce::File makeIso (const juce::File& folder);

// Adds the images and the PQ records; the caller writes the set.
void describe (HandMadeSet& set, const juce::File& iso);
} // namespace EnhancedCD
