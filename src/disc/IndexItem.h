#pragma once

#include "disc/CDDuration.h"

// One row of the disc: an index point of a track (index 1 starts the track, 2 to 99 are further
// index points) or a pause (index 0), with the stretch of source audio that fills it.
// A plain record, copied by value.
struct IndexItem
{
    int trackNumber = 0;
    int indexNumber = 0;
    int indexOffset = 0; // frames of digital silence between the index mark and the audio
    CDDuration duration; // whole frames, not counting indexOffset
    int extraSamples = 0; // stereo samples beyond duration, 0 to 587
    CDDuration startTime; // derived by renumbering
    CDDuration fileOffset; // frames into the source (2048-byte sectors for data items)
    juce::String folder;
    juce::String fileName; // empty for a silence item
    juce::String title, performer, songwriter, composer, arranger, message;
    juce::String isrc;

    bool isSilence() const { return fileName.isEmpty(); }

    // folder + separator + fileName
    juce::String getFullPath() const { return folder + juce::File::getSeparatorString() + fileName; }

    // start + indexOffset + duration
    int getEndFrame() const { return startTime.getTimeInFrames() + indexOffset + duration.getTimeInFrames(); }

    bool hasCDText() const
    {
        return title.isNotEmpty() || performer.isNotEmpty() || songwriter.isNotEmpty() || composer.isNotEmpty()
               || arranger.isNotEmpty() || message.isNotEmpty();
    }
};
