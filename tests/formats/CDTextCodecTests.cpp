#include "disc/CDItem.h"
#include "formats/CDTextCodec.h"
#include "support/DiscFixtures.h"
#include "support/ScriptedUserInteraction.h"
#include "support/TestHelpers.h"

#include <boost/crc.hpp>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace
{
using Bytes = std::vector<std::uint8_t>;
namespace PackType = CDText::PackType;

constexpr auto packSize = (std::size_t) CDText::packSize;

Bytes fromHex (const char* hex)
{
    Bytes bytes;
    for (const auto& token : juce::StringArray::fromTokens (hex, " \n", ""))
        if (token.isNotEmpty())
            bytes.push_back ((std::uint8_t) token.getHexValue32());
    return bytes;
}

Bytes readBytes (const juce::File& file)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    const auto* begin = static_cast<const std::uint8_t*> (data.getData());
    return Bytes (begin, begin + data.getSize());
}

void writeBytes (const juce::File& file, const Bytes& bytes)
{
    file.deleteFile();
    file.create();
    file.appendData (bytes.data(), bytes.size());
}

// A file that exists but cannot be opened for reading; none where the tests may read everything.
juce::File unreadableFile (const TestHelpers::TempFolder& temp)
{
    const auto locked = temp / "LOCKED.BIN";
    locked.replaceWithText ("locked");
    chmod (locked.getFullPathName().toRawUTF8(), 0);
    if (! juce::FileInputStream (locked).openedOk())
        return locked;

    // With root's rights, a write-only kernel attribute still refuses to be read.
    const juce::File writeOnly ("/sys/bus/pci/rescan");
    if (writeOnly.existsAsFile() && ! juce::FileInputStream (writeOnly).openedOk())
        return writeOnly;

    return {};
}

// Strings as a pack file carries them: each followed by its terminator.
Bytes strings (std::initializer_list<const char*> texts)
{
    Bytes bytes;
    for (const auto* text : texts)
    {
        bytes.insert (bytes.end(), text, text + std::strlen (text));
        bytes.push_back (0);
    }
    return bytes;
}

Bytes latin1 (const juce::String& text)
{
    Bytes bytes;
    for (auto c : text)
        bytes.push_back ((std::uint8_t) c);
    return bytes;
}

// The packs of a file, without the closing byte.
std::vector<CDText::Pack> packsOf (const Bytes& file)
{
    std::vector<CDText::Pack> packs;
    for (std::size_t start = 0; start + packSize <= file.size(); start += packSize)
    {
        CDText::Pack pack {};
        std::copy_n (file.begin() + (std::ptrdiff_t) start, packSize, pack.begin());
        packs.push_back (pack);
    }
    return packs;
}

std::vector<CDText::Pack> packsOfType (const Bytes& file, std::uint8_t type)
{
    std::vector<CDText::Pack> found;
    for (const auto& pack : packsOf (file))
        if (pack[0] == type)
            found.push_back (pack);
    return found;
}

Bytes dataOf (const CDText::Pack& pack) { return Bytes (pack.begin() + 4, pack.begin() + 16); }

Bytes padded (Bytes bytes)
{
    bytes.resize ((bytes.size() + 11) / 12 * 12, 0);
    return bytes;
}

// Builds pack files the way other encoders might lay them out.
class PackFileBuilder
{
public:
    // Cuts data into packs of one type, each with the given header bytes 1 and 3.
    PackFileBuilder& packs (std::uint8_t type, std::uint8_t track, const Bytes& data, std::uint8_t byte3 = 0)
    {
        const auto all = padded (data);
        for (std::size_t start = 0; start < all.size(); start += 12)
        {
            CDText::Pack pack {};
            pack[0] = type;
            pack[1] = track;
            pack[2] = sequence++;
            pack[3] = byte3;
            std::copy_n (all.begin() + (std::ptrdiff_t) start, 12, pack.begin() + 4);
            CDText::sealPack (pack);
            bytes.insert (bytes.end(), pack.begin(), pack.end());
        }
        return *this;
    }

    PackFileBuilder& sizeInformation (std::uint8_t characterCode, std::uint8_t language = 9, std::uint8_t block = 0)
    {
        Bytes info (36, 0);
        info[0] = characterCode;
        info[1] = 1;
        info[2] = 99;
        info[19] = 3;
        info[28 + block] = language;

        for (std::uint8_t i = 0; i < 3; ++i)
            packs (PackType::sizeInformation, i, Bytes (info.begin() + i * 12, info.begin() + i * 12 + 12),
                   (std::uint8_t) (block << 4));
        return *this;
    }

    PackFileBuilder& spoilCRCs (int lastPacks = 1)
    {
        for (int i = 1; i <= lastPacks; ++i)
            bytes[bytes.size() - (std::size_t) i * packSize + 17] ^= 0x5a;
        return *this;
    }

    Bytes bytes;

private:
    std::uint8_t sequence = 0;
};

const juce::File libburnTool { TAVLO_LIBBURN_PACKFILE_PATH };

//==================================================================================================
class CDTextCodec : public ::testing::Test
{
protected:
    IndexItem* addItem (CDItem& target, int track, int index)
    {
        return DiscFixtures::addRow (target, track, index, index == 0 ? 150 : 3000);
    }

