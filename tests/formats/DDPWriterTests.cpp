#include "formats/CDAudioBytes.h"
#include "formats/DDPCipher.h"

#include "support/DiscFixtures.h"
#include "support/HandMadeSet.h"
#include "support/IsoTools.h"
#include "support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

namespace
{
using namespace DiscFixtures;
using TestHelpers::TempFolder;

juce::String blanks (int n) { return juce::String::repeatedString (" ", n); }

// One PQ record, spelled out field by field.
juce::String pq (const char* track, const char* index, const juce::String& time, const char* control,
                 const juce::String& isrc = {}, const juce::String& upc = {})
{
    return "VVVS" + juce::String (track) + index + "  " + time + control + "  " + isrc.paddedLeft (' ', 12)
           + upc.paddedLeft (' ', 13) + blanks (19);
}

class DDPWriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setIntakeDefaults (150, 10);
        output = sources.get().getChildFile ("ddp");
        output.createDirectory();
    }

    void TearDown() override { setIntakeDefaults (150, 10); }

    bool exportDisc (bool withCDText = false)
    {
        return disc.exportDDP (output.getFullPathName(), withCDText, cipher.get());
    }

    juce::String plain (const juce::String& name)
    {
        return decipherFile (output.getChildFile (name), *cipher).toString();
    }

    // Stereo samples of a raw image as 32-bit pairs (left in the low half).
    static std::vector<juce::uint32> readImage (const juce::File& image)
    {
        juce::MemoryBlock data;
        image.loadFileAsData (data);
        std::vector<juce::uint32> samples (data.getSize() / 4);
        std::memcpy (samples.data(), data.getData(), samples.size() * 4);
        return samples;
    }

    static juce::uint32 pair (int left, int right)
    {
        return (juce::uint32) (juce::uint16) left | ((juce::uint32) (juce::uint16) right << 16);
    }

    TempFolder sources;
    juce::File output;
    CDItem disc;
    ScriptedUserInteraction ui;
    std::unique_ptr<juce::BlowFish> cipher = DDPCipher::makeRunCipher();
};

