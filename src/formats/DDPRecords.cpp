#include "formats/DDPRecords.h"

namespace DDPRecords
{
namespace
{
// A record of blanks whose fields are filled in at their byte positions.
class Record
{
public:
    explicit Record (int size) : text ((size_t) size, ' ') {}

    Record& put (int position, const juce::String& value)
    {
        const auto ascii = value.toStdString();
        jassert ((size_t) position + ascii.size() <= text.size());
        text.replace ((size_t) position, juce::jmin (ascii.size(), text.size() - (size_t) position), ascii);
        return *this;
    }

    Record& putRight (int position, int width, const juce::String& value)
    {
        return put (position, value.paddedLeft (' ', width).substring (0, width));
    }

    juce::String toString() const { return juce::String (text); }

private:
    std::string text;
};

juce::String number (juce::int64 value, int digits)
{
    return juce::String (value).paddedLeft ('0', digits);
}

juce::String time (const CDDuration& t)
{
    return juce::String::formatted ("%02d%02d%02d", t.mins(), t.secs(), t.frms());
}

juce::String pqRecord (const juce::String& track, const juce::String& index, const CDDuration& at,
                       const char* control, const juce::String& isrc, const juce::String& upc = {})
{
    return Record (pqRecordSize)
        .put (0, "VVVS")
        .put (4, track)
        .put (6, index)
        .put (10, time (at))
        .put (16, control)
        .putRight (20, 12, isrc)
        .putRight (32, 13, upc)
        .toString();
}

juce::String pqRecord (const IndexItem& item, const char* control)
{
    return pqRecord (number (item.trackNumber, 2), number (item.indexNumber, 2), item.startTime, control, item.isrc);
}

Record mapRecord (const char* streamType, juce::int64 length, const juce::String& fileName)
{
    Record record (mapRecordSize);
    record.put (0, "VVVM").put (4, streamType).put (14, number (length, 8)).put (71, "017");
    record.put (74, fileName.paddedRight (' ', 17));
    return record;
}
} // namespace

juce::String mcnForImage (const juce::String& mcn)
{
    return mcn.removeCharacters ("-");
}

juce::String findOversizedField (const CDItem& disc)
{
    if (mcnForImage (disc.mcn).length() > 13)
        return "The MCN/UPC " + disc.mcn + " is longer than 13 digits and does not fit the DDP image.";

    juce::Array<const IndexItem*> rows;
    for (int row = 0; row < disc.getItemSize(); ++row)
        rows.add (disc.getItem (row));
    for (const auto* item : disc.dataItems)
        rows.add (item);

    for (const auto* item : rows)
    {
        const auto track = juce::String (item->trackNumber);

        if (item->trackNumber > 99)
            return "Track " + track + " does not fit the DDP image: a disc holds at most 99 tracks, its data track included.";

        if (item->indexNumber > 99)
            return "Track " + track + " does not fit the DDP image: a track holds at most 99 index points.";

        if (item->isrc.length() > 12)
            return "The ISRC " + item->isrc + " of track " + track
                   + " is longer than 12 characters and does not fit the DDP image.";
    }

    return {};
}

juce::String pqDescriptor (const CDItem& disc)
{
    juce::String text;
    const bool dataSession = ! disc.dataItems.isEmpty();

    text << pqRecord ("00", "00", disc.leadIn->startTime, "01", {}, mcnForImage (disc.mcn));

    for (int row = 0; row < disc.getItemSize(); ++row)
    {
        const auto& item = *disc.getItem (row);
        if (row > 0 && item.indexNumber == 0 && item.trackNumber == 1)
            continue; // track 1's pause is the pregap's record

        text << pqRecord (item, "01");
    }

    text << pqRecord ("AA", "01", disc.audioLeadOut->startTime, "01", {});

    if (dataSession)
    {
        text << pqRecord ("00", "00", disc.dataLeadIn->startTime, "41", {});
        for (const auto* item : disc.dataItems)
            text << pqRecord (*item, "41");
        text << pqRecord ("AA", "01", disc.dataLeadOut->startTime, "41", {});
    }

    text << pqRecord ("AA", "01", disc.discEnd->startTime, dataSession ? "41" : "01", {});
    return text;
}

juce::String mapText (std::optional<juce::int64> cdTextBytes, juce::int64 pqBytes, const ImageEntry& audioImage,
                      const std::optional<ImageEntry>& dataImage)
{
    juce::String text;

    if (cdTextBytes.has_value())
        text << mapRecord ("S0", *cdTextBytes, cdTextFileName).put (30, "CDTEXT  ").put (55, "00").toString();

    text << mapRecord ("S0", pqBytes, pqFileName).put (30, "PQ DESCR").toString();

    text << mapRecord ("D0", audioImage.sectors, audioImage.fileName)
                .put (22, number (0, 8))
                .put (38, "DA")
                .put (40, "70")
                .put (46, "0150")
                .toString();

    if (dataImage.has_value())
        text << mapRecord ("D0", dataImage->sectors, dataImage->fileName)
                    .put (22, number (dataImage->startFrame, 8))
                    .put (38, "10")
                    .put (40, "00")
                    .put (46, " 150")
                    .put (91, "S")
                    .toString();

    return text;
}

juce::String idText (const juce::String& mcn, bool hasDataSession)
{
    return Record (idRecordSize)
        .put (0, "DDP 2.00")
        .putRight (8, 13, mcnForImage (mcn))
        .put (86, hasDataSession ? "O" : " ")
        .put (87, "CD")
        .toString();
}
} // namespace DDPRecords
