#pragma once

#include "app/UserInteraction.h"
#include "disc/CDItem.h"

// Reads a DDP 1.00, 1.01 or 2.00 image folder back into a disc: the items with their track and
// index numbers, lengths and places inside the image files, the pauses, ISRCs, MCN, the optional
// data session and the CD-Text. The control files are deciphered with the run's key.
class DDPReader
{
public:
    DDPReader (CDItem& disc, const juce::File& folder, const juce::BlowFish& cipher);

    // False after an error message; the items already built then stay in the lists.
    bool read();

    // A file of the folder by its name, whatever the capitalisation; the exact name first. Nothing
    // for a name that holds a path.
    static juce::File findInFolder (const juce::File& folder, const juce::String& name);

private:
    static juce::File exactFile (const juce::File& folder, const juce::String& name);

    struct ImageEntry
    {
        juce::String name; // as the map gives it
        juce::String path; // once found in the folder
        juce::int64 start = 0; // sectors from the start of the disc
    };

    struct PQRecord
    {
        juce::String head; // bytes 0-5: "VVVS" and the track field
        int track = 0, index = 0;
        CDDuration time;
        juce::String isrc, upc;
    };

    bool readControlFile (const juce::File& file, juce::MemoryBlock& plain);
    bool readNamedControlFile (const juce::String& name, juce::MemoryBlock& plain);
    bool readId();
    bool readMap();
    bool readImageEntry (const char* record);
    bool findFiles();
    bool readPQ();
    bool buildAudioItems();
    bool buildDataItems (int leadOut);
    IndexItem* buildItem (const PQRecord& record, CDDuration nextTime, const ImageEntry& image);
    void keepPQUpc (const PQRecord& record);
    void fitTrackOnePregap();

    static PQRecord parsePQRecord (const char* record);

    CDItem& disc;
    const juce::File folder;
    const juce::BlowFish& cipher;
    UserInteraction& ui;

    juce::String idUpc, pqUpc;
    std::vector<ImageEntry> images;
    juce::int64 runningStart = 0;
    bool firstImageIsAudio = false;
    bool dataImageSeen = false;
    juce::String pqName, cdTextName;
    juce::File pqFile, cdTextFile;
    std::vector<PQRecord> pq;
    int firstLeadOut = -1;
    int lastTrack = 0;
    int imageMode = 1;
};
