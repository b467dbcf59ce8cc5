#include "formats/ISOfile.h"

#include "support/IsoTools.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>
#include <sys/resource.h>

using namespace IsoTools;
using TestHelpers::TempFolder;

namespace
{
constexpr long long sector = 2048;
constexpr long long pregapSectors = 150;
constexpr long long sessionStart = 18250; // where a data session after some 4 minutes of audio begins

//==============================================================================
// Source trees

void writeText (const juce::File& file, const juce::String& text)
{
    file.getParentDirectory().createDirectory();
    ASSERT_TRUE (file.replaceWithText (text));
}

void writePattern (const juce::File& file, int size, int seed)
{
    juce::MemoryBlock data ((size_t) size);
    juce::Random random (seed);
    random.fillBitsRandomly (data.getData(), data.getSize());
    file.getParentDirectory().createDirectory();
    ASSERT_TRUE (file.replaceWithData (data.getData(), data.getSize()));
}

enum TreeParts
{
    basic = 0,
    longNames = 1, // names and a symlink target too long for one directory record: Rock Ridge "CE"
    deepFolders = 2, // nine levels deep: genisoimage moves the deepest away with Rock Ridge "CL"/"PL"
    largeFile = 4,
    bootImages = 8 // boot.img and efi.img, for El Torito boot catalogs
};

// Nested folders, an empty and a binary file, and a folder of 300 entries whose directory spans
// several sectors.
juce::File makeTree (const TempFolder& temp, int parts)
{
    const auto root = temp / "tree";
    writeText (root.getChildFile ("nested/deeper/deepest/note.txt"), "three levels down");
    writePattern (root.getChildFile ("data.bin"), 70000, 1);
    EXPECT_TRUE (root.getChildFile ("empty.txt").create());

    for (int i = 0; i < 300; ++i)
        writeText (root.getChildFile ("many/entry_" + juce::String (i).paddedLeft ('0', 3) + ".txt"),
                   "entry " + juce::String (i));

    if ((parts & longNames) != 0)
    {
        for (int i = 0; i < 12; ++i)
            writeText (root.getChildFile ("long/" + juce::String (i).paddedLeft ('0', 2)
                                          + juce::String::repeatedString ("_a_long_file_name", 13)),
                       "long " + juce::String (i));

        juce::String target ("/somewhere");
        for (int i = 0; i < 40; ++i)
            target << "/c" << juce::String (i).paddedLeft ('0', 3);
        EXPECT_TRUE (juce::File::createSymbolicLink (root.getChildFile ("long/link"), target, true));
    }

    if ((parts & deepFolders) != 0)
        writeText (root.getChildFile ("d1/d2/d3/d4/d5/d6/d7/d8/d9/deep.txt"), "nine levels down");

    if ((parts & largeFile) != 0)
        writePattern (root.getChildFile ("large.bin"), 3 << 20, 2);

    if ((parts & bootImages) != 0)
    {
        writePattern (root.getChildFile ("boot.img"), 4 * 2048, 4);
        writePattern (root.getChildFile ("efi.img"), 64 * 1024, 5);
    }

    return root;
}

//==============================================================================
// Images

juce::MemoryBlock bytesOf (const juce::File& file)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    return data;
}

juce::MemoryBlock bytesOf (const juce::File& file, long long position, long long count)
{
    juce::MemoryBlock data ((size_t) count);
    EXPECT_TRUE (ISOfile::openReadClose (file, position, (int) count, (unsigned char*) data.getData()));
    return data;
}

void overwrite (const juce::File& file, long long position, std::initializer_list<unsigned char> bytes)
{
    std::vector<unsigned char> data (bytes);
    ASSERT_TRUE (ISOfile::openWriteClose (file, position, (int) data.size(), data.data()));
}

void overwrite733 (const juce::File& file, long long position, long long value)
{
    unsigned char field[8];
    ISOfile::int2hex733 (field, value);
    ASSERT_TRUE (ISOfile::openWriteClose (file, position, 8, field));
}

int byteAt (const juce::File& file, long long position)
{
    unsigned char value = 0;
    EXPECT_TRUE (ISOfile::openReadClose (file, position, 1, &value));
    return value;
}

long long read733 (const juce::File& file, long long position)
{
    const auto field = bytesOf (file, position, 8);
    return ISOfile::hex2int733 ((const unsigned char*) field.getData());
}

void appendZeroSectors (const juce::File& file, long long count)
{
    juce::FileOutputStream out (file);
    ASSERT_TRUE (out.openedOk());
    juce::MemoryBlock zeros ((size_t) sector, true);
    for (long long i = 0; i < count; ++i)
        ASSERT_TRUE (out.write (zeros.getData(), zeros.getSize()));
}

// As the DDP writer builds IMAGE02.DAT: the data track's pregap, then the image.
juce::File placeBehindPregap (const TempFolder& temp, const juce::File& image)
{
    const auto disc = temp / "IMAGE02.DAT";
    appendZeroSectors (disc, pregapSectors);
    ISOfile source (image.getFullPathName());
    EXPECT_TRUE (source.writeISO (disc.getFullPathName(), 0)) << source.getLastError();
    return disc;
}

juce::MemoryBlock imagePart (const juce::File& disc)
{
    const auto all = bytesOf (disc);
    return juce::MemoryBlock ((const char*) all.getData() + pregapSectors * sector,
                              all.getSize() - (size_t) (pregapSectors * sector));
}

