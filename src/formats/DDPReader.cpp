#include "formats/DDPReader.h"

#include "formats/DDPCipher.h"
#include "formats/DDPRecords.h"
#include "formats/ISOfile.h"

namespace
{
constexpr int maximumImages = 100;

juce::String field (const char* record, int first, int last)
{
    return juce::String (record + first, (size_t) (last - first + 1));
}

// Two decimal digits read one at a time; a character that is not a digit counts 0.
int twoDigits (const char* text)
{
    const auto digit = [] (char c) { return c >= '0' && c <= '9' ? c - '0' : 0; };
    return digit (text[0]) * 10 + digit (text[1]);
}

int sectorSize (const juce::String& mode, juce::juce_wchar storage)
{
    if (mode == "DA")
        return DDPRecords::audioSectorSize;

    switch (storage)
    {
        case '0':
            return 2048;
        case '1':
            return 2332;
        case '2':
            return 2336;
        case '3':
            return 2340;
        default:
            return 2352;
    }
}
} // namespace

DDPReader::DDPReader (CDItem& discToFill, const juce::File& imageFolder, const juce::BlowFish& runCipher)
    : disc (discToFill), folder (imageFolder), cipher (runCipher), ui (UserInteraction::current())
{
}

juce::File DDPReader::exactFile (const juce::File& imageFolder, const juce::String& name)
{
    // Names come from the image: one with a path in it must not reach files outside the folder.
    const auto isPlainName = name.isNotEmpty() && ! name.containsAnyOf ("/\\") && name != "." && name != "..";
    return isPlainName ? imageFolder.getChildFile (name) : juce::File();
}

juce::File DDPReader::findInFolder (const juce::File& imageFolder, const juce::String& name)
{
    const auto exact = exactFile (imageFolder, name);
    if (exact == juce::File() || exact.existsAsFile())
        return exact;

    // DDP sets come from every kind of system: names match whatever their capitalisation. They are
    // compared as they are, never as patterns.
    juce::File found;
    for (const auto& file : imageFolder.findChildFiles (juce::File::findFiles, false, "*"))
        if (file.getFileName().equalsIgnoreCase (name))
            found = file;

    return found;
}

bool DDPReader::read()
{
    if (! readId() || ! readMap() || ! findFiles())
        return false;

    disc.mcn = idUpc;

    if (! readPQ() || ! buildAudioItems())
        return false;

    if (pqUpc.isNotEmpty())
    {
        if (disc.mcn.isNotEmpty() && disc.mcn != pqUpc)
            ui.showWarning ("Different MCN/UPC found in DDPID and " + pqName + ", the value found in the " + pqName
                            + " will be used.");
        disc.mcn = pqUpc;
    }

    if (dataImageSeen && ! buildDataItems (firstLeadOut))
        return false;

    if (! disc.items.isEmpty())
        disc.pregapItem->isrc = disc.items.getFirst()->isrc;

    fitTrackOnePregap();

    if (cdTextName.isNotEmpty())
        disc.importCDText (cdTextFile.getFullPathName()); // its own messages tell what went wrong

    return true;
}

//==================================================================================================
bool DDPReader::readControlFile (const juce::File& file, juce::MemoryBlock& plain)
{
    juce::FileInputStream in (file);
    if (! in.openedOk())
    {
        ui.showError ("File " + file.getFileName() + " could not be read.");
        return false;
    }

    plain.reset();
    in.readIntoMemoryBlock (plain);
    DDPCipher::decipher (plain, cipher);
    return true;
}

bool DDPReader::readNamedControlFile (const juce::String& name, juce::MemoryBlock& plain)
{
    const auto file = findInFolder (folder, name.toLowerCase());
    if (! file.existsAsFile())
    {
        ui.showError ("File not found: " + name + ".");
        return false;
    }

    return readControlFile (file, plain);
}

bool DDPReader::readId()
{
    juce::MemoryBlock id;
    if (! readNamedControlFile (DDPRecords::idFileName, id))
        return false;

    const auto* text = static_cast<const char*> (id.getData());
    const auto level = id.getSize() >= 8 ? field (text, 0, 7) : juce::String();

    if (level != "DDP 1.00" && level != "DDP 1.01" && level != "DDP 2.00")
    {
        ui.showError ("This is not a valid DDP 1.00, 1.01 or 2.00 fileset.");
        return false;
    }

    if (id.getSize() >= 21)
        idUpc = field (text, 8, 20).trim();
    return true;
}

