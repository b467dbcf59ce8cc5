#pragma once

#include "disc/CDItem.h"

#include <optional>

// The fixed-width text records of a DDP 2.00 file set: ASCII, no separators, no line ends.
namespace DDPRecords
{
constexpr int pqRecordSize = 64;
constexpr int mapRecordSize = 128;
constexpr int idRecordSize = 128;
constexpr int audioSectorSize = 2352;
constexpr int dataSectorSize = 2048;

inline const juce::String audioImageName = "IMAGE.DAT";
inline const juce::String firstImageName = "IMAGE01.DAT";
inline const juce::String dataImageName = "IMAGE02.DAT";
inline const juce::String pqFileName = "PQDESCR";
inline const juce::String cdTextFileName = "CDTEXT.BIN";
inline const juce::String mapFileName = "DDPMS";
inline const juce::String idFileName = "DDPID";
inline const juce::String checksumFileName = "MD5-Checksum.md5";

// The MCN as it goes into a fixed field: without the hyphens a user may have typed.
juce::String mcnForImage (const juce::String& mcn);

// The first value of the disc that does not fit its field, as a message for the user; empty when
// every value fits.
juce::String findOversizedField (const CDItem& disc);

// The PQ descriptor of the disc, from the start times of its last numbering.
juce::String pqDescriptor (const CDItem& disc);

struct ImageEntry
{
    juce::String fileName;
    juce::int64 sectors = 0;
    int startFrame = 0; // data images: where the data session starts on the disc
};

// The map: the CD-Text entry (only with a CD-Text size), the PQ entry, the audio image entry and
// the data image entry (only with a data session).
juce::String mapText (std::optional<juce::int64> cdTextBytes, juce::int64 pqBytes, const ImageEntry& audioImage,
                      const std::optional<ImageEntry>& dataImage);

juce::String idText (const juce::String& mcn, bool hasDataSession);
} // namespace DDPRecords
