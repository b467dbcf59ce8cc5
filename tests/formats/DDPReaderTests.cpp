#include "formats/DDPCipher.h"

#include "support/DiscFixtures.h"
#include "support/HandMadeSet.h"
#include "support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

namespace
{
using namespace DiscFixtures;
using TestHelpers::TempFolder;

struct ItemView
{
    int track, index, duration, fileOffset;
    juce::String fileName, isrc;

    bool operator== (const ItemView& o) const
    {
        return track == o.track && index == o.index && duration == o.duration && fileOffset == o.fileOffset
               && fileName == o.fileName && isrc == o.isrc;
    }
};

std::ostream& operator<< (std::ostream& os, const ItemView& v)
{
    return os << "(" << v.track << "," << v.index << " len " << v.duration << " at " << v.fileOffset << " "
              << v.fileName << " " << v.isrc << ")";
}

std::vector<ItemView> view (const juce::Array<IndexItem*>& items)
{
    std::vector<ItemView> result;
    for (const auto* i : items)
        result.push_back ({ i->trackNumber, i->indexNumber, i->duration.getTimeInFrames(),
                            i->fileOffset.getTimeInFrames(), i->fileName, i->isrc });
    return result;
}

class DDPReaderTest : public ::testing::Test
{
protected:
    void SetUp() override { setIntakeDefaults (150, 10); }

    bool read (const juce::File& setFolder) { return disc.importDDP (setFolder, cipher.get()); }