    IndexItem* addTrack (int track, const juce::String& title = {}, const juce::String& performer = {})
    {
        auto* item = addItem (disc, track, 1);
        item->title = title;
        item->performer = performer;
        return item;
    }

    // A disc with the same rows as disc, and no texts.
    void copyLayout (CDItem& target)
    {
        for (auto* item : disc.items)
            addItem (target, item->trackNumber, item->indexNumber);
    }

    Bytes exportBytes()
    {
        EXPECT_TRUE (disc.exportCDText (file.getFullPathName()));
        return readBytes (file);
    }

    bool importBytes (const Bytes& bytes)
    {
        writeBytes (file, bytes);
        return disc.importCDText (file.getFullPathName());
    }

    TestHelpers::TempFolder temp;
    ScriptedUserInteraction ui;
    CDItem disc;
    juce::File file = temp / "CDTEXT.BIN";
};

//==================================================================================================
TEST (CDTextCRC, IsCRC16GSMFromTheBoostTable)
{
    const std::string digits = "123456789";
    EXPECT_EQ (CDText::packCRC (reinterpret_cast<const std::uint8_t*> (digits.data()), digits.size()), 0xce3c);

    // The bit-by-bit form of Boost.CRC agrees on arbitrary pack contents.
    juce::Random random (42);
    for (int i = 0; i < 100; ++i)
    {
        CDText::Pack pack {};
        for (auto& byte : pack)
            byte = (std::uint8_t) random.nextInt (256);

        boost::crc_basic<16> reference (0x1021, 0, 0xffff, false, false);
        reference.process_bytes (pack.data(), 16);
        EXPECT_EQ (CDText::packCRC (pack.data(), 16), reference.checksum());

        CDText::sealPack (pack);
        EXPECT_TRUE (CDText::hasValidCRC (pack));
        pack[7] ^= 1;
        EXPECT_FALSE (CDText::hasValidCRC (pack));
    }
}

TEST_F (CDTextCodec, WritesTheOneTrackExampleByteForByte)
{
    disc.title = "Album";
    addTrack (1, "Song");

    const auto expected = fromHex ("80 00 00 00 41 6C 62 75 6D 00 53 6F 6E 67 00 00 81 A9\n"
                                   "81 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 24 CB\n"
                                   "8F 00 02 00 00 01 01 00 01 01 00 00 00 00 00 00 30 E8\n"
                                   "8F 01 03 00 00 00 00 00 00 00 00 03 04 00 00 00 89 E8\n"
                                   "8F 02 04 00 00 00 00 00 00 00 00 00 00 00 00 00 3E E8\n"
                                   "00");
    ASSERT_EQ (expected.size(), 91u);
    EXPECT_EQ (exportBytes(), expected);
    EXPECT_EQ (disc.getCDTextPackCount(), 5);
    EXPECT_EQ (disc.getCDTextExcessCharacters(), 0);
    EXPECT_TRUE (ui.getCalls().empty()); // the writer never talks to the user
}

TEST_F (CDTextCodec, WritesNothingForADiscWithoutItems)
{
    disc.title = "Album";
    EXPECT_FALSE (disc.exportCDText (file.getFullPathName()));
    EXPECT_FALSE (file.exists());
    EXPECT_EQ (disc.getCDTextPackCount(), 0);

    file.replaceWithText ("keep me");
    EXPECT_FALSE (disc.exportCDText (file.getFullPathName()));
    EXPECT_EQ (file.loadFileAsString(), "keep me");
}

TEST_F (CDTextCodec, AnEmptyOneTrackDiscGivesFivePacks)
{
    addTrack (1);
    const auto bytes = exportBytes();
    ASSERT_EQ (bytes.size(), 91u);
    EXPECT_EQ (dataOf (packsOf (bytes)[0]), Bytes (12, 0));
    EXPECT_EQ (packsOf (bytes)[1][0], PackType::performer);
    EXPECT_EQ (packsOf (bytes)[2][0], PackType::sizeInformation);
}

TEST_F (CDTextCodec, PacksCarryTheTrackAndPositionOfTheirFirstCharacter)
{
    struct Case
    {
        const char* discTitle;
        const char* trackTitle;
        std::vector<std::pair<int, int>> trackAndPosition; // per TITLE pack
    };

    const Case cases[] = {
        { "ABCDEFGHIJK", "", { { 0, 0 }, { 1, 0 } } }, // 11 characters and terminator fill the first pack
        { "ABCDEFGHIJKL", "", { { 0, 0 }, { 0, 12 } } }, // the terminator spills over
        { "0123456789012345678901234567890123456789", "xy", { { 0, 0 }, { 0, 12 }, { 0, 15 }, { 0, 15 } } },
        { "", "A long track title of 30 chars", { { 0, 0 }, { 1, 11 }, { 1, 15 } } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.discTitle);
        CDItem fresh;
        fresh.title = c.discTitle;
        addItem (fresh, 1, 1)->title = c.trackTitle;
        ASSERT_TRUE (fresh.exportCDText (file.getFullPathName()));

        const auto titles = packsOfType (readBytes (file), PackType::title);
        ASSERT_EQ (titles.size(), c.trackAndPosition.size());
        for (std::size_t i = 0; i < titles.size(); ++i)
        {
            EXPECT_EQ (titles[i][1], c.trackAndPosition[i].first) << "pack " << i;
            EXPECT_EQ (titles[i][3], c.trackAndPosition[i].second) << "pack " << i;
        }
    }
}