// The volume descriptors' dates tell when a tool ran; nothing else may differ.
juce::MemoryBlock withoutVolumeDates (juce::MemoryBlock image)
{
    auto* bytes = (unsigned char*) image.getData();
    for (auto at = 16 * sector; at + sector <= (long long) image.getSize(); at += sector)
    {
        std::fill (bytes + at + 813, bytes + at + 881, (unsigned char) 0);
        if (bytes[at] == 255)
            break;
    }
    return image;
}

// Every offset where the Rock Ridge signature "CE" with its fixed length and version occurs.
std::vector<long long> continuationEntries (const juce::MemoryBlock& image)
{
    std::vector<long long> found;
    const auto* bytes = (const unsigned char*) image.getData();
    for (size_t at = 0; at + 28 <= image.getSize(); ++at)
        if (bytes[at] == 'C' && bytes[at + 1] == 'E' && bytes[at + 2] == 28 && bytes[at + 3] == 1)
            found.push_back ((long long) at);
    return found;
}

//==============================================================================
// Reading back with the tools

// The image part of the file alone, as its session will lie on the disc.
juce::File sessionCopy (const TempFolder& temp, const juce::File& disc, const juce::String& name)
{
    const auto copy = temp / name;
    const auto image = imagePart (disc);
    EXPECT_TRUE (copy.replaceWithData (image.getData(), image.getSize()));
    return copy;
}

// The path table as isoinfo lists it (extents in hexadecimal), each directory's extent moved by `shift`.
juce::StringArray pathTable (const juce::File& image, long long start, long long shift)
{
    juce::StringArray lines;
    for (auto line : juce::StringArray::fromLines (isoinfo (image, start, "-p")))
    {
        auto fields = juce::StringArray::fromTokens (line, true);
        fields.removeEmptyStrings();
        if (fields.size() >= 3 && fields[0].endsWithChar (':'))
            lines.add (fields[0] + " " + fields[1] + " " + juce::String (fields[2].getHexValue64() + shift) + " "
                       + fields[3]);
    }
    return lines;
}

// Where a directory of a stand-alone image lies, as isoinfo lists it ("." comes first).
long long directoryPosition (const juce::File& image, const juce::String& isoPath)
{
    const auto listing = isoinfo (image, 0, "-l");
    EXPECT_TRUE (listing.contains ("Directory listing of " + isoPath));
    return listing.fromFirstOccurrenceOf ("Directory listing of " + isoPath, false, false)
               .fromFirstOccurrenceOf ("[", false, false)
               .getLargeIntValue()
           * sector;
}

// Offsets of the records in one sector of a directory.
std::vector<long long> recordsOfSector (const juce::File& image, long long sectorPosition)
{
    std::vector<long long> records;
    for (long long at = 0; at < sector && byteAt (image, sectorPosition + at) != 0;
         at += byteAt (image, sectorPosition + at))
        records.push_back (sectorPosition + at);
    return records;
}

//==============================================================================
// Temporarily makes writes beyond `bytes` fail, as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit (long long bytes)
    {
        getrlimit (RLIMIT_FSIZE, &before);
        previousHandler = std::signal (SIGXFSZ, SIG_IGN);
        auto limit = before;
        limit.rlim_cur = (rlim_t) bytes;
        setrlimit (RLIMIT_FSIZE, &limit);
    }

    ~FileSizeLimit()
    {
        setrlimit (RLIMIT_FSIZE, &before);
        std::signal (SIGXFSZ, previousHandler);
    }

private:
    rlimit before {};
    void (*previousHandler) (int) = nullptr;
};
// Damages a copy of a good image; moving it must fail for the given reason and leave every byte as it was.
void expectDamagedCopyRefused (const juce::File& pristine, const char* reason,
                               const std::function<void (const juce::File&)>& damage)
{
    TempFolder temp;
    const auto image = temp / "damaged.iso";
    ASSERT_TRUE (pristine.copyFileTo (image));
    damage (image);
    const auto before = bytesOf (image);

    ISOfile iso (image.getFullPathName());
    EXPECT_FALSE (iso.modifyISOoffset (-sessionStart * sector));
    EXPECT_TRUE (iso.getLastError().contains (reason)) << iso.getLastError();
    EXPECT_TRUE (iso.getLastError().contains ("left unchanged")) << iso.getLastError();
    EXPECT_EQ (bytesOf (image), before);
}
} // namespace

//==============================================================================
TEST (ISOfile, NumbersUseTheThreeEncodingsOfTheStandard)
{
    unsigned char both[8], little[4], big[4];

    for (const long long value : { 0LL, 1LL, 18250LL, 0x12345678LL, 0x7fffffffLL })
    {
        ISOfile::int2hex733 (both, value);
        ISOfile::int2hex731 (little, value);
        ISOfile::int2hex732 (big, value);
        EXPECT_EQ (ISOfile::hex2int733 (both), value);
        EXPECT_EQ (ISOfile::hex2int731 (little), value);
        EXPECT_EQ (ISOfile::hex2int732 (big), value);
        EXPECT_EQ (ISOfile::hex2int731 (both), value) << "first half little-endian";
    }

    ISOfile::int2hex733 (both, 0x01020304);
    EXPECT_EQ (std::vector<unsigned char> (both, both + 8), (std::vector<unsigned char> { 4, 3, 2, 1, 1, 2, 3, 4 }));

    // Read as signed 32-bit numbers, and only the big-endian half of both-byte-order numbers.
    const unsigned char allSet[8] = { 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff };
    EXPECT_EQ (ISOfile::hex2int733 (allSet), -1);
    EXPECT_EQ (ISOfile::hex2int732 (allSet + 4), -1);
}