TEST_F (DDPWriterTest, ATwoTrackDiscComesOutSampleAndByteExact)
{
    // a.wav ends 100 samples into a frame; b.wav is 1,000 samples.
    addFiles (disc, { makeWav (sources.get(), "a.wav", 58900, 1), makeWav (sources.get(), "b.wav", 1000, 2) });
    ASSERT_TRUE (exportDisc());
    EXPECT_TRUE (ui.getCalls ("message").empty()) << ui.getSummaries().joinIntoString ("\n");
    EXPECT_EQ (ui.getCalls ("job")[0].title, "Please wait...");

    // The image: 150 frames of pregap, a.wav behind its 10-frame index offset, the pause less the
    // 100 samples a.wav reached into it, b.wav behind its offset, then silence to the frame's end.
    std::vector<juce::uint32> expected;
    const auto silence = [&] (juce::int64 n) { expected.insert (expected.end(), (size_t) n, 0u); };
    const auto audio = [&] (int seed, juce::int64 n)
    {
        for (juce::int64 i = 0; i < n; ++i)
            expected.push_back (pair (sampleOf (seed, i, 0), sampleOf (seed, i, 1)));
    };
    silence (150 * 588);
    silence (10 * 588);
    audio (1, 58900);
    silence (150 * 588 - 100);
    silence (10 * 588);
    audio (2, 1000);
    silence (588 - 412);
    ASSERT_EQ (expected.size(), 422u * 588u);

    const auto image = output.getChildFile ("IMAGE.DAT");
    EXPECT_TRUE (readImage (image) == expected);

    // Start times: a.wav at 150, the pause at 260, b.wav at 410, the lead-out a frame after 421.
    const auto pqText = pq ("00", "00", "000000", "01") + pq ("01", "00", "000000", "01")
                        + pq ("01", "01", "000200", "01") + pq ("02", "00", "000335", "01")
                        + pq ("02", "01", "000535", "01") + pq ("AA", "01", "000547", "01")
                        + pq ("AA", "01", "000547", "01");
    EXPECT_EQ (plain ("PQDESCR"), pqText);

    const auto pqEntry = "VVVMS0" + blanks (8) + "00000448" + blanks (8) + "PQ DESCR" + blanks (33) + "017"
                         + "PQDESCR          " + blanks (37);
    const auto imageEntry = "VVVMD0" + blanks (8) + "00000422" + "00000000" + blanks (8) + "DA70" + blanks (4) + "0150"
                            + blanks (21) + "017" + "IMAGE.DAT        " + blanks (37);
    EXPECT_EQ (plain ("DDPMS"), pqEntry + imageEntry);
    EXPECT_EQ (plain ("DDPID"), "DDP 2.00" + blanks (79) + "CD" + blanks (39));

    EXPECT_FALSE (output.getChildFile ("CDTEXT.BIN").exists());
    EXPECT_FALSE (output.getChildFile ("IMAGE01.DAT").exists());

    const auto md5 = output.getChildFile ("MD5-Checksum.md5").loadFileAsString();
    const auto line = [&] (const juce::String& digest, const char* name) { return digest + " *" + name + "\r\n"; };
    EXPECT_EQ (md5, line (md5sum (decipherFile (output.getChildFile ("DDPID"), *cipher)), "DDPID")
                        + line (md5sum (decipherFile (output.getChildFile ("DDPMS"), *cipher)), "DDPMS")
                        + line (md5sum (decipherFile (output.getChildFile ("PQDESCR"), *cipher)), "PQDESCR")
                        + line (md5sum (image), "IMAGE.DAT"));

    EXPECT_EQ (ui.getJobStatuses(),
               juce::StringArray ({ "Preparing to write...", "Writing image...", "Writing image...",
                                    "Writing PQDESCR...", "Writing DDPMS...", "Writing DDPID...",
                                    "Calculating MD5 checksums...\r\n\r\n(this can take a while)" }));
}

juce::String md5Line (const juce::String& digest, const juce::String& name) { return digest + " *" + name + "\r\n"; }

struct CDTextCase
{
    const char* name;
    std::function<void (CDItem&)> edit;
    bool written;
};