TEST_F (CDTextCodec, TrackNumbersNeverExceedTheLastTrack)
{
    // Tracks not yet renumbered: three starts of track 1.
    addTrack (1);
    addTrack (1);
    addTrack (1, "A title longer than the rest");

    const auto bytes = exportBytes();
    const auto titles = packsOfType (bytes, PackType::title);
    ASSERT_EQ (titles.size(), 3u);
    EXPECT_EQ (titles[1][1], 1); // three terminators in the first pack, yet the last track is 1

    for (const auto& pack : packsOf (bytes))
    {
        if (pack[0] != PackType::sizeInformation)
        {
            EXPECT_LE (pack[1], 1);
        }
    }

    EXPECT_EQ (packsOfType (bytes, PackType::sizeInformation)[0][6], 1); // last track number
}

TEST_F (CDTextCodec, TextsGetQuestionMarksButTheIdentificationKeepsItsLowBits)
{
    const juce::String odd = juce::String::fromUTF8 ("\xe2\x82\xac") + "\t\n" + juce::String::charToString (0xe9)
                             + juce::String::charToString (0x100);
    disc.title = odd;
    disc.identification = "A" + juce::String::fromUTF8 ("\xe2\x82\xac") + "\tB";
    addTrack (1);

    const auto bytes = exportBytes();
    EXPECT_EQ (dataOf (packsOfType (bytes, PackType::title)[0]), padded (Bytes { '?', '?', '?', 0xe9, '?', 0, 0 }));

    const auto identification = packsOfType (bytes, PackType::identification);
    ASSERT_EQ (identification.size(), 1u);
    EXPECT_EQ (identification[0][1], 0);
    EXPECT_EQ (dataOf (identification[0]), padded (Bytes { 'A', 0xac, 0x09, 'B', 0 }));
}

TEST_F (CDTextCodec, GenrePacksStartWithTheCodeAndCountOnlyTheName)
{
    addTrack (1);

    disc.genreCode = 0;
    EXPECT_TRUE (packsOfType (exportBytes(), PackType::genre).empty());

    disc.genreCode = 14;
    auto genre = packsOfType (exportBytes(), PackType::genre);
    ASSERT_EQ (genre.size(), 1u);
    EXPECT_EQ (dataOf (genre[0]), padded (Bytes { 0x00, 14, 'J', 'a', 'z', 'z', 0 }));

    disc.genreCode = 6; // "Contemporary Christian": 2 + 22 + 1 bytes
    const auto bytes = exportBytes();
    genre = packsOfType (bytes, PackType::genre);
    ASSERT_EQ (genre.size(), 3u);
    EXPECT_EQ (genre[1][3], 10);
    EXPECT_EQ (genre[2][3], 15);
    for (const auto& pack : genre)
        EXPECT_EQ (pack[1], 0);

    EXPECT_EQ (packsOfType (bytes, PackType::sizeInformation)[0][4 + 4 + 7], 3); // count of 0x87
}

TEST_F (CDTextCodec, WritesOptionalTypesOnlyWithText)
{
    addTrack (1);
    addTrack (2)->songwriter = "Writer";
    disc.message = "Liner notes";

    const auto bytes = exportBytes();
    std::vector<int> types;
    for (const auto& pack : packsOf (bytes))
        types.push_back (pack[0]);
    EXPECT_EQ (types, (std::vector<int> { 0x80, 0x81, 0x82, 0x85, 0x85, 0x8f, 0x8f, 0x8f }));
    EXPECT_EQ (bytes.size(), 8 * packSize + 1);

    const auto info = packsOfType (bytes, PackType::sizeInformation);
    EXPECT_EQ (dataOf (info[0]), fromHex ("00 01 02 00 01 01 01 00 00 02 00 00"));
    EXPECT_EQ (dataOf (info[1]), fromHex ("00 00 00 00 00 00 00 03 07 00 00 00"));
    for (std::size_t i = 0; i < info.size(); ++i)
    {
        EXPECT_EQ (info[i][1], i);
        EXPECT_EQ (info[i][2], 5 + i); // sequence numbers run on
    }
}