TEST (ISOfile, SingleAccessesReadAndOverwriteOnlyWhatIsThere)
{
    TempFolder temp;
    const auto file = temp / "ten.bin";
    ASSERT_TRUE (file.replaceWithText ("0123456789"));

    unsigned char buffer[6] = { 'x', 'x', 'x', 'x', 'x', 'x' };
    EXPECT_TRUE (ISOfile::openReadClose (file, 4, 6, buffer));
    EXPECT_EQ (std::string ((const char*) buffer, 6), "456789");
    EXPECT_FALSE (ISOfile::openReadClose (file, 7, 6, buffer)) << "short read";
    EXPECT_EQ (std::string ((const char*) buffer, 6), std::string ("789\0\0\0", 6));
    EXPECT_FALSE (ISOfile::openReadClose (temp / "missing.bin", 0, 1, buffer));

    unsigned char text[3] = { 'a', 'b', 'c' };
    EXPECT_TRUE (ISOfile::openWriteClose (file, 7, 3, text));
    EXPECT_EQ (file.loadFileAsString(), "0123456abc");
    EXPECT_FALSE (ISOfile::openWriteClose (file, 8, 3, text)) << "writing would make the file longer";
    EXPECT_FALSE (ISOfile::openWriteClose (temp / "missing.bin", 0, 3, text));
    EXPECT_EQ (file.loadFileAsString(), "0123456abc");
    EXPECT_FALSE ((temp / "missing.bin").exists());
}

TEST (ISOfile, FindsTheImageAloneAndBehindThePregap)
{
    TempFolder temp;
    const auto image = temp / "alone.iso";
    makeImage (xorriso ({ "-R", "-J" }), makeTree (temp, longNames), image);

    ISOfile alone (image.getFullPathName());
    EXPECT_EQ (alone.getPrimVDpos(), 32768);
    EXPECT_EQ (alone.getISOoffset(), 0) << "Rock Ridge lengthens the root's own entry; it is found all the same";
    EXPECT_TRUE (alone.getLastError().isEmpty());

    ISOfile behindPregap (placeBehindPregap (temp, image).getFullPathName());
    EXPECT_EQ (behindPregap.getPrimVDpos(), 339968);
    EXPECT_EQ (behindPregap.getISOoffset(), 0);

    const auto prepared = temp / "prepared.iso";
    makeImage (xorriso ({ "-R", "-J", "-C", "0," + juce::String (sessionStart) }), temp / "tree", prepared);
    EXPECT_EQ (ISOfile (prepared.getFullPathName()).getISOoffset(), sessionStart * sector);

    const auto noise = temp / "noise.bin";
    writePattern (noise, 100000, 3);
    for (const auto& file : { noise, temp / "missing.iso" })
    {
        ISOfile none (file.getFullPathName());
        EXPECT_EQ (none.getPrimVDpos(), -1);
        EXPECT_EQ (none.getISOoffset(), -1);
        EXPECT_TRUE (none.getLastError().contains ("holds no ISO 9660 image")) << none.getLastError();
        EXPECT_FALSE (none.modifyISOoffset (-sessionStart * sector));
        EXPECT_FALSE (none.writeISO ((temp / "out.iso").getFullPathName(), 0));
    }
    EXPECT_FALSE ((temp / "out.iso").exists());
    EXPECT_FALSE ((temp / "missing.iso").exists());
}

TEST (ISOfile, WriteISOAppendsExactlyTheVolumeFromTheGivenOffset)
{
    TempFolder temp;
    const auto image = temp / "alone.iso";
    makeImage (genisoimage ({ "-R" }), makeTree (temp, basic), image);
    const auto volume = bytesOf (image);

    // The image at byte 307,200 of a larger file, with more behind it.
    const auto source = temp / "source.bin";
    appendZeroSectors (source, 150);
    ASSERT_TRUE (source.appendData (volume.getData(), volume.getSize()));
    ASSERT_TRUE (source.appendText ("trailing bytes that are not part of the image"));

    const auto destination = temp / "IMAGE02.DAT";
    ASSERT_TRUE (destination.replaceWithText ("existing"));

    ISOfile iso (source.getFullPathName());
    ASSERT_TRUE (iso.writeISO (destination.getFullPathName(), 307200)) << iso.getLastError();
    EXPECT_TRUE (iso.getLastError().isEmpty());

    auto expected = juce::MemoryBlock ("existing", 8);
    expected.append (volume.getData(), volume.getSize());
    EXPECT_EQ (bytesOf (destination), expected);
}