bool DDPReader::readMap()
{
    juce::MemoryBlock map;
    if (! readNamedControlFile (DDPRecords::mapFileName, map))
        return false;

    const auto* bytes = static_cast<const char*> (map.getData());
    const auto records = map.getSize() / DDPRecords::mapRecordSize; // a partial last record holds no entry

    for (size_t i = 0; i < records; ++i)
    {
        const auto* record = bytes + i * DDPRecords::mapRecordSize;
        const auto type = field (record, 4, 5);
        if (type != "D0" && type != "S0")
            continue;

        const auto descriptor = field (record, 30, 37);
        const auto name = field (record, 74, 90).trim();

        if (descriptor == "        ")
        {
            if (! readImageEntry (record))
                return false;
        }
        else if (descriptor == "PQ DESCR" || descriptor == "CDTEXT  ")
        {
            const auto isPQ = descriptor == "PQ DESCR";
            (isPQ ? pqName : cdTextName) = name;

            const auto exact = exactFile (folder, name);
            if (exact.existsAsFile() && exact.getSize() != field (record, 14, 21).trim().getLargeIntValue())
                ui.showWarning ("File " + name + " has a different length than as specified in the DDPMS file.");
        }
        else
        {
            ui.showError ("Invalid SUB identifier " + descriptor + " in DDPMS file.");
            return false;
        }
    }

    if (images.empty())
    {
        ui.showError ("No data image found in DDPMS file.");
        return false;
    }

    if (! firstImageIsAudio)
    {
        ui.showError ("First session is not an audio session.");
        return false;
    }

    return true;
}

bool DDPReader::readImageEntry (const char* record)
{
    if ((int) images.size() >= maximumImages)
    {
        ui.showError ("Too many image files in DDPMS file: at most " + juce::String (maximumImages) + " can be read.");
        return false;
    }

    const auto length = field (record, 14, 21).trim().getLargeIntValue();
    const auto startText = field (record, 22, 29).trim();
    const auto mode = field (record, 38, 39);
    const auto storage = (juce::juce_wchar) record[40];
    const auto name = field (record, 74, 90).trim();

    images.push_back ({ name, {}, startText.isEmpty() ? runningStart : startText.getLargeIntValue() });
    runningStart += length;

    if (images.size() == 1)
        firstImageIsAudio = mode == "DA";

    if (mode == "10")
    {
        if (record[91] != 'S')
        {
            ui.showError ("Data image found on same session as audio image.");
            return false;
        }
        dataImageSeen = true;
    }
    else if (mode != "DA")
    {
        ui.showError ("CD Mode " + mode + " not supported.");
        return false;
    }

    const auto exact = exactFile (folder, name);
    if (exact.existsAsFile() && exact.getSize() / sectorSize (mode, storage) != length)
        ui.showWarning ("File " + name + " has a different length than as specified in the DDPMS file.");

    return true;
}

bool DDPReader::findFiles()
{
    for (auto& image : images)
    {
        const auto found = findInFolder (folder, image.name);
        if (! found.existsAsFile())
        {
            ui.showError ("Invalid or non-existing image file " + image.name + ".");
            return false;
        }
        image.path = found.getFullPathName();
    }

    pqFile = findInFolder (folder, pqName);
    if (! pqFile.existsAsFile())
    {
        ui.showError ("Invalid or non-existing PQ file " + pqName + ".");
        return false;
    }

    if (cdTextName.isNotEmpty())
    {
        cdTextFile = findInFolder (folder, cdTextName);
        if (! cdTextFile.existsAsFile())
        {
            ui.showError ("Invalid or non-existing CD-Text file " + cdTextName + ".");
            return false;
        }
    }

    return true;
}

//==================================================================================================
DDPReader::PQRecord DDPReader::parsePQRecord (const char* record)
{
    PQRecord r;
    r.head = field (record, 0, 5);
    r.track = twoDigits (record + 4);
    r.index = twoDigits (record + 6);
    r.time = CDDuration (twoDigits (record + 10), twoDigits (record + 12), twoDigits (record + 14));
    r.isrc = field (record, 20, 31).trim();
    r.upc = field (record, 32, 44).trim();
    return r;
}

bool DDPReader::readPQ()
{
    juce::MemoryBlock plain;
    if (! readControlFile (pqFile, plain))
        return false;

    const auto* bytes = static_cast<const char*> (plain.getData());
    for (size_t i = 0; i + DDPRecords::pqRecordSize <= plain.getSize(); i += DDPRecords::pqRecordSize)
        pq.push_back (parsePQRecord (bytes + i));

    for (int i = 0; i < (int) pq.size() && firstLeadOut < 0; ++i)
        if (pq[(size_t) i].head == "VVVSAA")
            firstLeadOut = i;

    if (firstLeadOut < 0)
    {
        ui.showError ("No leadout (AA) packet found in PQ descriptor file " + pqName + ".");
        return false;
    }

    keepPQUpc (pq[(size_t) firstLeadOut]);
    lastTrack = firstLeadOut > 0 ? pq[(size_t) firstLeadOut - 1].track : 0;

    if (lastTrack < 1)
    {
        ui.showError ("No audio track found in PQ descriptor file " + pqName + ".");
        return false;
    }

    const auto imageEntries = (int) images.size();
    const auto audioImages = imageEntries - (dataImageSeen ? 1 : 0);

    if (lastTrack > imageEntries)
    {
        if (audioImages != 1)
        {
            ui.showError ("There are more audio tracks than audio image files.");
            return false;
        }
        imageMode = 1;
    }
    else
    {
        imageMode = audioImages;
    }

    if (lastTrack < imageMode)
    {
        ui.showError ("There are more audio image files than audio tracks.");
        return false;
    }

    return true;
}

