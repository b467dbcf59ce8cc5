#include "editor/DiscCheck.h"
#include "editor/DiscNumbering.h"

#include "support/DiscFixtures.h"
#include "support/ScriptedUserInteraction.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

namespace
{
const juce::String isrcFormatQuestion =
    " has an ISRC code with an invalid format. Use CCXXXYYNNNNN, where CC is the 2-character country code (uppercase), XXX is the alphanumeric registrant code (uppercase), YY are the last two digits of the year and NNNNN is a unique 5-digit number\n\nIgnore?";

class DiscCheckTest : public ::testing::Test
{
public:
    IndexItem* add (int track, int index, int frames) { return DiscFixtures::addRow (disc, track, index, frames); }

    // Tracks of one index-1 item each, track 1 after the pregap.
    void addTracks (int count, int frames = 300)
    {
        for (int t = 1; t <= count; ++t)
            add (t, 1, frames);
    }

    int check()
    {
        DiscNumbering::renumber (disc);
        return DiscCheck::check (disc, ui, [this] { ++checkDigitMarks; });
    }

    CDItem disc;
    ScriptedUserInteraction ui;
    int checkDigitMarks = 0;
};

TEST_F (DiscCheckTest, AnEmptyProjectIsAnError)
{
    EXPECT_EQ (check(), 0);
    EXPECT_EQ (ui.getSummaries(), juce::StringArray ("Error!: Empty project."));
}

TEST_F (DiscCheckTest, AWellFormedDiscPassesSilently)
{
    addTracks (3);
    EXPECT_EQ (check(), 1);
    EXPECT_TRUE (ui.getCalls().empty());
}

TEST_F (DiscCheckTest, EightyMinutesEndExactlyAtFrame360000)
{
    add (1, 1, 360000 - 150);
    EXPECT_EQ (check(), 1);

    disc.items[0]->duration += CDDuration (1);
    ui.answerOkCancel (true);
    EXPECT_EQ (check(), 2);
    const auto question = ui.getCalls()[0];
    EXPECT_EQ (question.kind, "question");
    EXPECT_EQ (question.icon, MessageIcon::question);
    EXPECT_EQ (question.title, "");
    EXPECT_EQ (question.text, "Maximum length is 80 minutes!\n\nIgnore?");
    EXPECT_EQ (question.buttons, juce::StringArray ({ "Yes", "No" }));

    ui.answerOkCancel (false);
    EXPECT_EQ (check(), 0);
}

TEST_F (DiscCheckTest, NinetyNineAudioTracksPassEvenWithADataTrack)
{
    addTracks (99);
    for (auto [index, frames] : { std::pair { 0, 150 }, { 1, 3000 } })
    {
        IndexItem data;
        data.indexNumber = index;
        data.duration = CDDuration (frames);
        disc.dataItems.add (disc.createItem (data));
    }
    EXPECT_EQ (check(), 1) << ui.getSummaries().joinIntoString ("\n");
    EXPECT_EQ (disc.dataItems[0]->trackNumber, 100);

    add (100, 1, 300);
    EXPECT_EQ (check(), 0);
    EXPECT_EQ (ui.getSummaries().strings.getLast(), "Error!: Maximum number of tracks is 99.");
}

struct McnCase
{
    const char* mcn;
    bool answer;
    const char* question; // empty: no question
    int result;
};

class McnCheck : public DiscCheckTest, public ::testing::WithParamInterface<McnCase>
{
};

TEST_P (McnCheck, AsksAboutMalformedNumbersAndWrongCheckDigits)
{
    const auto& c = GetParam();
    addTracks (1);
    disc.mcn = c.mcn;
    if (juce::String (c.question).isNotEmpty())
        ui.answerOkCancel (c.answer);

    EXPECT_EQ (check(), c.result);
    const auto questions = ui.getCalls ("question");
    if (juce::String (c.question).isEmpty())
    {
        EXPECT_TRUE (questions.empty());
        return;
    }

    // A wrong check digit is never asked about after a malformed number.
    ASSERT_EQ (questions.size(), 1u);
    EXPECT_EQ (questions[0].text, c.question);
}

INSTANTIATE_TEST_SUITE_P (
    Numbers, McnCheck,
    ::testing::Values (
        McnCase { "", false, "", 1 }, McnCase { "0000000000000", false, "", 1 },
        McnCase { "0000000000017", false, "", 1 },
        McnCase { "000000000001", true, "MCN should be a 13 digit number!\n\nIgnore?", 2 },
        McnCase { "00000000000-17", true, "MCN should be a 13 digit number!\n\nIgnore?", 2 },
        McnCase { "000000000001A", false, "MCN should be a 13 digit number!\n\nIgnore?", 0 },
        McnCase { "0000000000010", true,
                  "Invalid MCN checksum digit found at position 13!\n\nFound: 0\nCorrect value: 7\n\nIgnore?", 2 },
        McnCase { "1234567890123", false,
                  "Invalid MCN checksum digit found at position 13!\n\nFound: 3\nCorrect value: 8\n\nIgnore?", 0 }),
    [] (const ::testing::TestParamInfo<McnCase>& param) { return "case" + std::to_string (param.index); });

TEST_F (DiscCheckTest, AWrongCheckDigitIsMarkedInTheField)
{
    addTracks (1);
    disc.mcn = "0000000000010";
    ui.answerOkCancel (false);
    check();
    EXPECT_EQ (checkDigitMarks, 1);
}

struct RowCase
{
    const char* name;
    std::function<void (DiscCheckTest&, CDItem&)> build;
    const char* message; // the first message: an error, or a question answered "No"
};

class RowRules : public DiscCheckTest, public ::testing::WithParamInterface<int>
{
};

std::vector<RowCase> rowCases()
{
    return {
        { "a track without index 1",
          [] (DiscCheckTest& t, CDItem&)
          {
              t.addTracks (1);
              t.add (2, 0, 400);
          },
          "Error!: Track 2 has no index point 1." },
        { "100 rows in a track",
          [] (DiscCheckTest& t, CDItem&)
          {
              t.addTracks (1);
              t.add (2, 0, 10);
              for (int i = 1; i <= 99; ++i)
                  t.add (2, i, 10);
          },
          "Error!: Track 2 has more than 99 indexes." },
        { "299 frames",
          [] (DiscCheckTest& t, CDItem&)
          {
              t.addTracks (1);
              t.add (2, 1, 299);
          },
          "Error!: Track 2 is shorter than 4 seconds." },
        { "CD-Text on index 2",
          [] (DiscCheckTest& t, CDItem&)
          {
              t.addTracks (1);
              t.add (1, 2, 300)->title = "x";
          },
          ": Track 1 has CD Text data on an index point other than 1!\n\nIgnore?" },
        { "zero-length index point",
          [] (DiscCheckTest& t, CDItem&)
          {
              t.addTracks (1);
              t.add (1, 2, 0);
          },
          ": Track 1 has an index point with a length of 0 seconds!\n\nIgnore?" },
        { "ISRC on track 1's index 1", [] (DiscCheckTest& t, CDItem&) { t.add (1, 1, 300)->isrc = "USS1Z9900001"; },
          "Warning!: Track 1 has an ISRC code on an index point other than the first!\n\nIgnore?\n\n" },
        { "lower-case ISRC",
          [] (DiscCheckTest& t, CDItem& d)
          {
              t.addTracks (1);
              d.pregapItem->isrc = "uss1z9900001";
          },
          "" },
        { "11-character ISRC",
          [] (DiscCheckTest& t, CDItem& d)
          {
              t.addTracks (1);
              d.pregapItem->isrc = "USS1Z990001";
          },
          "" },
        { "missing source file",
          [] (DiscCheckTest& t, CDItem&)
          {
              auto* item = t.add (1, 1, 300);
              item->folder = "/nonexistent";
              item->fileName = "gone.wav";
          },
          "Error!: File /nonexistent/gone.wav does not exist." },
        { "euro sign in a track title",
          [] (DiscCheckTest& t, CDItem&)
          { t.add (1, 1, 300)->title = juce::String (juce::CharPointer_UTF8 ("\xe2\x82\xac")); },
          "Error!: Track 1 has non ISO 8859-1 character(s) in CD text." },
        { "control character in the disc performer",
          [] (DiscCheckTest& t, CDItem& d)
          {
              t.addTracks (1);
              d.performer = "a\tb";
          },
          "Error!: Disc has non ISO 8859-1 character(s) in CD text." },
        { "CD-Text too long for one block",
          [] (DiscCheckTest& t, CDItem&)
          {
              t.addTracks (30);
              for (auto* item : t.disc.items)
                  item->title = juce::String::repeatedString ("x", 120);
          },
          "too long" },
    };
}

TEST_P (RowRules, StopAtTheFirstProblem)
{
    const auto cases = rowCases();
    const auto& c = cases[(size_t) GetParam()];
    c.build (*this, disc);

    juce::String expected (c.message);
    if (expected.isEmpty())
        expected = ": Track 1" + isrcFormatQuestion;

    if (expected.startsWith (": ") || expected.startsWith ("Warning!"))
        ui.answerOkCancel (false);

    EXPECT_EQ (check(), 0);
    const auto summaries = ui.getSummaries();
    ASSERT_EQ (summaries.size(), 1) << summaries.joinIntoString ("\n");
    if (expected == "too long")
        EXPECT_TRUE (summaries[0].startsWith ("Error!: The CD-Text is too long by ")) << summaries[0];
    else
        EXPECT_EQ (summaries[0], expected);
}

INSTANTIATE_TEST_SUITE_P (Cases, RowRules, ::testing::Range (0, (int) rowCases().size()),
                          [] (const ::testing::TestParamInfo<int>& param)
                          {
                              return juce::String (rowCases()[(size_t) param.param].name)
                                  .retainCharacters ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")
                                  .toStdString();
                          });

TEST_F (DiscCheckTest, TrackOnesPregapCountsTowardsItsFourSeconds)
{
    add (1, 1, 150);
    add (2, 1, 300);
    EXPECT_EQ (check(), 1);
}

TEST_F (DiscCheckTest, EachKindOfQuestionIsAskedOnceAndAcceptedKindsAreCounted)
{
    addTracks (1);
    add (1, 2, 0); // zero length
    add (2, 1, 300);
    add (2, 2, 0); // zero length again: no second question
    disc.items[3]->title = "on index 2";

    ui.answerOkCancel (true);
    ui.answerOkCancel (true);
    EXPECT_EQ (check(), 3);
    EXPECT_EQ (ui.getSummaries(),
               juce::StringArray ({ ": Track 1 has an index point with a length of 0 seconds!\n\nIgnore?",
                                    ": Track 2 has CD Text data on an index point other than 1!\n\nIgnore?" }));

    // The next check starts afresh.
    ui.clear();
    ui.answerOkCancel (false);
    EXPECT_EQ (check(), 0);
}

TEST_F (DiscCheckTest, AnIsrcOnThePregapItemIsWhereTrackOnesBelongs)
{
    addTracks (2);
    disc.pregapItem->isrc = "USS1Z9900001";
    disc.items[1]->isrc = "USS1Z9900002";
    EXPECT_EQ (check(), 1);
}

TEST_F (DiscCheckTest, CDTextWithoutALanguageBecomesEnglish)
{
    addTracks (1);
    disc.languageCode = 0;
    EXPECT_EQ (check(), 1);
    EXPECT_EQ (disc.languageCode, 0);

    disc.title = "Album";
    EXPECT_EQ (check(), 1);
    EXPECT_EQ (disc.languageCode, 9);

    disc.title = {};
    disc.languageCode = 0;
    disc.genreCode = 3;
    check();
    EXPECT_EQ (disc.languageCode, 9);
}
} // namespace
