#include "disc/CDDuration.h"

#include <gtest/gtest.h>

namespace
{
struct ParseCase
{
    const char* text;
    bool valid;
    int frames;
};

class CDDurationParsing : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P (CDDurationParsing, AcceptsOnlyFrameCountsAndTheColonForm)
{
    const auto& c = GetParam();
    CDDuration out (12345); // any earlier value is overwritten
    EXPECT_EQ (CDDuration::convertString (juce::String (juce::CharPointer_UTF8 (c.text)), out), c.valid) << c.text;
    EXPECT_EQ (out.getTimeInFrames(), c.frames) << c.text;
}

INSTANTIATE_TEST_SUITE_P (
    Texts, CDDurationParsing,
    ::testing::Values (ParseCase { "", true, 0 }, ParseCase { "0", true, 0 }, ParseCase { "150", true, 150 },
                       ParseCase { "02:00:00", true, 9000 }, ParseCase { "00:02:00", true, 150 },
                       ParseCase { "00:00:75", true, 75 }, ParseCase { "00:00:79", true, 79 },
                       ParseCase { "99:59:79", true, 450004 }, ParseCase { "2147483647", true, 2147483647 },
                       ParseCase { "00:00:80", false, 0 }, ParseCase { "00:60:00", false, 0 },
                       ParseCase { "1:00:00", false, 0 }, ParseCase { "01:00:00 ", false, 0 },
                       ParseCase { " 01:00:00", false, 0 }, ParseCase { "-5", false, 0 },
                       ParseCase { "01-00-00", false, 0 }, ParseCase { "100:00:00", false, 0 },
                       ParseCase { "2:00", false, 0 }, ParseCase { "00:01:80", false, 0 },
                       ParseCase { "2147483648", false, 0 }, ParseCase { "99999999999999999999", false, 0 },
                       ParseCase { "\xd9\xa1\xd9\xa2", false, 0 }), // Arabic-Indic digits are not [0-9]
    [] (const ::testing::TestParamInfo<ParseCase>& param) { return "case" + std::to_string (param.index); });

TEST (CDDuration, PartsTruncateTowardZero)
{
    const CDDuration d (449999);
    EXPECT_EQ (d.mins(), 99);
    EXPECT_EQ (d.secs(), 59);
    EXPECT_EQ (d.frms(), 74);
    EXPECT_EQ (d.toString(), "99:59:74");

    EXPECT_EQ (CDDuration (0).toString(), "00:00:00");
    EXPECT_EQ (CDDuration (4500).toString(), "01:00:00");
    EXPECT_EQ (CDDuration (450000).toString(), "100:00:00");
}

TEST (CDDuration, NegativeDifferencesShowNegativeParts)
{
    const auto difference = CDDuration (10) - CDDuration (11);
    EXPECT_EQ (difference.getTimeInFrames(), -1);
    EXPECT_EQ (difference.mins(), 0);
    EXPECT_EQ (difference.secs(), 0);
    EXPECT_EQ (difference.frms(), -1);
    EXPECT_EQ (difference.toString(), "00:00:-1");
    EXPECT_EQ ((CDDuration (0, 1, 0) - CDDuration (0, 2, 5)).toString(), "00:-1:-5");
}

TEST (CDDuration, ArithmeticAndConstruction)
{
    EXPECT_EQ (CDDuration (0, 0, 150), CDDuration (0, 2, 0));
    EXPECT_EQ (CDDuration (1, -1, 0).getTimeInFrames(), 4425); // parts are not normalised

    CDDuration d (100);
    const auto copy = (d += CDDuration (50));
    EXPECT_EQ (d.getTimeInFrames(), 150);
    EXPECT_EQ (copy.getTimeInFrames(), 150);
    EXPECT_EQ ((d -= CDDuration (200)).getTimeInFrames(), -50);
    EXPECT_EQ ((CDDuration (3) + CDDuration (4)).getTimeInFrames(), 7);
}

TEST (CDDuration, CanonicalTextsRoundTrip)
{
    for (int m = 0; m < 100; m += 7)
        for (int s = 0; s < 60; s += 11)
            for (int f = 0; f < 75; f += 13)
            {
                const auto text = juce::String::formatted ("%02d:%02d:%02d", m, s, f);
                CDDuration parsed;
                ASSERT_TRUE (CDDuration::convertString (text, parsed));
                EXPECT_EQ (parsed.toString(), text);
            }
}
} // namespace