TEST_F (DDPWriterTest, CDTextIsListedFirstAndChecksummedLast)
{
    // One track titled "Song" on the album "Album", no genre and no language code: five packs and the
    // closing byte, 91 in all.
    // clang-format off
    const unsigned char albumAndSong[] = {
        0x80, 0x00, 0x00, 0x00, 0x41, 0x6C, 0x62, 0x75, 0x6D, 0x00, 0x53, 0x6F, 0x6E, 0x67, 0x00, 0x00, 0x81, 0xA9,
        0x81, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x24, 0xCB,
        0x8F, 0x00, 0x02, 0x00, 0x00, 0x01, 0x01, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x30, 0xE8,
        0x8F, 0x01, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x04, 0x00, 0x00, 0x00, 0x89, 0xE8,
        0x8F, 0x02, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x3E, 0xE8,
        0x00
    };
    // clang-format on

    const auto pqEntry = "VVVMS0" + blanks (8) + "00000320" + blanks (8) + "PQ DESCR" + blanks (33) + "017"
                         + "PQDESCR          " + blanks (37);
    const auto imageEntry = "VVVMD0" + blanks (8) + "00000560" + "00000000" + blanks (8) + "DA70" + blanks (4) + "0150"
                            + blanks (21) + "017" + "IMAGE.DAT        " + blanks (37);

    for (const auto& c :
         {
             CDTextCase { "album and track title",
                          [] (CDItem& d)
                          {
                              d.title = "Album";
                              d.items[0]->title = "Song";
                          },
                          true },
             // What the disc check needs, but no text: the caller writes no CD-Text.
             CDTextCase { "MCN, ISRC and language only",
                          [] (CDItem& d)
                          {
                              d.mcn = "1234567890128";
                              d.pregapItem->isrc = "USS1Z9900001";
                              d.languageCode = 9;
                          },
                          false },
         })
    {
        SCOPED_TRACE (c.name);
        TempFolder folder;
        const auto out = folder.get();
        CDItem d;
        addFiles (d, { makeWav (sources.get(), "a.wav", 588 * 400, 1) });
        c.edit (d);

        // As the main screen decides it.
        ASSERT_TRUE (d.exportDDP (out.getFullPathName(), d.hasCDText(), cipher.get()));

        const auto cdText = out.getChildFile ("CDTEXT.BIN");
        const auto map = decipherFile (out.getChildFile ("DDPMS"), *cipher).toString();
        const auto md5 = out.getChildFile ("MD5-Checksum.md5").loadFileAsString();

        if (! c.written)
        {
            EXPECT_FALSE (cdText.exists());
            EXPECT_EQ (map, pqEntry + imageEntry);
            EXPECT_FALSE (md5.contains ("CDTEXT"));
            continue;
        }

        EXPECT_EQ (md5sum (cdText), md5sum (juce::MemoryBlock (albumAndSong, sizeof (albumAndSong))));
        const auto cdTextEntry = "VVVMS0" + blanks (8) + "00000091" + blanks (8) + "CDTEXT  " + blanks (17) + "00"
                                 + blanks (14) + "017" + "CDTEXT.BIN       " + blanks (37);
        EXPECT_EQ (map, cdTextEntry + pqEntry + imageEntry);

        const auto lines = juce::StringArray::fromLines (md5.trimEnd());
        EXPECT_EQ (lines.size(), 5);
        EXPECT_EQ (lines[4] + "\r\n", md5Line (md5sum (cdText), "CDTEXT.BIN"));
        EXPECT_TRUE (lines[3].endsWith (" *IMAGE.DAT"));
    }
}

