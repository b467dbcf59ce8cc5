#include "editor/DiscNumbering.h"

#include "support/DiscFixtures.h"

#include <gtest/gtest.h>

namespace
{
using Pairs = std::vector<std::pair<int, int>>; // track and index numbers of the list items

void fill (CDItem& disc, const Pairs& pairs, int frames = 300)
{
    for (auto [track, index] : pairs)
        DiscFixtures::addRow (disc, track, index, frames);
}

Pairs numbers (const CDItem& disc)
{
    Pairs result;
    for (auto* item : disc.items)
        result.emplace_back (item->trackNumber, item->indexNumber);
    return result;
}

struct NumberingCase
{
    Pairs before, after;
};

class Numbering : public ::testing::TestWithParam<NumberingCase>
{
};

TEST_P (Numbering, RestoresAValidSequenceWithoutReordering)
{
    CDItem disc;
    fill (disc, GetParam().before);
    DiscNumbering::renumber (disc);
    EXPECT_EQ (numbers (disc), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P (
    Sequences, Numbering,
    ::testing::Values (
        NumberingCase { { { 1, 1 }, { 2, 0 }, { 2, 1 }, { 3, 1 } }, { { 1, 1 }, { 2, 0 }, { 2, 1 }, { 3, 1 } } },
        NumberingCase { { { 1, 1 }, { 3, 1 } }, { { 1, 1 }, { 2, 1 } } }, // track 2 deleted
        NumberingCase { { { 5, 1 }, { 5, 2 }, { 1, 1 } }, { { 1, 1 }, { 1, 2 }, { 2, 0 } } },
        NumberingCase { { { 5, 1 }, { 5, 2 }, { 0, 0 }, { 1, 1 } },
                        { { 1, 1 }, { 1, 2 }, { 2, 0 }, { 2, 1 } } }, // a drop to the top
        NumberingCase { { { 1, 1 }, { 1, 1 } }, { { 1, 1 }, { 2, 1 } } },
        NumberingCase { { { 1, 1 }, { 1, 3 } }, { { 1, 1 }, { 1, 2 } } },
        NumberingCase { { { 1, 2 }, { 1, 1 } }, { { 1, 1 }, { 2, 1 } } },
        // a leading pause starts track 2: track 1 is then the pregap alone
        NumberingCase { { { 3, 0 }, { 3, 1 }, { 2, 0 }, { 2, 1 } }, { { 2, 0 }, { 2, 1 }, { 3, 0 }, { 3, 1 } } }));

TEST (Numbering, StartTimesFollowThePregapOffsetsAndLengths)
{
    CDItem disc;
    fill (disc, { { 1, 1 }, { 2, 0 }, { 2, 1 } }, 300);
    disc.items[0]->indexOffset = 10;
    disc.items[2]->indexOffset = 10;
    disc.items[2]->extraSamples = 100;

    const auto total = DiscNumbering::renumber (disc);

    EXPECT_EQ (disc.pregapItem->startTime.getTimeInFrames(), 0);
    EXPECT_EQ (disc.items[0]->startTime.getTimeInFrames(), 150);
    EXPECT_EQ (disc.items[1]->startTime.getTimeInFrames(), 460);
    EXPECT_EQ (disc.items[2]->startTime.getTimeInFrames(), 760);
    EXPECT_EQ (disc.audioLeadOut->startTime.getTimeInFrames(), 1071); // one frame more: the last ends inside a frame
    EXPECT_EQ (total.getTimeInFrames(), 1071);
}

TEST (Numbering, TheDataSessionFollowsTheAudioAndItsMarkers)
{
    CDItem disc;
    fill (disc, { { 1, 1 } }, 300);
    disc.audioLeadOut->duration = CDDuration (6750);
    disc.dataLeadIn->duration = CDDuration (4500);
    disc.dataLeadOut->duration = CDDuration (2250);
    for (auto [index, frames] : { std::pair { 0, 150 }, { 1, 1000 } })
    {
        IndexItem item;
        item.indexNumber = index;
        item.duration = CDDuration (frames);
        disc.dataItems.add (disc.createItem (item));
    }

    const auto total = DiscNumbering::renumber (disc);

    EXPECT_EQ (disc.audioLeadOut->startTime.getTimeInFrames(), 450);
    EXPECT_EQ (disc.dataLeadIn->startTime.getTimeInFrames(), 450 + 6750);
    EXPECT_EQ (disc.dataItems[0]->startTime.getTimeInFrames(), 7200 + 4500);
    EXPECT_EQ (disc.dataItems[1]->startTime.getTimeInFrames(), 11700 + 150);
    EXPECT_EQ (disc.dataItems[1]->trackNumber, 2);
    EXPECT_EQ (disc.dataItems[1]->indexNumber, 1);
    EXPECT_EQ (disc.dataLeadOut->startTime.getTimeInFrames(), 11850 + 1000);
    EXPECT_EQ (total.getTimeInFrames(), 12850 + 2250);
}

TEST (Numbering, AnEmptyDiscRunsForNoTime)
{
    CDItem disc;
    EXPECT_EQ (DiscNumbering::renumber (disc).getTimeInFrames(), 0);
}
} // namespace