TEST (ISOfile, WriteISOFailsWithoutLeavingAPartialImage)
{
    TempFolder temp;
    const auto image = temp / "alone.iso";
    makeImage (xorriso ({ "-R" }), makeTree (temp, largeFile), image);
    const auto volume = bytesOf (image);

    const auto truncated = temp / "truncated.iso";
    ASSERT_TRUE (truncated.replaceWithData (volume.getData(), volume.getSize() - 5000));

    const auto destination = temp / "IMAGE02.DAT";
    const juce::String existing ("pregap stand-in");

    struct Case
    {
        const char* name;
        juce::File source, target;
        long long offset;
        const char* reason;
    };

    ASSERT_TRUE (destination.replaceWithText (existing));

    for (const auto& c :
         { Case { "truncated image", truncated, destination, 0, "is incomplete" },
           Case { "no image at that offset", image, destination, 2048, "No ISO 9660 image starts at byte 2048" },
           Case { "negative offset", image, destination, -2048, "No ISO 9660 image starts" },
           Case { "missing source", temp / "missing.iso", destination, 0, "No ISO 9660 image starts" },
           Case { "copy into itself", image, image, 0, "its own file" } })
    {
        ISOfile iso (c.source.getFullPathName());
        EXPECT_FALSE (iso.writeISO (c.target.getFullPathName(), c.offset)) << c.name;
        EXPECT_TRUE (iso.getLastError().contains (c.reason)) << c.name << ": " << iso.getLastError();
    }
    EXPECT_EQ (destination.loadFileAsString(), existing);
    EXPECT_EQ (bytesOf (image), volume);

    ISOfile iso (image.getFullPathName());
    EXPECT_FALSE (iso.writeISO ("/dev/full", 0));
    EXPECT_TRUE (iso.getLastError().contains ("The disk may be full")) << iso.getLastError();

    // The disk fills up in the middle of the copy: what was appended is taken back.
    ASSERT_TRUE (destination.replaceWithText (existing));
    {
        const FileSizeLimit limit (existing.length() + (3 << 19));
        EXPECT_FALSE (iso.writeISO (destination.getFullPathName(), 0));
    }
    EXPECT_TRUE (iso.getLastError().contains ("could not be written")) << iso.getLastError();
    EXPECT_EQ (destination.loadFileAsString(), existing);

    // A destination that did not exist is not left behind.
    const auto fresh = temp / "fresh.iso";
    {
        const FileSizeLimit limit (3 << 19);
        EXPECT_FALSE (iso.writeISO (fresh.getFullPathName(), 0));
    }
    EXPECT_FALSE (fresh.exists());
}

// The tools can make an image for a session that starts at a given sector (-C 0,S). Relocating the
// stand-alone image must give the very same bytes.
TEST (ISOfile, RelocatedImageEqualsTheImageTheToolsMakeForThatSector)
{
    struct Case
    {
        const char* name;
        juce::StringArray command;
        int parts;
    };

    const juce::String prepared = "0," + juce::String (sessionStart);

    for (const auto& c : {
             Case { "xorriso, Rock Ridge with continuation areas and Joliet", xorriso ({ "-R", "-J" }), longNames },
             Case { "genisoimage, Rock Ridge with moved deep folders and Joliet", genisoimage ({ "-R", "-J" }),
                    longNames | deepFolders },
             Case { "genisoimage, plain ISO 9660", genisoimage ({}), basic },
             Case { "genisoimage, ISO 9660:1999 volume descriptor sharing the primary tree",
                    genisoimage ({ "-iso-level", "4", "-R", "-J" }), basic },
             Case { "genisoimage, El Torito catalog with an initial entry and a section",
                    genisoimage ({ "-R", "-J", "-b", "boot.img", "-no-emul-boot", "-boot-load-size", "4",
                                   "-eltorito-alt-boot", "-b", "efi.img", "-no-emul-boot" }),
                    bootImages },
         })
    {
        SCOPED_TRACE (c.name);
        TempFolder temp;
        const auto tree = makeTree (temp, c.parts);
        const auto alone = temp / "alone.iso", again = temp / "again.iso", expected = temp / "expected.iso";

        // Made twice around the prepared one: when both agree, no clock tick changed a date in between.
        // A busy machine may need a few attempts.
        for (int attempt = 0; attempt < 20; ++attempt)
        {
            for (const auto& file : { alone, expected, again })
                file.deleteFile();
            makeImage (c.command, tree, alone);
            auto withStart = c.command;
            withStart.addArray ({ "-C", prepared });
            makeImage (withStart, tree, expected);
            makeImage (c.command, tree, again);
            if (bytesOf (alone) == bytesOf (again))
                break;
        }

        const auto original = bytesOf (alone);
        const auto disc = placeBehindPregap (temp, alone);
        ISOfile iso (disc.getFullPathName());

        ASSERT_TRUE (iso.modifyISOoffset (-sessionStart * sector)) << iso.getLastError();
        EXPECT_TRUE (iso.getLastError().isEmpty());
        EXPECT_EQ (withoutVolumeDates (imagePart (disc)), withoutVolumeDates (bytesOf (expected)));
        EXPECT_EQ (bytesOf (disc, 0, pregapSectors * sector),
                   juce::MemoryBlock ((size_t) (pregapSectors * sector), true));
        EXPECT_EQ (iso.getISOoffset(), sessionStart * sector);

        ASSERT_TRUE (iso.modifyISOoffset (sessionStart * sector)) << iso.getLastError();
        EXPECT_EQ (imagePart (disc), original) << "moved back, the image is as it was";
        EXPECT_EQ (iso.getISOoffset(), 0);
    }
}