TEST_F (DDPWriterTest, CDTextBeyondOneBlockStopsTheExportAndLeavesNoSet)
{
    addFiles (disc, { makeWav (sources.get(), "a.wav", 588 * 200, 1), makeWav (sources.get(), "b.wav", 588 * 200, 2),
                      makeWav (sources.get(), "c.wav", 588 * 200, 3) });

    // Six kinds of text of 160 characters for the disc and three tracks: 644 bytes, 54 packs per
    // kind, 324 packs in all where one block holds 256.
    const auto full = [] (char c) { return juce::String::repeatedString (juce::String::charToString (c), 160); };
    for (auto* texts :
         { &disc.title, &disc.performer, &disc.songwriter, &disc.composer, &disc.arranger, &disc.message })
        *texts = full ('d');
    for (auto* item : disc.items)
        if (item->indexNumber == 1)
            for (auto* texts : { &item->title, &item->performer, &item->songwriter, &item->composer, &item->arranger,
                                 &item->message })
                *texts = full ('t');

    EXPECT_FALSE (exportDisc (true));
    EXPECT_EQ (ui.getSummaries(),
               juce::StringArray ({ "Error!: Error creating file(s), all generated files will be deleted.",
                                    "Error: Export to DDP finished with an error." }));
    EXPECT_EQ (output.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
}

TEST_F (DDPWriterTest, AnEnhancedCDIsWrittenWithItsDataSessionInPlace)
{
    // The data session comes from a plant's image, the only way one enters a disc.
    const auto iso = EnhancedCD::makeIso (sources / "iso");
    const auto isoSectors = (int) (iso.getSize() / 2048);
    ASSERT_TRUE (IsoTools::isoinfo (iso, 0, "-d").contains ("Volume size is: " + juce::String (isoSectors)));

    HandMadeSet plant (sources / "plant", *cipher);
    EnhancedCD::describe (plant, iso);
    plant.write();
    ASSERT_TRUE (disc.importDDP (sources / "plant", cipher.get()));
    renumber (disc);

    ASSERT_TRUE (exportDisc());
    EXPECT_TRUE (ui.getSummaries().isEmpty()) << ui.getSummaries().joinIntoString ("\n");
    EXPECT_TRUE (ui.getJobStatuses().contains ("Writing IMAGE02.DAT..."));

    EXPECT_FALSE (output.getChildFile ("IMAGE.DAT").exists());
    const auto audio = output.getChildFile ("IMAGE01.DAT"), data = output.getChildFile ("IMAGE02.DAT");
    EXPECT_EQ (md5sum (audio), md5sum (juce::MemoryBlock (750 * 2352, true)));
    EXPECT_EQ (data.getSize(), (150 + isoSectors) * 2048LL);

    EXPECT_EQ (plain ("DDPID"), "DDP 2.00" + blanks (78) + "O" + "CD" + blanks (39));

    // Audio lead-out at 750, the data lead-in 6,750 frames later, the data track's pregap 4,500 after that.
    const auto dataEnd = 12150 + isoSectors;
    const auto pqText = pq ("00", "00", "000000", "01") + pq ("01", "00", "000000", "01")
                        + pq ("01", "01", "000200", "01") + pq ("AA", "01", "001000", "01")
                        + pq ("00", "00", "014000", "41") + pq ("02", "00", "024000", "41")
                        + pq ("02", "01", "024200", "41") + pq ("AA", "01", mmssff (dataEnd), "41")
                        + pq ("AA", "01", mmssff (dataEnd), "41");
    EXPECT_EQ (plain ("PQDESCR"), pqText);

    const auto pqEntry = "VVVMS0" + blanks (8) + "00000576" + blanks (8) + "PQ DESCR" + blanks (33) + "017"
                         + "PQDESCR          " + blanks (37);
    const auto audioEntry = "VVVMD0" + blanks (8) + "00000750" + "00000000" + blanks (8) + "DA70" + blanks (4) + "0150"
                            + blanks (21) + "017" + "IMAGE01.DAT      " + blanks (37);
    const auto dataEntry = "VVVMD0" + blanks (8) + juce::String (150 + isoSectors).paddedLeft ('0', 8) + "00012000"
                           + blanks (8) + "1000" + blanks (4) + " 150" + blanks (21) + "017" + "IMAGE02.DAT      " + "S"
                           + blanks (36);
    EXPECT_EQ (plain ("DDPMS"), pqEntry + audioEntry + dataEntry);

    EXPECT_EQ (output.getChildFile ("MD5-Checksum.md5").loadFileAsString(),
               md5Line (md5sum (decipherFile (output.getChildFile ("DDPID"), *cipher)), "DDPID")
                   + md5Line (md5sum (decipherFile (output.getChildFile ("DDPMS"), *cipher)), "DDPMS")
                   + md5Line (md5sum (decipherFile (output.getChildFile ("PQDESCR"), *cipher)), "PQDESCR")
                   + md5Line (md5sum (audio), "IMAGE01.DAT") + md5Line (md5sum (data), "IMAGE02.DAT"));

    // The pregap is zeros; the image behind it, cut out as its session lies on the disc at sector
    // 12,150 - 150, reads back there with every file intact.
    juce::MemoryBlock written;
    data.loadFileAsData (written);
    EXPECT_EQ (juce::MemoryBlock (written.getData(), 150 * 2048), juce::MemoryBlock (150 * 2048, true));
    const auto session = sources / "session.iso";
    session.replaceWithData ((const char*) written.getData() + 150 * 2048, written.getSize() - 150 * 2048);

    const auto sessionStart = 12000;
    IsoTools::expectSameTree (iso.getSiblingFile ("tree"),
                              IsoTools::extract (sources, session, sessionStart, "any", "rockRidge"));
    IsoTools::expectSameTree (IsoTools::extract (sources, iso, 0, "norock", "jolietAlone"),
                              IsoTools::extract (sources, session, sessionStart, "norock", "jolietSession"));
    for (const auto* names : { "-f -R", "-f -J", "-R -x /docs/readme.txt" })
        EXPECT_EQ (IsoTools::isoinfo (session, sessionStart, names), IsoTools::isoinfo (iso, 0, names)) << names;

    // Read back, the new set gives the same data session.
    CDItem back;
    ASSERT_TRUE (back.importDDP (output, cipher.get()));
    renumber (back);
    ASSERT_EQ (back.dataItems.size(), 2);
    for (int i = 0; i < 2; ++i)
    {
        const auto& a = *back.dataItems[i];
        const auto& b = *disc.dataItems[i];
        EXPECT_EQ (a.trackNumber, b.trackNumber);
        EXPECT_EQ (a.indexNumber, b.indexNumber);
        EXPECT_EQ (a.startTime, b.startTime);
        EXPECT_EQ (a.duration, b.duration);
        EXPECT_EQ (a.fileOffset, b.fileOffset);
        EXPECT_EQ (a.getFullPath(), data.getFullPathName());
    }
    EXPECT_EQ (back.dataItems[1]->duration.getTimeInFrames(), isoSectors);
    EXPECT_EQ (back.audioLeadOut->duration.getTimeInFrames(), 6750);
    EXPECT_EQ (back.dataLeadIn->duration.getTimeInFrames(), 4500);
    EXPECT_EQ (back.discEnd->startTime.getTimeInFrames(), dataEnd);
}

// Where the "data" chunk of a WAV file begins its samples, found by its name.
juce::int64 dataChunkSamples (const juce::File& wav)
{
    juce::MemoryBlock bytes;
    wav.loadFileAsData (bytes);
    const auto* begin = static_cast<const char*> (bytes.getData());
    const char name[] = "data";
    return std::search (begin, begin + bytes.getSize(), name, name + 4) - begin + 8;
}

// The WAV file with an odd-sized chunk of its own (and its padding byte) in front of its samples.
juce::File withChunkBeforeData (const juce::File& wav, const juce::File& target)
{
    juce::MemoryBlock bytes;
    wav.loadFileAsData (bytes);
    const auto data = (size_t) dataChunkSamples (wav) - 8;
    const char chunk[] = { 'n', 'o', 't', 'e', 3, 0, 0, 0, 'a', 'b', 'c', 0 };
    bytes.insert (chunk, sizeof (chunk), data);
    const auto riffSize = (juce::uint32) bytes.getSize() - 8;
    bytes.copyFrom (&riffSize, 4, 4); // little-endian on the machines the tests run on
    target.replaceWithData (bytes.getData(), bytes.getSize());
    return target;
}

struct SourceCase
{
    const char* name;
    std::function<juce::File (const juce::File& wav)> make;
    std::function<juce::int64 (const juce::File& source)> firstSample; // -1: decoded, not copied
};

TEST_F (DDPWriterTest, EverySourceFormatGivesTheSameImage)
{
    const auto convert = [this] (const juce::File& wav, const char* name)
    {
        const auto target = sources / name;
        EXPECT_EQ (TestHelpers::runTool ({ "sox", wav.getFullPathName(), target.getFullPathName() }), 0);
        return target;
    };
    const auto notCopied = [] (const juce::File&) { return (juce::int64) -1; };

    for (const auto& c :
         {
             SourceCase { "WAV", [] (const juce::File& wav) { return wav; }, dataChunkSamples },
             SourceCase { "WAV with a chunk before its samples",
                          [this] (const juce::File& wav) { return withChunkBeforeData (wav, sources / "chunk.wav"); },
                          dataChunkSamples },
             SourceCase { "AIFF", [&] (const juce::File& wav) { return convert (wav, "a.aiff"); }, notCopied },
             SourceCase { "FLAC", [&] (const juce::File& wav) { return convert (wav, "a.flac"); }, notCopied },
         })
    {
        SCOPED_TRACE (c.name);
        const auto source = c.make (makeWav (sources.get(), "a.wav", 588 * 50 + 7, 1));

        std::unique_ptr<juce::AudioFormatReader> reader (disc.formatManager.createReaderFor (source));
        ASSERT_NE (reader, nullptr);
        juce::FileInputStream bytes (source);
        EXPECT_EQ (CDAudioBytes::findFirstSample (bytes, *reader).value_or (-1), c.firstSample (source));

        CDItem d;
        addFiles (d, { source });
        TempFolder folder;
        ASSERT_TRUE (d.exportDDP (folder.get().getFullPathName(), false, cipher.get()));

        // The pregap, the index offset, the source, and silence to the end of its last frame.
        std::vector<juce::uint32> expected ((150 + 10) * 588, 0u);
        for (juce::int64 i = 0; i < 588 * 50 + 7; ++i)
            expected.push_back (pair (sampleOf (1, i, 0), sampleOf (1, i, 1)));
        expected.resize ((150 + 10 + 51) * 588, 0u);
        EXPECT_TRUE (readImage (folder / "IMAGE.DAT") == expected);
    }
}

TEST_F (DDPWriterTest, OnlyTheRunsKeyDeciphersTheControlFiles)
{
    addFiles (disc, { makeWav (sources.get(), "a.wav", 588 * 400, 1) });
    ASSERT_TRUE (exportDisc());

    for (auto name : { "DDPID", "DDPMS", "PQDESCR" })
    {
        juce::MemoryBlock stored;
        output.getChildFile (name).loadFileAsData (stored);
        EXPECT_FALSE (stored.toString().startsWith ("DDP") || stored.toString().startsWith ("VVV")) << name;
    }

    EXPECT_TRUE (plain ("DDPID").startsWith ("DDP 2.00"));
    const juce::BlowFish otherKey ("12345678", 8);
    EXPECT_FALSE (decipherFile (output.getChildFile ("DDPID"), otherKey).toString().startsWith ("DDP 2.00"));
}

TEST_F (DDPWriterTest, McnAndIsrcsFillTheirFieldsExactly)
{
    addFiles (disc, { makeWav (sources.get(), "a.wav", 588 * 400, 1), makeWav (sources.get(), "b.wav", 588 * 400, 2) });
    disc.mcn = "12-34567-89012-8"; // typed with hyphens
    disc.pregapItem->isrc = "USS1Z9900001";
    disc.items[1]->isrc = "USS1Z9900002"; // track 2's pause

    ASSERT_TRUE (exportDisc());

    const auto records = plain ("PQDESCR");
    EXPECT_EQ (records.substring (32, 45), "1234567890128");
    EXPECT_EQ (records.substring (64 + 20, 64 + 32), "USS1Z9900001");
    EXPECT_EQ (records.substring (3 * 64 + 20, 3 * 64 + 32), "USS1Z9900002");
    EXPECT_EQ (records.substring (2 * 64 + 20, 2 * 64 + 32), blanks (12));
    EXPECT_EQ (records.substring (64 + 32, 64 + 45), blanks (13)); // the UPC only in the first record
    EXPECT_EQ (plain ("DDPID").substring (8, 21), "1234567890128");
}

struct OversizedCase
{
    const char* mcn;
    const char* isrc;
    const char* message;
};

TEST_F (DDPWriterTest, ValuesThatDoNotFitTheirFieldsStopTheExport)
{
    addFiles (disc, { makeWav (sources.get(), "a.wav", 588 * 400, 1) });

    for (const auto& c :
         { OversizedCase { "12345678901234", "",
                           "The MCN/UPC 12345678901234 is longer than 13 digits and does not fit the DDP image." },
           OversizedCase {
               "", "USS1Z99000011",
               "The ISRC USS1Z99000011 of track 1 is longer than 12 characters and does not fit the DDP image." } })
    {
        ui.clear();
        disc.mcn = c.mcn;
        disc.items[0]->isrc = c.isrc;
        EXPECT_FALSE (exportDisc());
        EXPECT_EQ (ui.getSummaries(), juce::StringArray ("Error!: " + juce::String (c.message)));
        EXPECT_EQ (output.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    }
}

TEST_F (DDPWriterTest, AFolderThatHoldsFilesIsRefused)
{
    addFiles (disc, { makeWav (sources.get(), "a.wav", 588 * 400, 1) });
    output.getChildFile ("IMAGE.DAT").replaceWithText ("old");

    EXPECT_FALSE (exportDisc());
    EXPECT_EQ (ui.getSummaries(),
               juce::StringArray ("Error!: The DDP image can not be written to " + output.getFullPathName()
                                  + ": the folder must exist and be empty."));
    EXPECT_EQ (output.getChildFile ("IMAGE.DAT").loadFileAsString(), "old");
    EXPECT_TRUE (ui.getCalls ("job").empty());
}

TEST_F (DDPWriterTest, ASourceThatCanNoLongerBeDecodedRemovesEverything)
{
    for (auto damage : { 0, 1 })
    {
        SCOPED_TRACE (damage == 0 ? "replaced by noise" : "cut short");
        CDItem damaged;
        const auto a = makeWav (sources.get(), "a.wav", 588 * 400, 1);
        const auto b = makeWav (sources.get(), "b.wav", 588 * 400, 2);
        addFiles (damaged, { a, b });

        if (damage == 0)
            b.replaceWithText ("this is no longer audio");
        else
            makeWav (sources.get(), "b.wav", 588 * 100, 2);

        ui.clear();
        EXPECT_FALSE (damaged.exportDDP (output.getFullPathName(), false, cipher.get()));
        EXPECT_EQ (ui.getSummaries(),
                   juce::StringArray ({ "Error!: Error writing data.",
                                        "Error!: Error creating file(s), all generated files will be deleted.",
                                        "Error: Export to DDP finished with an error." }));
        EXPECT_EQ (output.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    }
}

TEST_F (DDPWriterTest, DismissingTheWindowLeavesAnEmptyFolder)
{
    addFiles (disc, { makeWav (sources.get(), "a.wav", 588 * 400, 1), makeWav (sources.get(), "b.wav", 588 * 400, 2),
                      makeWav (sources.get(), "c.wav", 588 * 400, 3) });

    ui.dismissJobWhen ([] (const juce::String&, double progress) { return progress > 0.3; });
    EXPECT_FALSE (exportDisc());

    EXPECT_EQ (ui.getSummaries(), juce::StringArray ("Ready: User abort."));
    EXPECT_EQ (ui.getCalls ("message")[0].icon, MessageIcon::warning);
    EXPECT_EQ (output.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
}

TEST_F (DDPWriterTest, AnEmptyDiscIsNoExport)
{
    EXPECT_FALSE (exportDisc());
    EXPECT_EQ (ui.getSummaries(), juce::StringArray ("Error: Export to DDP finished with an error."));
}

TEST_F (DDPWriterTest, AFullDiskEndsInTheCleanUpAndTheErrorOutcome)
{
    addFiles (disc, { makeWav (sources.get(), "a.wav", 588 * 3000, 1) }); // about 7 MB of image
    TestHelpers::SmallDisk disk (sources.get().getChildFile ("small"), 1024);
    if (! disk.mounted)
        GTEST_SKIP() << "this machine does not let the tests mount a small file system";

    EXPECT_FALSE (disc.exportDDP (disk.folder.getFullPathName(), false, cipher.get()));
    EXPECT_EQ (ui.getSummaries(),
               juce::StringArray ({ "Error!: Error writing data.",
                                    "Error!: Error creating file(s), all generated files will be deleted.",
                                    "Error: Export to DDP finished with an error." }));
    EXPECT_EQ (disk.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
}
} // namespace