void DDPReader::keepPQUpc (const PQRecord& record)
{
    if (record.upc.isNotEmpty())
        pqUpc = record.upc;
}

IndexItem* DDPReader::buildItem (const PQRecord& record, CDDuration nextTime, const ImageEntry& image)
{
    IndexItem item;
    item.trackNumber = record.track;
    item.indexNumber = record.index;
    item.duration = nextTime - record.time;
    item.isrc = record.isrc;

    const auto offset = record.time.getTimeInFrames() - image.start;
    if (offset >= 0)
    {
        const juce::File file (image.path);
        item.folder = file.getParentDirectory().getFullPathName();
        item.fileName = file.getFileName();
        item.fileOffset = CDDuration ((int) offset);
    }

    return disc.createItem (item);
}

bool DDPReader::buildAudioItems()
{
    auto nextTime = pq[(size_t) firstLeadOut].time;
    int current = firstLeadOut - 1;

    for (int track = lastTrack; track >= 1; --track)
    {
        const auto& image = imageMode == 1 ? images.front() : images[(size_t) track - 1];

        for (; current >= 0 && pq[(size_t) current].track == track; --current)
        {
            const auto& record = pq[(size_t) current];
            if (record.time.getTimeInFrames() > nextTime.getTimeInFrames())
            {
                ui.showError ("The times in PQ descriptor file " + pqName + " are not in ascending order.");
                return false;
            }

            disc.items.insert (0, buildItem (record, nextTime, image));
            keepPQUpc (record);
            nextTime = record.time;
        }
    }

    if (current >= 0)
        keepPQUpc (pq[(size_t) current]);

    return true;
}

bool DDPReader::buildDataItems (int leadOut)
{
    const auto leadIn = leadOut + 1;
    if (leadIn >= (int) pq.size() || pq[(size_t) leadIn].head != "VVVS00")
    {
        ui.showError ("No leadin (00) packet found in data session Enhanced CD.");
        return false;
    }

    const auto sessionStart = pq[(size_t) leadIn].time;
    disc.audioLeadOut->duration = sessionStart - pq[(size_t) leadOut].time;

    int dataLeadOut = -1;
    for (int i = leadIn + 1; i < (int) pq.size() && dataLeadOut < 0; ++i)
        if (pq[(size_t) i].head == "VVVSAA")
            dataLeadOut = i;

    if (dataLeadOut < 0)
    {
        ui.showError ("No leadout (AA) packet found in data session Enhanced CD.");
        return false;
    }

    const auto dataTrack = lastTrack + 1;
    if (pq[(size_t) dataLeadOut - 1].track != dataTrack)
    {
        ui.showError ("Invalid number of data tracks found in data session.");
        return false;
    }

    const auto& image = images.back();
    if (ISOfile (image.path).getPrimVDpos() < 0)
    {
        ui.showError (juce::File (image.path).getFileName() + " is not a valid ISO file.");
        return false;
    }

    auto nextTime = pq[(size_t) dataLeadOut].time;
    for (int current = dataLeadOut - 1; current > leadIn && pq[(size_t) current].track == dataTrack; --current)
    {
        const auto& record = pq[(size_t) current];
        if (record.time.getTimeInFrames() > nextTime.getTimeInFrames())
        {
            ui.showError ("The times in PQ descriptor file " + pqName + " are not in ascending order.");
            return false;
        }

        disc.dataItems.insert (0, buildItem (record, nextTime, image));
        nextTime = record.time;
    }

    disc.dataLeadIn->duration = nextTime - sessionStart;
    return true;
}

void DDPReader::fitTrackOnePregap()
{
    if (disc.items.isEmpty() || disc.items.getFirst()->indexNumber != 0)
        return;

    auto* first = disc.items.getFirst();
    if (first->duration.getTimeInFrames() < 151)
    {
        disc.items.remove (0); // the pregap item's 150 frames stand for it
        return;
    }

    first->duration -= CDDuration (150);
    if (first->fileName.isNotEmpty())
        first->fileOffset += CDDuration (150);
}