TEST_F (CDTextCodec, RefusesTextsThatNeedMoreThan256Packs)
{
    addTrack (1);

    // One title pack per 12 characters of "title, terminator, empty track title, terminator", one
    // PERFORMER pack and three size packs: 3022 characters give 256 packs, 3023 give 257.
    disc.title = juce::String::repeatedString ("x", 3022);
    EXPECT_EQ (disc.getCDTextPackCount(), 256);
    EXPECT_EQ (disc.getCDTextExcessCharacters(), 0);
    const auto full = exportBytes();
    ASSERT_EQ (full.size(), 256 * packSize + 1);
    EXPECT_EQ (packsOf (full).back()[2], 255);
    EXPECT_EQ (packsOfType (full, PackType::sizeInformation)[1][4 + 8], 255); // last sequence number

    disc.title += "x";
    EXPECT_EQ (disc.getCDTextPackCount(), 257);
    EXPECT_EQ (disc.getCDTextExcessCharacters(), 12);
    EXPECT_FALSE (disc.exportCDText (file.getFullPathName()));
    EXPECT_EQ (readBytes (file), full); // the file already there is left alone
    EXPECT_EQ (temp.get().getNumberOfChildFiles (juce::File::findFiles), 1);

    // A whole disc of long texts: removing the reported count from one kind of text makes it fit.
    for (int track = 2; track <= 4; ++track)
        addTrack (track, juce::String::repeatedString ("t", 160), juce::String::repeatedString ("p", 160));

    const auto excess = disc.getCDTextExcessCharacters();
    EXPECT_EQ (excess, (disc.getCDTextPackCount() - 256) * 12);
    disc.title = disc.title.dropLastCharacters (excess);
    EXPECT_EQ (disc.getCDTextPackCount(), 256);
    EXPECT_TRUE (disc.exportCDText (file.getFullPathName()));
}

TEST_F (CDTextCodec, AFileThatCannotBeCreatedIsNotWritten)
{
    addTrack (1, "Song");
    const auto missingFolder = (temp / "missing").getChildFile ("CDTEXT.BIN");
    EXPECT_FALSE (disc.exportCDText (missingFolder.getFullPathName()));
    EXPECT_FALSE (missingFolder.exists());

    const auto folder = temp / "folder";
    folder.createDirectory();
    EXPECT_FALSE (disc.exportCDText (folder.getFullPathName()));
    EXPECT_TRUE (folder.isDirectory());

    // Replacing a file leaves nothing else behind.
    file.replaceWithText ("old");
    EXPECT_EQ (exportBytes().size(), 91u);
    EXPECT_EQ (temp.get().getNumberOfChildFiles (juce::File::findFiles), 1);
}

//==================================================================================================
TEST_F (CDTextCodec, RoundTripRestoresEveryText)
{
    const auto e = juce::String::charToString (0xe9), sz = juce::String::charToString (0xdf);

    disc.title = "Album " + e;
    disc.performer = "Performer";
    disc.songwriter = "Songwriter";
    disc.composer = "Composer";
    disc.arranger = "Arranger";
    disc.message = "A message longer than one pack of twelve";
    disc.identification = "ID-4711";
    disc.genreCode = 14;
    disc.languageCode = 8;

    auto* one = addTrack (1, "One", "Band");
    one->composer = "Stra" + sz + "e";
    addItem (disc, 2, 0);
    auto* two = addTrack (2, "Two has a title longer than fifteen characters", "Band");
    two->arranger = "Arr";
    addItem (disc, 2, 2);
    auto* three = addTrack (3, {}, "Guest");
    three->message = "Bye";
    three->songwriter = "Writer";
    ASSERT_TRUE (disc.exportCDText (file.getFullPathName()));

    CDItem copy;
    copyLayout (copy);
    ASSERT_TRUE (copy.importCDText (file.getFullPathName()));
    EXPECT_TRUE (ui.getCalls().empty());

    for (auto member : { &CDItem::title, &CDItem::performer, &CDItem::songwriter, &CDItem::composer, &CDItem::arranger,
                         &CDItem::message, &CDItem::identification })
        EXPECT_EQ (copy.*member, disc.*member);

    for (int row = 0; row < disc.items.size(); ++row)
        for (auto member : { &IndexItem::title, &IndexItem::performer, &IndexItem::songwriter, &IndexItem::composer,
                             &IndexItem::arranger, &IndexItem::message })
            EXPECT_EQ (copy.items[row]->*member, disc.items[row]->*member) << "row " << row;

    EXPECT_EQ (copy.genreCode, 14);
    EXPECT_EQ (copy.languageCode, 8);
}

TEST_F (CDTextCodec, RoundTripRestoresEveryGenreAndLanguage)
{
    addTrack (1, "Song");

    for (int genre = 0; genre <= 28; ++genre)
    {
        disc.genreCode = genre;
        disc.languageCode = (genre * 37 + 5) % 128;
        ASSERT_TRUE (disc.exportCDText (file.getFullPathName()));

        CDItem copy;
        copyLayout (copy);
        ASSERT_TRUE (copy.importCDText (file.getFullPathName()));
        EXPECT_EQ (copy.genreCode, genre);
        EXPECT_EQ (copy.languageCode, disc.languageCode);
    }
    EXPECT_TRUE (ui.getCalls().empty());
}