TEST (ISOfile, RelocatedImageReadsBackWithEveryFileIntact)
{
    struct Case
    {
        const char* name;
        juce::StringArray command;
        int parts;
    };

    for (const auto& c : {
             Case { "xorriso", xorriso ({ "-R", "-J", "-joliet-long" }), longNames | deepFolders },
             Case { "genisoimage", genisoimage ({ "-R", "-J" }), longNames | deepFolders },
         })
    {
        SCOPED_TRACE (c.name);
        TempFolder temp;
        const auto tree = makeTree (temp, c.parts);
        const auto alone = temp / "alone.iso";
        makeImage (c.command, tree, alone);

        const auto entries = continuationEntries (bytesOf (alone));
        EXPECT_GE (entries.size(), 10u) << "the long names need Rock Ridge continuation areas";

        const auto disc = placeBehindPregap (temp, alone);
        ISOfile iso (disc.getFullPathName());
        ASSERT_TRUE (iso.modifyISOoffset (-sessionStart * sector)) << iso.getLastError();
        const auto session = sessionCopy (temp, disc, "session.iso");

        // Every file under Rock Ridge, Joliet and plain ISO 9660 names, with its bytes.
        expectSameTree (tree, extract (temp, session, sessionStart, "any", "rockRidge"));
        expectSameTree (extract (temp, alone, 0, "norock", "jolietBefore"),
                        extract (temp, session, sessionStart, "norock", "jolietAfter"));
        expectSameTree (extract (temp, alone, 0, "ecma119", "isoBefore"),
                        extract (temp, session, sessionStart, "ecma119", "isoAfter"));

        for (const auto* names : { "-R", "-J", "" })
            EXPECT_EQ (isoinfo (session, sessionStart, juce::String ("-f ") + names),
                       isoinfo (alone, 0, juce::String ("-f ") + names));

        const auto table = pathTable (alone, 0, sessionStart);
        EXPECT_GT (table.size(), 10);
        EXPECT_EQ (pathTable (session, sessionStart, 0), table);
    }
}

TEST (ISOfile, ContinuationEntriesAreSoughtWhereTheSPEntrySays)
{
    TempFolder temp;
    const auto image = temp / "alone.iso";
    makeImage (xorriso ({ "-R" }), makeTree (temp, longNames), image);

    // The root's own entry starts with "SP"; its skip length says how many bytes of every other
    // record's system use area come before the entries. Claim that all of them do.
    const auto root = read733 (image, 32768 + 158) * sector;
    const auto ownEntryLength = byteAt (image, root);
    const auto systemUse = root + 34;
    ASSERT_EQ (bytesOf (image, systemUse, 2), juce::MemoryBlock ("SP", 2));
    overwrite (image, systemUse + 6, { 255 });

    const auto before = bytesOf (image);
    const auto entries = continuationEntries (before);
    const auto inRootsOwnEntry = std::count_if (
        entries.begin(), entries.end(), [&] (long long at) { return at >= root && at < root + ownEntryLength; });
    ASSERT_EQ (inRootsOwnEntry, 1);
    ASSERT_GT (entries.size(), 2u);

    ISOfile iso (image.getFullPathName());
    ASSERT_TRUE (iso.modifyISOoffset (-sessionStart * sector)) << iso.getLastError();

    for (const auto at : entries)
    {
        const auto old = ISOfile::hex2int733 ((const unsigned char*) before.getData() + at + 4);
        const auto expected = at < root + ownEntryLength && at >= root ? old + sessionStart : old;
        EXPECT_EQ (read733 (image, at + 4), expected) << "entry at " << at;
    }
}

TEST (ISOfile, PartitionDescriptorsAndOtherBootSystemsArePassedOver)
{
    struct Case
    {
        const char* name;
        std::initializer_list<unsigned char> header; // the descriptor's first bytes, over the El Torito record
    };

    for (const auto& c : { Case { "partition descriptor", { 3 } },
                           Case { "boot record of another system",
                                  { 0, 'C', 'D', '0', '0', '1', 1, 'O', 'T', 'H', 'E', 'R', ' ', 'S', 'Y', 'S' } } })
    {
        SCOPED_TRACE (c.name);
        TempFolder temp;
        const auto tree = makeTree (temp, bootImages);
        const auto alone = temp / "alone.iso";
        makeImage (genisoimage ({ "-R", "-J", "-b", "boot.img", "-no-emul-boot", "-boot-load-size", "4" }), tree,
                   alone);

        const auto descriptor = bytesOf (alone, 17 * sector, sector);
        ASSERT_TRUE (juce::String ((const char*) descriptor.getData() + 7, 32).startsWith ("EL TORITO "));
        overwrite (alone, 17 * sector, c.header);
        const auto otherDescriptor = bytesOf (alone, 17 * sector, sector);

        const auto disc = placeBehindPregap (temp, alone);
        ISOfile iso (disc.getFullPathName());
        ASSERT_TRUE (iso.modifyISOoffset (-sessionStart * sector)) << iso.getLastError();
        EXPECT_EQ (bytesOf (disc, (pregapSectors + 17) * sector, sector), otherDescriptor);

        const auto session = sessionCopy (temp, disc, "session.iso");
        for (const auto* options : { "-f -R", "-f -J", "-R -x /nested/deeper/deepest/note.txt" })
            EXPECT_EQ (isoinfo (session, sessionStart, options), isoinfo (alone, 0, options)) << options;
        EXPECT_EQ (isoinfo (session, sessionStart, "-R -x /nested/deeper/deepest/note.txt"), "three levels down");
    }
}

