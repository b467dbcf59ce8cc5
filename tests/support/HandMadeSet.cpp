#include "support/HandMadeSet.h"

#include "support/IsoTools.h"

namespace
{
juce::String blanks (int n) { return juce::String::repeatedString (" ", n); }

juce::String digits (juce::int64 value, int count) { return juce::String (value).paddedLeft ('0', count); }
} // namespace

HandMadeSet::HandMadeSet (const juce::File& setFolder, const juce::BlowFish& runCipher)
    : folder (setFolder), cipher (runCipher)
{
    folder.createDirectory();
}

HandMadeSet& HandMadeSet::id (const juce::String& level, const juce::String& upc)
{
    idText = (level + upc.paddedLeft (' ', 13)).paddedRight (' ', 128);
    return *this;
}

HandMadeSet& HandMadeSet::image (const juce::String& name, int sectors, int sectorSize, const juce::String& start)
{
    MapEntry e;
    e.length = digits (sectors, 8);
    e.start = start;
    e.name = name;
    entries.push_back (e);
    const juce::MemoryBlock zeros ((size_t) (sectors * sectorSize), true);
    folder.getChildFile (name).replaceWithData (zeros.getData(), zeros.getSize());
    return *this;
}

HandMadeSet& HandMadeSet::dataImage (const juce::String& name, const juce::MemoryBlock& content, int start)
{
    MapEntry e;
    e.length = digits ((juce::int64) content.getSize() / 2048, 8);
    e.start = digits (start, 8);
    e.mode = "10";
    e.storage = "0";
    e.name = name;
    e.flag = "S";
    entries.push_back (e);
    folder.getChildFile (name).replaceWithData (content.getData(), content.getSize());
    return *this;
}

HandMadeSet& HandMadeSet::cdText (const juce::String& name, const juce::MemoryBlock& content)
{
    MapEntry e;
    e.type = "S0";
    e.length = digits ((juce::int64) content.getSize(), 8);
    e.subcode = "CDTEXT  ";
    e.mode = "  ";
    e.storage = " ";
    e.name = name;
    entries.push_back (e);
    folder.getChildFile (name).replaceWithData (content.getData(), content.getSize());
    return *this;
}

HandMadeSet& HandMadeSet::entry (MapEntry e)
{
    entries.push_back (std::move (e));
    return *this;
}

HandMadeSet& HandMadeSet::pqControl (const juce::String& newControl)
{
    control = newControl;
    return *this;
}

HandMadeSet& HandMadeSet::pqRecord (const char* track, const char* index, const juce::String& time,
                                    const juce::String& isrc, const juce::String& upc)
{
    pqText << "VVVS" << track << index << "  " << time << control << "  " << isrc.paddedLeft (' ', 12)
           << upc.paddedLeft (' ', 13) << blanks (19);
    return *this;
}

void HandMadeSet::write (bool listPQ)
{
    juce::String map;
    for (const auto& e : entries)
        map << record (e);
    if (listPQ)
    {
        MapEntry pqEntry;
        pqEntry.type = "S0";
        pqEntry.length = digits (pqText.length(), 8);
        pqEntry.subcode = "PQ DESCR";
        pqEntry.mode = "  ";
        pqEntry.storage = " ";
        pqEntry.name = "PQDESCR";
        map << record (pqEntry);
    }

    DiscFixtures::encipherInto (folder.getChildFile (idName), idText, cipher);
    DiscFixtures::encipherInto (folder.getChildFile (mapName), map, cipher);
    DiscFixtures::encipherInto (folder.getChildFile ("PQDESCR"), pqText, cipher);
}

juce::String HandMadeSet::record (const MapEntry& e)
{
    return ("VVVM" + e.type + blanks (8) + e.length.paddedRight (' ', 8) + e.start.paddedRight (' ', 8) + e.subcode
            + e.mode + e.storage + blanks (30) + "017" + e.name.paddedRight (' ', 17) + e.flag)
        .paddedRight (' ', 128);
}

juce::String mmssff (int frames)
{
    return digits (frames / (75 * 60), 2) + digits (frames / 75 % 60, 2) + digits (frames % 75, 2);
}

namespace EnhancedCD
{
juce::File makeIso (const juce::File& folder)
{
    const auto tree = folder.getChildFile ("tree");
    tree.getChildFile ("docs/readme.txt").create();
    tree.getChildFile ("docs/readme.txt").replaceWithText ("Bonus material of the Enhanced CD.");
    tree.getChildFile ("video/clip.bin").create();

    juce::MemoryBlock clip ((size_t) 150000);
    juce::Random (7).fillBitsRandomly (clip.getData(), clip.getSize());
    tree.getChildFile ("video/clip.bin").replaceWithData (clip.getData(), clip.getSize());

    const auto iso = folder.getChildFile ("data.iso");
    IsoTools::makeImage (IsoTools::xorriso ({ "-R", "-J" }), tree, iso);
    return iso;
}

void describe (HandMadeSet& set, const juce::File& iso)
{
    juce::MemoryBlock data ((size_t) (150 * 2048), true);
    juce::MemoryBlock image;
    iso.loadFileAsData (image);
    data.append (image.getData(), image.getSize());
    const auto dataEnd = dataStart + (int) (image.getSize() / 2048);

    set.id ("DDP 2.00")
        .image ("IMAGE01.DAT", audioEnd)
        .dataImage ("IMAGE02.DAT", data, dataPregap)
        .pqControl ("01")
        .pqRecord ("00", "00", mmssff (0))
        .pqRecord ("01", "00", mmssff (0))
        .pqRecord ("01", "01", mmssff (150))
        .pqRecord ("AA", "01", mmssff (audioEnd))
        .pqControl ("41")
        .pqRecord ("00", "00", mmssff (dataLeadIn))
        .pqRecord ("02", "00", mmssff (dataPregap))
        .pqRecord ("02", "01", mmssff (dataStart))
        .pqRecord ("AA", "01", mmssff (dataEnd))
        .pqRecord ("AA", "01", mmssff (dataEnd));
}
} // namespace EnhancedCD