//==================================================================================================
TEST_F (CDTextCodec, ReportsFilesItCannotRead)
{
    EXPECT_FALSE (disc.importCDText ((temp / "NOWHERE.BIN").getFullPathName()));
    EXPECT_FALSE (disc.importCDText (temp.get().getFullPathName())); // a folder is no file

    EXPECT_FALSE (importBytes ({}));
    EXPECT_FALSE (importBytes ({ 0x8f, 0, 0, 0 }));

    const juce::StringArray expected { "Error!: File not found: NOWHERE.BIN.",
                                       "Error!: File not found: " + temp.get().getFileName() + ".",
                                       "Error!: Invalid first header in CD-Text file, should be 0x80.",
                                       "Error!: Invalid first header in CD-Text file, should be 0x80." };
    EXPECT_EQ (ui.getSummaries().joinIntoString ("\n"), expected.joinIntoString ("\n"));

    for (const auto& call : ui.getCalls())
    {
        EXPECT_EQ (call.icon, MessageIcon::warning);
        EXPECT_EQ (call.buttons, juce::StringArray { "OK" });
    }
}

TEST_F (CDTextCodec, ReportsAFileItCannotOpen)
{
    const auto unreadable = unreadableFile (temp);
    if (unreadable == juce::File())
        GTEST_SKIP() << "every file can be read here";

    EXPECT_FALSE (disc.importCDText (unreadable.getFullPathName()));
    EXPECT_EQ (ui.getSummaries(), juce::StringArray ("Error!: Error opening file: " + unreadable.getFileName() + "."));
}

TEST_F (CDTextCodec, NeedsABlockInISO8859OrASCII)
{
    // Shorter than a pack, no size information at all.
    EXPECT_FALSE (importBytes ({ 0x80, 0, 0, 0, 'A', 'l' }));

    // Only a block in a character code it cannot read.
    EXPECT_FALSE (
        importBytes (PackFileBuilder().packs (PackType::title, 0, strings ({ "Kanji" })).sizeInformation (0x80).bytes));

    EXPECT_EQ (ui.getSummaries(),
               (juce::StringArray { "Error!: No ASCII or ISO 8859-1 block found in CD Text file.",
                                    "Error!: No ASCII or ISO 8859-1 block found in CD Text file." }));
}

TEST_F (CDTextCodec, ChoosesTheFirstISOBlockElseTheLastASCIIBlock)
{
    addTrack (1);

    EXPECT_TRUE (importBytes (PackFileBuilder()
                                  .packs (PackType::title, 0, strings ({ "Other", "X" }))
                                  .sizeInformation (0x80)
                                  .packs (PackType::title, 0, strings ({ "Latin", "Y" }))
                                  .sizeInformation (0x00, 9, 1)
                                  .packs (PackType::title, 0, strings ({ "Later", "Z" }))
                                  .sizeInformation (0x00)
                                  .bytes));
    EXPECT_EQ (disc.title, "Latin");
    EXPECT_EQ (disc.items[0]->title, "Y");
    EXPECT_EQ (disc.languageCode, 9); // from the second block's entry

    EXPECT_TRUE (importBytes (PackFileBuilder()
                                  .packs (PackType::title, 0, strings ({ "First" }))
                                  .sizeInformation (0x01)
                                  .packs (PackType::title, 0, Bytes { 'S', 'e', 'c', 0xe4, 0 })
                                  .sizeInformation (0x01)
                                  .bytes));
    EXPECT_EQ (disc.title, "Sec?"); // 0xe4 is no ASCII
    EXPECT_EQ (ui.getSummaries(),
               juce::StringArray (
                   "Warning!: Invalid character(s) found in CD text! They will be replaced by a question mark (?)."));
}

TEST_F (CDTextCodec, AlignsTextsByTrackNumber)
{
    auto* one = addTrack (1);
    addItem (disc, 2, 0);
    auto* two = addTrack (2);
    auto* three = addTrack (3);
    disc.title = "Old";
    disc.performer = "Kept";
    three->title = "Old";

    // Packs that start at track 1 (no disc string); more strings than tracks, fewer than a
    // performer per track; a pack that claims track 200.
    EXPECT_TRUE (importBytes (PackFileBuilder()
                                  .packs (PackType::title, 1, strings ({ "One", "Two" }))
                                  .packs (PackType::performer, 200, strings ({ "", "" }))
                                  .packs (PackType::composer, 0, strings ({ "Disc", "C1", "C2", "C3", "C4", "C5" }))
                                  .sizeInformation (0x00)
                                  .bytes));
    EXPECT_EQ (disc.title, "");
    EXPECT_EQ (one->title, "One");
    EXPECT_EQ (two->title, "Two");
    EXPECT_EQ (three->title, ""); // no line for it
    EXPECT_EQ (disc.performer, "Kept"); // only empty strings: nothing changes
    EXPECT_EQ (three->composer, "C3");
    EXPECT_EQ (disc.items[1]->title, ""); // a pause carries no text
    EXPECT_TRUE (ui.getCalls().empty());
}

TEST_F (CDTextCodec, ATabRepeatsThePreviousString)
{
    auto* one = addTrack (1);
    auto* two = addTrack (2);

    EXPECT_TRUE (importBytes (PackFileBuilder()
                                  .packs (PackType::title, 0, strings ({ "Disc", "Same", "\t" }))
                                  .packs (PackType::performer, 0, strings ({ "Band", "\t", "Solo" }))
                                  .packs (PackType::identification, 0, strings ({ "ID\t" }))
                                  .sizeInformation (0x00)
                                  .bytes));
    EXPECT_EQ (one->title, "Same");
    EXPECT_EQ (two->title, "Same");
    EXPECT_EQ (one->performer, "Band"); // the first track's TAB repeats the disc's text
    EXPECT_EQ (two->performer, "Solo");
    EXPECT_EQ (disc.identification, "ID?"); // no repeats in the identification
    EXPECT_EQ (ui.getSummaries().size(), 1);
}