// The El Torito lines of xorriso's report on the session that starts at `start`: the catalog's
// sector, and per boot image its path and sector.
struct BootReport
{
    long long catalog = -1;
    std::map<juce::String, long long> images;
};

BootReport elTorito (const juce::File& image, long long start)
{
    BootReport report;
    std::map<juce::String, long long> sectorOf;
    const auto lines =
        juce::StringArray::fromLines (toolOutput ({ "xorriso", "-displacement", juce::String (-start), "-indev",
                                                    image.getFullPathName(), "-report_el_torito", "plain" }));
    for (const auto& line : lines)
    {
        auto fields = juce::StringArray::fromTokens (line.fromFirstOccurrenceOf (":", false, false), true);
        fields.removeEmptyStrings();
        if (line.startsWith ("El Torito catalog ") && ! fields.isEmpty())
            report.catalog = fields[0].getLargeIntValue();
        else if (line.startsWith ("El Torito boot img ") && ! fields.isEmpty())
            sectorOf[fields[0]] = fields[fields.size() - 1].getLargeIntValue();
        else if (line.startsWith ("El Torito img path ") && fields.size() == 2)
            report.images[fields[1]] = sectorOf[fields[0]];
    }
    return report;
}

TEST (ISOfile, ElToritoBootImagesLieWhereTheRelocatedCatalogSays)
{
    TempFolder temp;
    const auto tree = makeTree (temp, bootImages);
    const auto alone = temp / "alone.iso";
    makeImage (xorriso ({ "-R", "-J", "-b", "boot.img", "-no-emul-boot", "-boot-load-size", "4", "-eltorito-alt-boot",
                          "-e", "efi.img", "-no-emul-boot" }),
               tree, alone);

    const auto before = elTorito (alone, 0);
    ASSERT_GT (before.catalog, 16);
    ASSERT_EQ (before.images.size(), 2u);

    const auto disc = placeBehindPregap (temp, alone);
    ISOfile iso (disc.getFullPathName());
    ASSERT_TRUE (iso.modifyISOoffset (-sessionStart * sector)) << iso.getLastError();
    const auto session = sessionCopy (temp, disc, "session.iso");

    // xorriso loads the session where it lies on the disc, and finds the catalog and the images there.
    const auto after = elTorito (session, sessionStart);
    EXPECT_EQ (after.catalog, before.catalog + sessionStart);
    for (const auto& [path, imageSector] : before.images)
    {
        SCOPED_TRACE (path);
        ASSERT_EQ (after.images.count (path), 1u);
        EXPECT_EQ (after.images.at (path), imageSector + sessionStart);

        const auto content = bytesOf (tree.getChildFile (path.substring (1)));
        EXPECT_EQ (bytesOf (session, (after.images.at (path) - sessionStart) * sector, (long long) content.getSize()),
                   content);
    }

    // Every file reads back the same, the catalog aside, whose load addresses moved with the images.
    const auto filesBefore = extract (temp, alone, 0, "any", "before");
    const auto filesAfter = extract (temp, session, sessionStart, "any", "after");
    for (const auto& files : { filesBefore, filesAfter })
        EXPECT_TRUE (files.getChildFile ("boot.catalog").deleteFile());
    expectSameTree (filesBefore, filesAfter);

    ASSERT_TRUE (iso.modifyISOoffset (sessionStart * sector)) << iso.getLastError();
    EXPECT_EQ (imagePart (disc), bytesOf (alone)) << "moved back, the image is as it was";
}

TEST (ISOfile, DamagedBootCatalogsAreRefusedAndLeftUnchanged)
{
    TempFolder source;
    const auto pristine = source / "pristine.iso";
    makeImage (genisoimage ({ "-R", "-b", "boot.img", "-no-emul-boot", "-boot-load-size", "4", "-eltorito-alt-boot",
                              "-b", "efi.img", "-no-emul-boot" }),
               makeTree (source, bootImages), pristine);

    const auto pointer = 17 * sector + 71;
    const auto catalog = ISOfile::hex2int731 ((const unsigned char*) bytesOf (pristine, pointer, 4).getData()) * sector;
    const auto imageEnd = pristine.getSize() / sector;

    struct Case
    {
        const char* name;
        long long position;
        std::vector<unsigned char> bytes;
        const char* reason;
    };

    const auto littleEndian = [] (long long value)
    {
        std::vector<unsigned char> bytes (4);
        ISOfile::int2hex731 (bytes.data(), value);
        return bytes;
    };

    for (const auto& c : {
             Case { "catalog outside the file", pointer, littleEndian (imageEnd + 10), "boot catalog lies outside" },
             Case { "validation entry checksum", catalog + 28, { 0x12 }, "no valid validation entry" },
             Case { "initial entry neither bootable nor not", catalog + 32, { 0x77 }, "entry of its El Torito" },
             Case { "boot image outside the file", catalog + 32 + 8, littleEndian (imageEnd + 10),
                    "a boot image lies outside the file" },
             Case { "section entry outside the file", catalog + 96 + 8, littleEndian (imageEnd),
                    "a boot image lies outside the file" },
             Case { "extension record missing", catalog + 96 + 1, { 0x20 }, "entry of its El Torito" },
         })
    {
        SCOPED_TRACE (c.name);
        expectDamagedCopyRefused (pristine, c.reason,
                                  [&] (const juce::File& image)
                                  {
                                      ASSERT_TRUE (
                                          ISOfile::openWriteClose (image, c.position, (int) c.bytes.size(),
                                                                   const_cast<unsigned char*> (c.bytes.data())));
                                  });
    }
}