    TempFolder folder;
    juce::File set = folder / "set";
    CDItem disc;
    ScriptedUserInteraction ui;
    std::unique_ptr<juce::BlowFish> cipher = DDPCipher::makeRunCipher();
    HandMadeSet made { set, *cipher };
};

// Three tracks from WAV files: one that ends inside a frame, a pause with an ISRC, an index point
// inside track 2, ISRCs and an MCN.
void makeThreeTrackDisc (CDItem& original, const juce::File& sources)
{
    addFiles (original, { makeWav (sources, "a.wav", 58900, 1), makeWav (sources, "b.wav", 588 * 500 + 7, 2),
                          makeWav (sources, "c.wav", 588 * 400, 3) });
    original.mcn = "1234567890128";
    original.pregapItem->isrc = "USS1Z9900001";
    original.items[1]->isrc = "USS1Z9900002";
    original.items[3]->isrc = "USS1Z9900003";
    // An index point inside track 2.
    auto* index2 = original.createItem (*original.items[2]);
    original.items[2]->duration = CDDuration (200);
    original.items[2]->extraSamples = 0;
    index2->indexNumber = 2;
    index2->duration -= CDDuration (200);
    index2->fileOffset = CDDuration (200);
    index2->indexOffset = 0;
    original.items.insert (3, index2);
    renumber (original);
}

// The three-track disc read back: every item now lies in the audio image; an index offset has
// become part of its item.
std::vector<ItemView> threeTrackItems (const juce::String& image)
{
    return { { 1, 1, 110, 150, image, "" }, { 2, 0, 150, 260, image, "USS1Z9900002" }, { 2, 1, 210, 410, image, "" },
             { 2, 2, 300, 620, image, "" }, { 3, 0, 150, 920, image, "USS1Z9900003" }, { 3, 1, 410, 1070, image, "" } };
}

TEST_F (DDPReaderTest, AnExportReadsBackIntoTheSameDisc)
{
    CDItem original;
    makeThreeTrackDisc (original, folder.get());

    set.createDirectory();
    ASSERT_TRUE (original.exportDDP (set.getFullPathName(), false, cipher.get()));
    ASSERT_TRUE (read (set));
    EXPECT_TRUE (ui.getSummaries().isEmpty()) << ui.getSummaries().joinIntoString ("\n");

    EXPECT_EQ (view (disc.items), threeTrackItems ("IMAGE.DAT"));
    EXPECT_EQ (disc.items[0]->folder, set.getFullPathName());
    EXPECT_EQ (disc.mcn, "1234567890128");
    EXPECT_EQ (disc.pregapItem->isrc, "USS1Z9900001");
    EXPECT_TRUE (disc.dataItems.isEmpty());

    // Read back and numbered, the disc runs exactly as long as the original.
    renumber (disc);
    EXPECT_EQ (disc.discEnd->startTime, original.discEnd->startTime);
}

// Every text of the disc and of its tracks, with the genre and language codes.
juce::StringArray textsOf (const CDItem& d)
{
    juce::StringArray texts { d.title,
                              d.performer,
                              d.songwriter,
                              d.composer,
                              d.arranger,
                              d.message,
                              d.identification,
                              juce::String (d.genreCode),
                              juce::String (d.languageCode) };
    for (const auto* item : d.items)
        if (item->indexNumber == 1)
            texts.addArray (
                { item->title, item->performer, item->songwriter, item->composer, item->arranger, item->message });
    return texts;
}

TEST_F (DDPReaderTest, AnEnhancedCDReadsItsDataSession)
{
    const auto iso = EnhancedCD::makeIso (folder / "iso");
    EnhancedCD::describe (made, iso);
    made.write();

    ASSERT_TRUE (read (set));
    EXPECT_TRUE (ui.getSummaries().isEmpty()) << ui.getSummaries().joinIntoString ("\n");

    const auto isoSectors = (int) (iso.getSize() / 2048);
    EXPECT_EQ (view (disc.items), (std::vector<ItemView> { { 1, 1, 600, 150, "IMAGE01.DAT", "" } }));
    EXPECT_EQ (view (disc.dataItems), (std::vector<ItemView> { { 2, 0, 150, 0, "IMAGE02.DAT", "" },
                                                               { 2, 1, isoSectors, 150, "IMAGE02.DAT", "" } }));
    EXPECT_EQ (disc.dataItems[1]->folder, set.getFullPathName());
    EXPECT_EQ (disc.audioLeadOut->duration.getTimeInFrames(), 6750);
    EXPECT_EQ (disc.dataLeadIn->duration.getTimeInFrames(), 4500);
}

TEST_F (DDPReaderTest, EverythingADiscCarriesSurvivesTheRoundTrip)
{
    // A data session enters a disc only from an image: take the one of a plant's Enhanced CD.
    const auto iso = EnhancedCD::makeIso (folder / "iso");
    HandMadeSet plant (folder / "plant", *cipher);
    EnhancedCD::describe (plant, iso);
    plant.write();
    CDItem enhanced;
    ASSERT_TRUE (enhanced.importDDP (folder / "plant", cipher.get()));

    CDItem original;
    makeThreeTrackDisc (original, folder.get());
    for (auto* item : enhanced.dataItems)
        original.dataItems.add (original.createItem (*item));
    original.audioLeadOut->duration = enhanced.audioLeadOut->duration;
    original.dataLeadIn->duration = enhanced.dataLeadIn->duration;

    original.title = "Album";
    original.performer = "The Band";
    original.songwriter = "Writer";
    original.composer = juce::CharPointer_UTF8 ("Compos\xc3\xa9");
    original.arranger = "Arranger";
    original.message = "Thanks";
    original.identification = "ID-42";
    original.genreCode = 7;
    original.languageCode = 9;
    for (int i = 0; i < original.items.size(); ++i)
    {
        auto& item = *original.items[i];
        if (item.indexNumber != 1)
            continue;
        const auto n = juce::String (item.trackNumber);
        item.title = "Title " + n;
        item.performer = "Performer " + n;
        item.songwriter = "Songwriter " + n;
        item.composer = "Composer " + n;
        item.arranger = "Arranger " + n;
        item.message = "Message " + n;
    }
    renumber (original);

    set.createDirectory();
    ASSERT_TRUE (original.exportDDP (set.getFullPathName(), original.hasCDText(), cipher.get()));
    ASSERT_TRUE (read (set));
    EXPECT_TRUE (ui.getSummaries().isEmpty()) << ui.getSummaries().joinIntoString ("\n");
    renumber (disc);

    EXPECT_EQ (view (disc.items), threeTrackItems ("IMAGE01.DAT"));
    EXPECT_EQ (disc.mcn, "1234567890128");
    EXPECT_EQ (disc.pregapItem->isrc, "USS1Z9900001");
    EXPECT_EQ (textsOf (disc), textsOf (original));

    const auto isoSectors = (int) (iso.getSize() / 2048);
    EXPECT_EQ (view (disc.dataItems), (std::vector<ItemView> { { 4, 0, 150, 0, "IMAGE02.DAT", "" },
                                                               { 4, 1, isoSectors, 150, "IMAGE02.DAT", "" } }));
    EXPECT_EQ (disc.audioLeadOut->duration.getTimeInFrames(), 6750);
    EXPECT_EQ (disc.dataLeadIn->duration.getTimeInFrames(), 4500);
    EXPECT_EQ (disc.audioLeadOut->startTime, original.audioLeadOut->startTime);
    EXPECT_EQ (disc.dataLeadOut->startTime, original.dataLeadOut->startTime);
    EXPECT_EQ (disc.discEnd->startTime, original.discEnd->startTime);

    // The disc read back writes the very same set again.
    const auto again = folder / "again";
    again.createDirectory();
    ASSERT_TRUE (disc.exportDDP (again.getFullPathName(), disc.hasCDText(), cipher.get()));
    const auto names = juce::StringArray ({ "IMAGE01.DAT", "IMAGE02.DAT", "CDTEXT.BIN", "MD5-Checksum.md5" });
    for (const auto& name : names)
        EXPECT_EQ (md5sum (again.getChildFile (name)), md5sum (set.getChildFile (name))) << name;
    for (const auto* name : { "DDPID", "DDPMS", "PQDESCR" })
        EXPECT_EQ (decipherFile (again.getChildFile (name), *cipher), decipherFile (set.getChildFile (name), *cipher))
            << name;
    EXPECT_EQ (again.getNumberOfChildFiles (juce::File::findFiles), 7);
}

TEST_F (DDPReaderTest, ACDTextFileThatFailsItsChecksStillLeavesTheImageLoaded)
{
    const unsigned char notAPack[] = { 0x81, 0x00, 0x00, 0x00 };
    made.id ("DDP 2.00")
        .cdText ("CDTEXT.BIN", juce::MemoryBlock (notAPack, sizeof (notAPack)))
        .image ("IMAGE.DAT", 600)
        .pqRecord ("00", "00", "000000")
        .pqRecord ("01", "01", "000000")
        .pqRecord ("AA", "01", "000800")
        .write();

    EXPECT_TRUE (read (set));
    EXPECT_EQ (ui.getSummaries(), juce::StringArray ("Error!: Invalid first header in CD-Text file, should be 0x80."));
    EXPECT_EQ (view (disc.items), (std::vector<ItemView> { { 1, 1, 600, 0, "IMAGE.DAT", "" } }));
}

TEST_F (DDPReaderTest, ASetWrittenUnderAnotherKeyIsRefused)
{
    addFiles (disc, { makeWav (folder.get(), "a.wav", 588 * 400, 1) });
    set.createDirectory();
    ASSERT_TRUE (disc.exportDDP (set.getFullPathName(), false, cipher.get()));

    CDItem later;
    juce::BlowFish other ("abcdefgh", 8);
    EXPECT_FALSE (later.importDDP (set, &other));
    EXPECT_EQ (ui.getSummaries(), juce::StringArray ("Error!: This is not a valid DDP 1.00, 1.01 or 2.00 fileset."));
}

TEST_F (DDPReaderTest, OlderLevelsAndLowerCaseControlFilesAreRead)
{
    for (const auto* level : { "DDP 1.00", "DDP 1.01" })
    {
        TempFolder f;
        HandMadeSet old (f / "set", *cipher);
        old.idName = "ddpid";
        old.mapName = "ddpms";
        old.id (level)
            .image ("IMAGE.DAT", 600)
            .pqRecord ("00", "00", "000000")
            .pqRecord ("01", "01", "000000")
            .pqRecord ("AA", "01", "000800")
            .write();

        CDItem d;
        EXPECT_TRUE (d.importDDP (f / "set", cipher.get())) << level;
        ASSERT_EQ (d.items.size(), 1) << level;
        EXPECT_EQ (d.items[0]->duration.getTimeInFrames(), 600);
    }

    made.id ("DDP 3.00").image ("IMAGE.DAT", 600).pqRecord ("AA", "01", "000800").write();
    EXPECT_FALSE (read (set));
    EXPECT_EQ (ui.getSummaries(), juce::StringArray ("Error!: This is not a valid DDP 1.00, 1.01 or 2.00 fileset."));
}

TEST_F (DDPReaderTest, OneImagePerTrackCountsOffsetsFromEachImage)
{
    // IMAGE01.DAT: pregap and track 1 (1,000 frames); IMAGE02.DAT: track 2, whose pause lies in IMAGE01.
    made.id ("DDP 2.00")
        .image ("IMAGE01.DAT", 1150)
        .image ("IMAGE02.DAT", 500)
        .pqRecord ("00", "00", "000000")
        .pqRecord ("01", "00", "000000")
        .pqRecord ("01", "01", "000200")
        .pqRecord ("02", "00", "001400") // 1,050: inside IMAGE01
        .pqRecord ("02", "01", "001525") // 1,150: the start of IMAGE02
        .pqRecord ("AA", "01", "002200")
        .write();

    ASSERT_TRUE (read (set));
    EXPECT_EQ (view (disc.items), (std::vector<ItemView> { { 1, 1, 900, 150, "IMAGE01.DAT", "" },
                                                           { 2, 0, 100, 0, "", "" },
                                                           { 2, 1, 500, 0, "IMAGE02.DAT", "" } }));
    EXPECT_TRUE (disc.items[1]->folder.isEmpty());
}

TEST_F (DDPReaderTest, TrackOnesLongerPregapKeepsItsRest)
{
    made.id ("DDP 2.00")
        .image ("IMAGE.DAT", 800)
        .pqRecord ("00", "00", "000000")
        .pqRecord ("01", "00", "000000")
        .pqRecord ("01", "01", "000250") // 200 frames before index 1
        .pqRecord ("AA", "01", "001000")
        .write();

    ASSERT_TRUE (read (set));
    EXPECT_EQ (view (disc.items),
               (std::vector<ItemView> { { 1, 0, 50, 150, "IMAGE.DAT", "" }, { 1, 1, 550, 200, "IMAGE.DAT", "" } }));
}

TEST_F (DDPReaderTest, MCNsAndLengthsThatDisagreeAreReported)
{
    made.id ("DDP 2.00", "0000000000000")
        .image ("IMAGE.DAT", 600)
        .pqRecord ("00", "00", "000000", {}, "1234567890128")
        .pqRecord ("01", "01", "000000")
        .pqRecord ("AA", "01", "000800")
        .write();
    set.getChildFile ("IMAGE.DAT").appendData (juce::MemoryBlock (2352, true).getData(), 2352); // one sector more

    ASSERT_TRUE (read (set));
    EXPECT_EQ (
        ui.getSummaries(),
        juce::StringArray (
            { "Warning!: File IMAGE.DAT has a different length than as specified in the DDPMS file.",
              "Warning!: Different MCN/UPC found in DDPID and PQDESCR, the value found in the PQDESCR will be used." }));
    EXPECT_EQ (disc.mcn, "1234567890128");
}

struct BrokenSetCase
{
    const char* name;
    std::function<void (HandMadeSet&, const juce::File&)> make;
    const char* message;
};

class BrokenSets : public DDPReaderTest, public ::testing::WithParamInterface<int>
{
};

std::vector<BrokenSetCase> brokenSets()
{
    using Entry = HandMadeSet::MapEntry;
    const auto simplePQ = [] (HandMadeSet& s)
    { s.pqRecord ("00", "00", "000000").pqRecord ("01", "01", "000000").pqRecord ("AA", "01", "000800"); };

    // The audio session of an Enhanced CD and a data image of zeros; the case adds the data session's records.
    const auto enhancedAudio = [] (HandMadeSet& s)
    {
        s.id ("DDP 2.00")
            .image ("IMAGE01.DAT", EnhancedCD::audioEnd)
            .dataImage ("IMAGE02.DAT", juce::MemoryBlock (300 * 2048, true), EnhancedCD::dataPregap)
            .pqRecord ("00", "00", mmssff (0))
            .pqRecord ("01", "01", mmssff (150))
            .pqRecord ("AA", "01", mmssff (EnhancedCD::audioEnd))
            .pqControl ("41");
    };

    return {
        { "no DDPID",
          [] (HandMadeSet& s, const juce::File& f)
          {
              s.id ("DDP 2.00").write();
              f.getChildFile ("DDPID").deleteFile();
          },
          "File not found: DDPID." },
        { "no DDPMS",
          [] (HandMadeSet& s, const juce::File& f)
          {
              s.id ("DDP 2.00").write();
              f.getChildFile ("DDPMS").deleteFile();
          },
          "File not found: DDPMS." },
        { "CD mode 20",
          [] (HandMadeSet& s, const juce::File&)
          {
              Entry e;
              e.length = "00000600";
              e.mode = "20";
              e.name = "IMAGE.DAT";
              s.id ("DDP 2.00").entry (e).write();
          },
          "CD Mode 20 not supported." },
        { "data image on the audio session",
          [simplePQ] (HandMadeSet& s, const juce::File&)
          {
              Entry data;
              data.length = "00000100";
              data.mode = "10";
              data.storage = "0";
              data.name = "IMAGE02.DAT";
              s.id ("DDP 2.00").image ("IMAGE01.DAT", 600).entry (data);
              simplePQ (s);
              s.write();
          },
          "Data image found on same session as audio image." },
        { "unknown subcode",
          [] (HandMadeSet& s, const juce::File&)
          {
              Entry e;
              e.type = "S0";
              e.subcode = "SUBCODES";
              e.length = "00000010";
              s.id ("DDP 2.00").entry (e).write();
          },
          "Invalid SUB identifier SUBCODES in DDPMS file." },
        { "no image",
          [simplePQ] (HandMadeSet& s, const juce::File&)
          {
              s.id ("DDP 2.00");
              simplePQ (s);
              s.write();
          },
          "No data image found in DDPMS file." },
        { "data image first",
          [] (HandMadeSet& s, const juce::File&)
          {
              Entry data;
              data.length = "00000100";
              data.mode = "10";
              data.storage = "0";
              data.flag = "S";
              data.name = "IMAGE01.DAT";
              s.id ("DDP 2.00").entry (data).write();
          },
          "First session is not an audio session." },
        { "image missing",
          [simplePQ] (HandMadeSet& s, const juce::File& f)
          {
              s.id ("DDP 2.00").image ("IMAGE.DAT", 600);
              simplePQ (s);
              s.write();
              f.getChildFile ("IMAGE.DAT").deleteFile();
          },
          "Invalid or non-existing image file IMAGE.DAT." },
        { "a name that leads out of the folder",
          [simplePQ] (HandMadeSet& s, const juce::File& f)
          {
              Entry pqEntry;
              pqEntry.type = "S0";
              pqEntry.length = "00000192";
              pqEntry.subcode = "PQ DESCR";
              pqEntry.mode = "  ";
              pqEntry.storage = " ";
              pqEntry.name = "../PQDESCR";
              s.id ("DDP 2.00").image ("IMAGE.DAT", 600).entry (pqEntry);
              simplePQ (s);
              s.write (false);
              f.getChildFile ("PQDESCR").moveFileTo (f.getSiblingFile ("PQDESCR"));
          },
          "Invalid or non-existing PQ file ../PQDESCR." },
        { "no PQ entry",
          [simplePQ] (HandMadeSet& s, const juce::File&)
          {
              s.id ("DDP 2.00").image ("IMAGE.DAT", 600);
              simplePQ (s);
              s.write (false);
          },
          "Invalid or non-existing PQ file ." },
        { "CD-Text named but missing",
          [simplePQ] (HandMadeSet& s, const juce::File&)
          {
              Entry text;
              text.type = "S0";
              text.subcode = "CDTEXT  ";
              text.length = "00000091";
              text.mode = "  ";
              text.storage = " ";
              text.name = "CDTEXT.BIN";
              s.id ("DDP 2.00").entry (text).image ("IMAGE.DAT", 600);
              simplePQ (s);
              s.write();
          },
          "Invalid or non-existing CD-Text file CDTEXT.BIN." },
        { "no lead-out",
          [] (HandMadeSet& s, const juce::File&) {
              s.id ("DDP 2.00")
                  .image ("IMAGE.DAT", 600)
                  .pqRecord ("00", "00", "000000")
                  .pqRecord ("01", "01", "000200")
                  .write();
          },
          "No leadout (AA) packet found in PQ descriptor file PQDESCR." },
        { "lead-out first",
          [] (HandMadeSet& s, const juce::File&)
          { s.id ("DDP 2.00").image ("IMAGE.DAT", 600).pqRecord ("AA", "01", "000800").write(); },
          "No audio track found in PQ descriptor file PQDESCR." },
        { "three images for two tracks",
          [] (HandMadeSet& s, const juce::File&)
          {
              s.id ("DDP 2.00")
                  .image ("IMAGE01.DAT", 300)
                  .image ("IMAGE02.DAT", 300)
                  .image ("IMAGE03.DAT", 300)
                  .pqRecord ("00", "00", "000000")
                  .pqRecord ("01", "01", "000000")
                  .pqRecord ("02", "01", "000400")
                  .pqRecord ("AA", "01", "001000")
                  .write();
          },
          "There are more audio image files than audio tracks." },
        { "two images for three tracks",
          [] (HandMadeSet& s, const juce::File&)
          {
              s.id ("DDP 2.00")
                  .image ("IMAGE01.DAT", 300)
                  .image ("IMAGE02.DAT", 300)
                  .pqRecord ("00", "00", "000000")
                  .pqRecord ("01", "01", "000000")
                  .pqRecord ("02", "01", "000400")
                  .pqRecord ("03", "01", "000600")
                  .pqRecord ("AA", "01", "001000")
                  .write();
          },
          "There are more audio tracks than audio image files." },
        { "101 images",
          [] (HandMadeSet& s, const juce::File&)
          {
              s.id ("DDP 2.00");
              for (int i = 0; i < 101; ++i)
                  s.image ("IMAGE" + juce::String (i).paddedLeft ('0', 3) + ".DAT", 1);
              s.pqRecord ("01", "01", "000000").pqRecord ("AA", "01", "000800").write();
          },
          "Too many image files in DDPMS file: at most 100 can be read." },
        { "no data lead-in",
          [enhancedAudio] (HandMadeSet& s, const juce::File&)
          {
              enhancedAudio (s);
              s.pqRecord ("02", "01", mmssff (EnhancedCD::dataStart)).pqRecord ("AA", "01", mmssff (12300)).write();
          },
          "No leadin (00) packet found in data session Enhanced CD." },
        { "no data lead-out",
          [enhancedAudio] (HandMadeSet& s, const juce::File&)
          {
              enhancedAudio (s);
              s.pqRecord ("00", "00", mmssff (EnhancedCD::dataLeadIn))
                  .pqRecord ("02", "01", mmssff (EnhancedCD::dataStart))
                  .write();
          },
          "No leadout (AA) packet found in data session Enhanced CD." },
        { "data track not after the last audio track",
          [enhancedAudio] (HandMadeSet& s, const juce::File&)
          {
              enhancedAudio (s);
              s.pqRecord ("00", "00", mmssff (EnhancedCD::dataLeadIn))
                  .pqRecord ("03", "01", mmssff (EnhancedCD::dataStart))
                  .pqRecord ("AA", "01", mmssff (12300))
                  .write();
          },
          "Invalid number of data tracks found in data session." },
        { "data image without ISO 9660",
          [enhancedAudio] (HandMadeSet& s, const juce::File&)
          {
              enhancedAudio (s);
              s.pqRecord ("00", "00", mmssff (EnhancedCD::dataLeadIn))
                  .pqRecord ("02", "00", mmssff (EnhancedCD::dataPregap))
                  .pqRecord ("02", "01", mmssff (EnhancedCD::dataStart))
                  .pqRecord ("AA", "01", mmssff (12300))
                  .pqRecord ("AA", "01", mmssff (12300))
                  .write();
          },
          "IMAGE02.DAT is not a valid ISO file." },
        { "times running backwards",
          [] (HandMadeSet& s, const juce::File&)
          {
              s.id ("DDP 2.00")
                  .image ("IMAGE.DAT", 600)
                  .pqRecord ("00", "00", "000000")
                  .pqRecord ("01", "01", "000000")
                  .pqRecord ("02", "01", "001000")
                  .pqRecord ("AA", "01", "000800")
                  .write();
          },
          "The times in PQ descriptor file PQDESCR are not in ascending order." },
    };
}

TEST_P (BrokenSets, EndWithTheirMessage)
{
    const auto cases = brokenSets();
    const auto& c = cases[(size_t) GetParam()];
    c.make (made, set);

    EXPECT_FALSE (read (set));
    const auto summaries = ui.getSummaries();
    ASSERT_FALSE (summaries.isEmpty());
    EXPECT_EQ (summaries[summaries.size() - 1], "Error!: " + juce::String (c.message));
}

INSTANTIATE_TEST_SUITE_P (Cases, BrokenSets, ::testing::Range (0, (int) brokenSets().size()),
                          [] (const ::testing::TestParamInfo<int>& param)
                          {
                              return juce::String (brokenSets()[(size_t) param.param].name)
                                  .retainCharacters ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")
                                  .toStdString();
                          });
} // namespace