TEST_F (CDTextCodec, ChainedTabsCannotGrowWithoutBound)
{
    addTrack (1);
    Bytes tabs { 'A', 'B' };
    tabs.resize (12 * 250, '\t');

    EXPECT_TRUE (importBytes (PackFileBuilder().packs (PackType::title, 0, tabs).sizeInformation (0x00).bytes));
    EXPECT_GT (disc.title.length(), 10000);
    EXPECT_LE (disc.title.length(), 2 << 20);
    EXPECT_TRUE (disc.title.startsWith ("ABA"));
}

TEST_F (CDTextCodec, StopsAtDoubleByteTextsKeepingWhatWasRead)
{
    auto* one = addTrack (1);

    EXPECT_FALSE (importBytes (PackFileBuilder()
                                   .packs (PackType::title, 0, strings ({ "Album", "Song" }))
                                   .packs (PackType::performer, 0, strings ({ "Band", "Band" }), CDText::doubleByteFlag)
                                   .sizeInformation (0x00)
                                   .bytes));
    EXPECT_EQ (disc.title, "Album");
    EXPECT_EQ (one->title, "Song");
    EXPECT_EQ (ui.getSummaries(), juce::StringArray ("Error!: Double Byte Character Code not supported."));

    ui.clear();
    EXPECT_FALSE (importBytes (PackFileBuilder()
                                   .packs (PackType::title, 0, strings ({ "X" }), CDText::doubleByteFlag)
                                   .sizeInformation (0x00)
                                   .bytes));
    EXPECT_EQ (ui.getSummaries(), juce::StringArray ("Error!: Double Byte Character Code not supported."));
}

TEST_F (CDTextCodec, WarnsOncePerTypeAboutDamagedPacksAndKeepsTheirText)
{
    auto* one = addTrack (1);
    auto* two = addTrack (2);
    disc.languageCode = 9;

    EXPECT_TRUE (importBytes (PackFileBuilder()
                                  .packs (PackType::title, 0, strings ({ "Album with long title", "Song", "Other" }))
                                  .spoilCRCs (3)
                                  .packs (PackType::performer, 0, strings ({ "", "Band", "" }))
                                  .spoilCRCs()
                                  .packs (PackType::identification, 0, strings ({ "ID" }))
                                  .spoilCRCs()
                                  .packs (PackType::genre, 0, Bytes { 0, 5, 'X', 0 })
                                  .spoilCRCs()
                                  .sizeInformation (0x00, 8)
                                  .spoilCRCs()
                                  .bytes));
    EXPECT_EQ (disc.title, "Album with long title");
    EXPECT_EQ (one->title, "Song");
    EXPECT_EQ (two->title, "Other");
    EXPECT_EQ (one->performer, "Band");
    EXPECT_EQ (disc.identification, "ID");
    EXPECT_EQ (disc.genreCode, 5);
    EXPECT_EQ (disc.languageCode, 9); // not taken from a damaged pack

    EXPECT_EQ (ui.getSummaries(),
               (juce::StringArray { "Warning!: CRC error in CD Text file, please verify the TITLE data.",
                                    "Warning!: CRC error in CD Text file, please verify the PERFORMER data.",
                                    "Warning!: CRC error in CD Text file, please verify the IDENTIFICATION data.",
                                    "Warning!: CRC error in CD Text file, please verify the GENRE data.",
                                    "Warning!: CRC error in CD Text file." }));
}

TEST_F (CDTextCodec, WarnsAboutEveryInvalidCharacter)
{
    addTrack (1);
    EXPECT_TRUE (importBytes (
        PackFileBuilder().packs (PackType::title, 0, strings ({ "A\x01\x7f" })).sizeInformation (0x00).bytes));
    EXPECT_EQ (disc.title, "A??");
    EXPECT_EQ (ui.getSummaries().size(), 2);
    for (const auto& summary : ui.getSummaries())
        EXPECT_EQ (summary,
                   "Warning!: Invalid character(s) found in CD text! They will be replaced by a question mark (?).");
}

TEST_F (CDTextCodec, TakesKnownGenresAndLanguagesOnly)
{
    struct Case
    {
        std::uint8_t genre, language;
        int expectedGenre, expectedLanguage;
    };

    for (const auto& c : { Case { 28, 127, 28, 127 }, Case { 29, 128, 0, 0 }, Case { 35, 200, 0, 0 } })
    {
        disc.genreCode = disc.languageCode = 3;
        EXPECT_TRUE (importBytes (PackFileBuilder()
                                      .packs (PackType::title, 0, strings ({ "" }))
                                      .packs (PackType::genre, 0, Bytes { 0, c.genre, 0 })
                                      .packs (PackType::genre, 0, Bytes { 0, 7, 0 }) // only the first counts
                                      .sizeInformation (0x00, c.language)
                                      .bytes));
        EXPECT_EQ (disc.genreCode, c.expectedGenre);
        EXPECT_EQ (disc.languageCode, c.expectedLanguage);
    }
    EXPECT_TRUE (ui.getCalls().empty());
}