TEST (ISOfile, StructuresReachedTwiceAreRewrittenOnce)
{
    TempFolder temp;
    const auto image = temp / "alone.iso";
    makeImage (genisoimage ({ "-R", "-J" }), makeTree (temp, basic), image);

    const auto pvd = 32768LL;
    const auto lTable = ISOfile::hex2int731 ((const unsigned char*) bytesOf (image, pvd + 140, 4).getData());
    const auto root = read733 (image, pvd + 158);
    ASSERT_EQ (bytesOf (image, pvd + 144, 4), juce::MemoryBlock (4, true)) << "no optional L path table";
    ASSERT_EQ (bytesOf (image, pvd + 152, 4), juce::MemoryBlock (4, true)) << "no optional M path table";

    // The optional L path table given as the L path table itself, and a folder that is the root again.
    const auto lTableField = bytesOf (image, pvd + 140, 4);
    ASSERT_TRUE (ISOfile::openWriteClose (image, pvd + 144, 4, (unsigned char*) lTableField.getData()));
    const auto rootEntries = bytesOf (image, root * sector, sector);
    const auto* entries = (const unsigned char*) rootEntries.getData();
    const auto firstChild = root * sector + entries[0] + entries[entries[0]];
    overwrite733 (image, firstChild + 2, root);
    const auto before = bytesOf (image);

    ISOfile iso (image.getFullPathName());
    ASSERT_TRUE (iso.modifyISOoffset (-sessionStart * sector)) << iso.getLastError();

    const auto tables = bytesOf (image, pvd + 140, 16);
    const auto* t = (const unsigned char*) tables.getData();
    EXPECT_EQ (ISOfile::hex2int731 (t), lTable + sessionStart);
    EXPECT_EQ (ISOfile::hex2int731 (t + 4), lTable + sessionStart);
    EXPECT_EQ (ISOfile::hex2int731 (t + 12), 0) << "optional M path table location 0 stays 0";
    EXPECT_EQ (ISOfile::hex2int731 ((const unsigned char*) bytesOf (image, lTable * sector + 2, 4).getData()),
               root + sessionStart);
    EXPECT_EQ (read733 (image, firstChild + 2), root + sessionStart);
    EXPECT_EQ (read733 (image, root * sector + 2), root + sessionStart);

    ASSERT_TRUE (iso.modifyISOoffset (sessionStart * sector)) << iso.getLastError();
    EXPECT_EQ (bytesOf (image), before);
}

