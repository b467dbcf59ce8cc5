#include "formats/DDPCipher.h"

#include "support/DiscFixtures.h"
#include "support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

namespace
{
using namespace DiscFixtures;
using TestHelpers::TempFolder;

juce::String blanks (int n)
{
    return juce::String::repeatedString (" ", n);
}

// One PQ record, spelled out field by field.
juce::String pq (const char* track, const char* index, const char* mmssff, const char* control,
                 const juce::String& isrc = {}, const juce::String& upc = {})
{
    return "VVVS" + juce::String (track) + index + "  " + mmssff + control + "  " + isrc.paddedLeft (' ', 12)
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

    juce::String plain (const juce::String& name) { return decipherFile (output.getChildFile (name), *cipher).toString(); }

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
    const auto pqText = pq ("00", "00", "000000", "01") + pq ("01", "00", "000000", "01") + pq ("01", "01", "000200", "01")
                        + pq ("02", "00", "000335", "01") + pq ("02", "01", "000535", "01")
                        + pq ("AA", "01", "000547", "01") + pq ("AA", "01", "000547", "01");
    EXPECT_EQ (plain ("PQDESCR"), pqText);

    const auto pqEntry = "VVVMS0" + blanks (8) + "00000448" + blanks (8) + "PQ DESCR" + blanks (33) + "017"
                         + "PQDESCR          " + blanks (37);
    const auto imageEntry = "VVVMD0" + blanks (8) + "00000422" + "00000000" + blanks (8) + "DA70" + blanks (4)
                            + "0150" + blanks (21) + "017" + "IMAGE.DAT        " + blanks (37);
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
               juce::StringArray ({ "Preparing to write...", "Writing image...", "Writing image...", "Writing PQDESCR...",
                                    "Writing DDPMS...", "Writing DDPID...",
                                    "Calculating MD5 checksums...\r\n\r\n(this can take a while)" }));
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

    for (const auto& c : { OversizedCase { "12345678901234", "", "The MCN/UPC 12345678901234 is longer than 13 digits and does not fit the DDP image." },
                           OversizedCase { "", "USS1Z99000011", "The ISRC USS1Z99000011 of track 1 is longer than 12 characters and does not fit the DDP image." } })
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