TEST_F (CDTextCodec, ReadsAFileCutShortAsFarAsItGoes)
{
    disc.title = "Album";
    addTrack (1, "Song", "Band");
    const auto whole = exportBytes();
    ASSERT_EQ (whole.size(), 91u);

    struct Case
    {
        std::size_t size;
        bool languageRead;
    };

    // 90: only the closing byte is missing. 89 to 73: the third size pack is cut; 72: it is missing;
    // 41: only the character code of the first size pack is left.
    for (const auto& c : { Case { 90, true }, Case { 89, false }, Case { 80, false }, Case { 73, false },
                           Case { 72, false }, Case { 41, false } })
    {
        SCOPED_TRACE ((int) c.size);
        ui.clear();
        CDItem copy;
        copyLayout (copy);
        copy.languageCode = 5;
        writeBytes (file, Bytes (whole.begin(), whole.begin() + (std::ptrdiff_t) c.size));

        EXPECT_TRUE (copy.importCDText (file.getFullPathName()));
        EXPECT_EQ (copy.title, "Album");
        EXPECT_EQ (copy.items[0]->title, "Song");
        EXPECT_EQ (copy.items[0]->performer, "Band");
        EXPECT_EQ (copy.languageCode, c.languageRead ? 0 : 5);
        EXPECT_EQ (ui.getSummaries(),
                   c.languageRead ? juce::StringArray() : juce::StringArray ("Warning!: CRC error in CD Text file."));
    }

    // Cut inside the first size pack, before its character code: there is no block to read.
    writeBytes (file, Bytes (whole.begin(), whole.begin() + 40));
    ui.clear();
    EXPECT_FALSE (disc.importCDText (file.getFullPathName()));
    EXPECT_EQ (ui.getSummaries(), juce::StringArray ("Error!: No ASCII or ISO 8859-1 block found in CD Text file."));
}

TEST_F (CDTextCodec, SurvivesHostileSizeInformation)
{
    addTrack (1);

    // A size "triple" whose later packs are titles cut short, with pack counts and sequence
    // numbers that mean nothing.
    auto bytes = PackFileBuilder().packs (PackType::title, 0, strings ({ "Album" })).sizeInformation (0x00).bytes;
    bytes[18 + 4 + 4] = 0xff; // claims 255 TITLE packs
    bytes[18 + 2 * packSize] = PackType::title;
    bytes.resize (bytes.size() - 10);

    EXPECT_TRUE (importBytes (bytes));
    EXPECT_EQ (disc.title, "Album");
    EXPECT_TRUE (ui.getSummaries().contains ("Warning!: CRC error in CD Text file, please verify the TITLE data."));
}

//==================================================================================================
class LibburnPackFiles : public CDTextCodec
{
protected:
    // libburn turns a Sony v07t input sheet (written in ISO 8859-1) into a pack file.
    juce::File encodeWithLibburn (const juce::String& sheet, int tracks)
    {
        const auto sheetFile = temp / "sheet.v07t";
        writeBytes (sheetFile, latin1 (sheet));
        const auto packFile = temp / "libburn.cdt";

        juce::String output;
        EXPECT_EQ (TestHelpers::runTool ({ libburnTool.getFullPathName(), "write", sheetFile.getFullPathName(),
                                           juce::String (tracks), packFile.getFullPathName() },
                                         &output),
                   0)
            << output;
        return packFile;
    }

    // libburn's reading of a pack file, as the "key = value" lines of a v07t sheet.
    std::map<juce::String, juce::String> decodeWithLibburn (const juce::File& packFile)
    {
        juce::String output;
        EXPECT_EQ (
            TestHelpers::runTool ({ libburnTool.getFullPathName(), "sheet", packFile.getFullPathName() }, &output), 0)
            << output;

        std::map<juce::String, juce::String> entries;
        for (const auto& line : juce::StringArray::fromLines (output))
            if (line.contains (" = "))
                entries[line.upToFirstOccurrenceOf (" = ", false, false).trim()] =
                    line.fromFirstOccurrenceOf (" = ", false, false);
        return entries;
    }
};