TEST (ISOfile, DamagedImagesAreRefusedAndLeftUnchanged)
{
    TempFolder source;
    const auto pristine = source / "pristine.iso";
    makeImage (xorriso ({ "-R", "-J" }), makeTree (source, longNames), pristine);

    const auto pvd = 32768LL;
    const auto root = read733 (pristine, pvd + 158) * sector;
    const auto rootEntries = bytesOf (pristine, root, sector);
    const auto* entries = (const unsigned char*) rootEntries.getData();
    const auto continuation = continuationEntries (bytesOf (pristine)).front();

    // The records after "." and ".." in the root: the first folder and the first file with data.
    long long folder = -1, file = -1;
    for (long long at = entries[0] + entries[entries[0]]; at < sector && entries[at] != 0; at += entries[at])
    {
        const auto isFolder = (entries[at + 25] & 2) != 0;
        if (isFolder && folder < 0)
            folder = root + at;
        if (! isFolder && file < 0 && ISOfile::hex2int733 (entries + at + 10) > 0)
            file = root + at;
    }
    ASSERT_GT (folder, 0);
    ASSERT_GT (file, 0);

    // The first sector of the folder of many entries ends close to its end: a record there can cross it.
    const auto many = directoryPosition (pristine, "/MANY/");
    const auto lastRecord = recordsOfSector (pristine, many).back() - many;
    const auto crossingLength = sector - lastRecord + 2;
    ASSERT_LE (crossingLength, 255);

    const auto terminator = [&]
    {
        auto at = pvd;
        while (byteAt (pristine, at) != 255)
            at += sector;
        return at;
    }();

    struct Case
    {
        const char* name;
        std::function<void (const juce::File&)> damage;
        const char* reason;
    };

    const Case cases[] = {
        { "no terminator",
          [&] (const juce::File& f) {
              overwrite (f, terminator, { 0, 0, 0, 0, 0, 0 });
          },
          "no terminator" },
        { "truncated",
          [&] (const juce::File& f)
          {
              const auto all = bytesOf (pristine);
              ASSERT_TRUE (f.replaceWithData (all.getData(), all.getSize() / 2));
          },
          "lies outside the file" },
        { "record too short", [&] (const juce::File& f) { overwrite (f, folder, { 20 }); }, "record is too short" },
        { "record crossing the sector end",
          [&] (const juce::File& f) { overwrite (f, many + lastRecord, { (unsigned char) crossingLength }); },
          "crosses the end of its sector" },
        { "directory of impossible size", [&] (const juce::File& f) { overwrite733 (f, root + 10, 0x7ffff800); },
          "a directory has an impossible size" },
        { "folder outside the file", [&] (const juce::File& f) { overwrite733 (f, folder + 2, 0x100000); },
          "a directory lies outside the file" },
        { "file data outside the file", [&] (const juce::File& f) { overwrite733 (f, file + 2, 0x100000); },
          "the data of a file lies outside the file" },
        { "halves of an address disagree", [&] (const juce::File& f) { overwrite (f, file + 2, { 0x55 }); },
          "invalid sector address" },
        { "path table of impossible size", [&] (const juce::File& f) { overwrite733 (f, pvd + 132, 0x7ffff800); },
          "a path table has an impossible size" },
        { "path table record cut by the table's size", [&] (const juce::File& f) { overwrite733 (f, pvd + 132, 15); },
          "a path table runs past its end" },
        { "path tables overlapping",
          [&] (const juce::File& f)
          {
              unsigned char location[4];
              ASSERT_TRUE (ISOfile::openReadClose (f, pvd + 140, 4, location));
              ISOfile::int2hex732 (location, ISOfile::hex2int731 (location));
              ASSERT_TRUE (ISOfile::openWriteClose (f, pvd + 152, 4, location));
          },
          "two of its structures overlap" },
        { "continuation area outside the file",
          [&] (const juce::File& f) { overwrite733 (f, continuation + 4, 0x100000); },
          "continuation area lies outside the file" },
        { "root directory not found", [&] (const juce::File& f) { overwrite (f, root + 33, { 7 }); },
          "root directory of the ISO 9660 image" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        expectDamagedCopyRefused (pristine, c.reason, c.damage);
    }
}

TEST (ISOfile, MovesThatWouldTakeAddressesOffTheDiscAreRefused)
{
    TempFolder temp;
    const auto image = temp / "alone.iso";
    makeImage (genisoimage ({ "-R", "-J" }), makeTree (temp, basic), image);
    const auto before = bytesOf (image);

    for (const long long offset : { 1000 * sector, std::numeric_limits<long long>::max(),
                                    std::numeric_limits<long long>::min(), -0x80000000LL * sector })
    {
        ISOfile iso (image.getFullPathName());
        EXPECT_FALSE (iso.modifyISOoffset (offset)) << offset;
        EXPECT_TRUE (iso.getLastError().contains ("would leave the disc")) << iso.getLastError();
        EXPECT_EQ (bytesOf (image), before);
    }
}

// Readers take a zero length byte as the end of the records in that sector and go on with the next.
TEST (ISOfile, AZeroLengthByteEndsTheRecordsOfItsSector)
{
    TempFolder temp;
    const auto image = temp / "alone.iso";
    makeImage (xorriso ({ "-R" }), makeTree (temp, basic), image);

    const auto many = directoryPosition (image, "/MANY/");
    ASSERT_GE (read733 (image, many + 10), 3 * sector);
    const auto firstSector = recordsOfSector (image, many);
    const auto thirdSector = recordsOfSector (image, many + 2 * sector);
    ASSERT_GT (firstSector.size(), 4u);

    overwrite (image, firstSector[3], { 0 });
    overwrite (image, many + sector, { 0 });
    const auto before = bytesOf (image);

    ISOfile iso (image.getFullPathName());
    ASSERT_TRUE (iso.modifyISOoffset (-sessionStart * sector)) << iso.getLastError();

    const auto moved = [&] (long long record) {
        return read733 (image, record + 2)
               != ISOfile::hex2int733 ((const unsigned char*) before.getData() + record + 2);
    };
    EXPECT_TRUE (moved (firstSector[2]));
    EXPECT_FALSE (moved (firstSector[4])) << "after the zero length byte";
    EXPECT_EQ (bytesOf (image, many + sector, sector),
               juce::MemoryBlock ((const char*) before.getData() + many + sector, (size_t) sector))
        << "a sector that starts with a zero length byte";
    for (const auto record : thirdSector)
        EXPECT_TRUE (moved (record));

    ASSERT_TRUE (iso.modifyISOoffset (sessionStart * sector)) << iso.getLastError();
    EXPECT_EQ (bytesOf (image), before);
}

TEST (ISOfile, AFailedWritePutsBackWhatWasAlreadyRewritten)
{
    TempFolder temp;
    const auto image = temp / "alone.iso";
    makeImage (genisoimage ({ "-R", "-J" }), makeTree (temp, basic), image);
    const auto before = bytesOf (image);

    // Writes from the root directory on fail; the volume descriptors and path tables before it are
    // rewritten first and have to be put back.
    const auto root = read733 (image, 32768 + 158) * sector;
    ISOfile iso (image.getFullPathName());
    {
        const FileSizeLimit limit (root);
        EXPECT_FALSE (iso.modifyISOoffset (-sessionStart * sector));
    }
    EXPECT_TRUE (iso.getLastError().contains ("could not be written. It was left unchanged.")) << iso.getLastError();
    EXPECT_EQ (bytesOf (image), before);
}