TEST_F (LibburnPackFiles, ReadsAFileLibburnWrote)
{
    const auto a = juce::String::charToString (0xe4);
    const auto packFile = encodeWithLibburn ("Input Sheet Version = 0.7T\n"
                                             "Text Code = 8859\n"
                                             "Language Code = German\n"
                                             "Album Title = Weihnachtsalbum\n"
                                             "Artist Name = Die S"
                                                 + a
                                                 + "nger\n"
                                                   "Genre Code = Jazz\n"
                                                   "Genre Information = Jazz\n"
                                                   "Catalog Number = ABC123\n"
                                                   "First Track Number = 1\n"
                                                   "Last Track Number = 3\n"
                                                   "Track 01 Title = Erstes Lied\n"
                                                   "Track 01 Artist = Die S"
                                                 + a
                                                 + "nger\n"
                                                   "Track 02 Title = Zweites\n"
                                                   "Track 02 Artist = Die S"
                                                 + a
                                                 + "nger\n"
                                                   "Track 03 Title = Drittes Lied mit langem Namen\n"
                                                   "Track 03 Artist = Gast\n",
                                             3);

    // libburn writes no closing byte and abbreviates the repeated artist of track 2 by a TAB.
    const auto bytes = readBytes (packFile);
    ASSERT_EQ (bytes.size() % packSize, 0u);
    ASSERT_NE (std::find (bytes.begin(), bytes.end(), '\t'), bytes.end());

    auto* one = addTrack (1);
    addItem (disc, 2, 0);
    auto* two = addTrack (2);
    auto* three = addTrack (3);
    ASSERT_TRUE (disc.importCDText (packFile.getFullPathName()));
    EXPECT_TRUE (ui.getCalls().empty());

    EXPECT_EQ (disc.title, "Weihnachtsalbum");
    EXPECT_EQ (disc.performer, "Die S" + a + "nger");
    EXPECT_EQ (one->title, "Erstes Lied");
    EXPECT_EQ (two->title, "Zweites");
    EXPECT_EQ (three->title, "Drittes Lied mit langem Namen");
    EXPECT_EQ (one->performer, "Die S" + a + "nger");
    EXPECT_EQ (two->performer, "Die S" + a + "nger");
    EXPECT_EQ (three->performer, "Gast");
    EXPECT_EQ (disc.identification, "ABC123");
    EXPECT_EQ (disc.genreCode, 14);
    EXPECT_EQ (disc.languageCode, 8);
}

TEST_F (LibburnPackFiles, ReadsTheISOBlockOfAFileWithTwoLanguages)
{
    const auto packFile = encodeWithLibburn ("Input Sheet Version = 0.7T\n"
                                             "Text Code = ASCII\n"
                                             "Language Code = English\n"
                                             "Album Title = English Album\n"
                                             "Track 01 Title = One\n"
                                             "Track 02 Title = Two\n"
                                             "Input Sheet Version = 0.7T\n"
                                             "Text Code = 8859\n"
                                             "Language Code = German\n"
                                             "Album Title = Deutsches Album\n"
                                             "Track 01 Title = Eins\n"
                                             "Track 02 Title = Zwei\n",
                                             2);
    auto* one = addTrack (1);
    auto* two = addTrack (2);
    ASSERT_TRUE (disc.importCDText (packFile.getFullPathName()));
    EXPECT_TRUE (ui.getCalls().empty());

    EXPECT_EQ (disc.title, "Deutsches Album");
    EXPECT_EQ (one->title, "Eins");
    EXPECT_EQ (two->title, "Zwei");
    EXPECT_EQ (disc.languageCode, 8); // the language of the block read, not of block 0
}

TEST_F (LibburnPackFiles, LibburnReadsWhatTavloWrites)
{
    disc.title = "Album";
    disc.performer = "Band";
    disc.songwriter = "Writer";
    disc.composer = "Composer";
    disc.arranger = "Arranger";
    disc.message = "Thanks to everyone who helped";
    disc.identification = "CAT-0815";
    disc.genreCode = 14;
    disc.languageCode = 9;
    addTrack (1, "First", "Band");
    addItem (disc, 2, 0);
    auto* two = addTrack (2, "Second title, long enough for two packs", "Guest");
    two->composer = "Someone";
    addItem (disc, 2, 2);
    addTrack (3, "Third", "Band")->message = "Last";
    ASSERT_TRUE (disc.exportCDText (file.getFullPathName()));

    const std::map<juce::String, juce::String> expected {
        { "Text Code", "8859" },
        { "Language Code", "English" },
        { "Album Title", "Album" },
        { "Artist Name", "Band" },
        { "Songwriter", "Writer" },
        { "Composer", "Composer" },
        { "Arranger", "Arranger" },
        { "Album Message", "Thanks to everyone who helped" },
        { "Catalog Number", "CAT-0815" },
        { "Genre Code", "Jazz" },
        { "Genre Information", "Jazz" },
        { "Text Data Copy Protection", "OFF" },
        { "First Track Number", "1" },
        { "Last Track Number", "3" },
        { "Track 01 Title", "First" },
        { "Track 01 Artist", "Band" },
        { "Track 01 Songwriter", "" },
        { "Track 01 Composer", "" },
        { "Track 01 Arranger", "" },
        { "Track 01 Message", "" },
        { "Track 02 Title", "Second title, long enough for two packs" },
        { "Track 02 Artist", "Guest" },
        { "Track 02 Songwriter", "" },
        { "Track 02 Composer", "Someone" },
        { "Track 02 Arranger", "" },
        { "Track 02 Message", "" },
        { "Track 03 Title", "Third" },
        { "Track 03 Artist", "Band" },
        { "Track 03 Songwriter", "" },
        { "Track 03 Composer", "" },
        { "Track 03 Arranger", "" },
        { "Track 03 Message", "Last" },
    };

    auto decoded = decodeWithLibburn (file);
    decoded.erase ("Input Sheet Version");
    decoded.erase ("Remarks");
    EXPECT_EQ (decoded, expected);
}
} // namespace
