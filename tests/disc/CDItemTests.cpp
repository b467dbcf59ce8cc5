#include "disc/CDItem.h"

#include "support/DiscFixtures.h"

#include <gtest/gtest.h>

namespace
{
using DiscFixtures::addRow;

TEST (CDItem, StartsWithOnlyThePregapRow)
{
    CDItem disc;
    EXPECT_EQ (disc.getItemSize(), 1);
    EXPECT_EQ (disc.getItem (0), disc.pregapItem);
    EXPECT_EQ (disc.getItem (-3), disc.pregapItem);
    EXPECT_EQ (disc.getItem (5), nullptr);
    EXPECT_EQ (disc.getNextItem (0), nullptr);
    EXPECT_EQ (disc.getPreviousItem (0), nullptr);
    EXPECT_FALSE (disc.lastItemPadded());

    EXPECT_EQ (disc.pregapItem->trackNumber, 1);
    EXPECT_EQ (disc.pregapItem->indexNumber, 0);
    EXPECT_EQ (disc.pregapItem->duration.getTimeInFrames(), 150);
    for (auto* marker : { disc.leadIn, disc.audioLeadOut, disc.dataLeadIn, disc.dataLeadOut, disc.discEnd })
        EXPECT_EQ (marker->duration.getTimeInFrames(), 0);

    EXPECT_EQ (disc.languageCode, 0);
    EXPECT_EQ (disc.genreCode, 0);
    EXPECT_FALSE (disc.hasCDText());
}

TEST (CDItem, RowsAddressThePregapAndTheList)
{
    CDItem disc;
    auto* a = addRow (disc, 1, 1);
    auto* b = addRow (disc, 2, 0);
    auto* c = addRow (disc, 2, 1);

    EXPECT_EQ (disc.getItemSize(), 4);
    EXPECT_EQ (disc.getItem (1), a);
    EXPECT_EQ (disc.getItem (3), c);
    EXPECT_EQ (disc.getItem (3 + 7), c); // beyond the list: the last item
    EXPECT_EQ (disc.getPreviousItem (1), disc.pregapItem);
    EXPECT_EQ (disc.getPreviousItem (2), a);
    EXPECT_EQ (disc.getNextItem (0), a);
    EXPECT_EQ (disc.getNextItem (-4), a);
    EXPECT_EQ (disc.getNextItem (2), c);
    EXPECT_EQ (disc.getNextItem (3), nullptr);

    EXPECT_EQ (disc.removeItem (0), nullptr);
    EXPECT_EQ (disc.getItemSize(), 4);
    EXPECT_EQ (disc.removeItem (2), b);
    EXPECT_EQ (disc.items, (juce::Array<IndexItem*> { a, c }));
}

TEST (CDItem, InsertPutsTheItemAtItsRow)
{
    CDItem disc;
    auto* a = addRow (disc, 1, 1);
    auto* x = disc.createItem();
    auto* y = disc.createItem();
    auto* z = disc.createItem();

    disc.insertItem (0, x);
    EXPECT_EQ (disc.getItem (1), x);
    disc.insertItem (1, y);
    EXPECT_EQ (disc.getItem (1), y);
    disc.insertItem (disc.getItemSize(), z); // n + 1 appends
    EXPECT_EQ (disc.items, (juce::Array<IndexItem*> { y, x, a, z }));
    disc.insertItem (-2, a);
    EXPECT_EQ (disc.getItem (1), a);
}

TEST (CDItem, SetItemNeverReplacesThePregapItem)
{
    CDItem disc;
    auto* a = addRow (disc, 1, 1);
    auto* b = addRow (disc, 2, 1);

    IndexItem source;
    source.isrc = "USS1Z9900001";
    source.duration = CDDuration (10);
    source.trackNumber = 7;
    auto* replacement = disc.createItem (source);

    auto* pregap = disc.pregapItem;
    disc.setItem (0, replacement);
    EXPECT_EQ (disc.pregapItem, pregap);
    EXPECT_EQ (pregap->isrc, "USS1Z9900001");
    EXPECT_EQ (pregap->duration.getTimeInFrames(), 150);
    EXPECT_EQ (pregap->trackNumber, 1);
    EXPECT_EQ (pregap->indexNumber, 0);

    disc.setItem (9, replacement);
    EXPECT_EQ (disc.items, (juce::Array<IndexItem*> { a, replacement }));
    disc.setItem (1, b);
    EXPECT_EQ (disc.items, (juce::Array<IndexItem*> { b, replacement }));
}

TEST (CDItem, LastItemIsPaddedWhenItEndsInsideAFrame)
{
    CDItem disc;
    auto* last = addRow (disc, 1, 1);

    for (auto [extra, padded] : { std::pair { 0, false }, { 1, true }, { 587, true }, { 588, false } })
    {
        last->extraSamples = extra;
        EXPECT_EQ (disc.lastItemPadded(), padded) << extra;
    }
}

TEST (CDItem, GenreAndLanguageTables)
{
    EXPECT_EQ (CDItem::getGenreText (0), "Not used");
    EXPECT_EQ (CDItem::getGenreText (24), "Rhythm & Blues");
    EXPECT_EQ (CDItem::getGenreText (29), "Reserved");
    EXPECT_EQ (CDItem::getGenreText (30), "");
    EXPECT_EQ (CDItem::getGenreText (-1), "");

    EXPECT_EQ (CDItem::getLanguageText (0), "Not used");
    EXPECT_EQ (CDItem::getLanguageText (9), "English");
    EXPECT_EQ (CDItem::getLanguageText (43), "Walloon");
    EXPECT_EQ (CDItem::getLanguageText (44), "Reserved");
    EXPECT_EQ (CDItem::getLanguageText (50), "Reserved");
    EXPECT_EQ (CDItem::getLanguageText (68), "Reserved");
    EXPECT_EQ (CDItem::getLanguageText (69), "Zulu");
    EXPECT_EQ (CDItem::getLanguageText (105), "Japanese");
    EXPECT_EQ (CDItem::getLanguageText (127), "Amharic");
    EXPECT_EQ (CDItem::getLanguageText (128), "");
    EXPECT_EQ (CDItem::getLanguageText (-1), "");
}

TEST (CDItem, ResetEmptiesTheDiscButKeepsEveryItemAlive)
{
    CDItem disc;
    auto* a = addRow (disc, 1, 1);
    a->title = "Song";
    disc.title = "Album";
    disc.mcn = "0000000000000";
    disc.genreCode = 5;
    disc.dataItems.add (disc.createItem());
    auto* oldPregap = disc.pregapItem;
    oldPregap->isrc = "USS1Z9900001";
    auto* oldLeadOut = disc.audioLeadOut;
    oldLeadOut->duration = CDDuration (6750);

    disc.reset();

    EXPECT_TRUE (disc.items.isEmpty());
    EXPECT_TRUE (disc.dataItems.isEmpty());
    EXPECT_TRUE (disc.title.isEmpty());
    EXPECT_TRUE (disc.mcn.isEmpty());
    EXPECT_EQ (disc.genreCode, 0);
    EXPECT_EQ (disc.languageCode, 9);
    EXPECT_NE (disc.pregapItem, oldPregap);
    EXPECT_TRUE (disc.pregapItem->isrc.isEmpty());
    EXPECT_EQ (disc.pregapItem->duration.getTimeInFrames(), 150);
    EXPECT_EQ (disc.audioLeadOut->duration.getTimeInFrames(), 0);

    // Undo records may still point at the old items: they stay valid.
    EXPECT_EQ (a->title, "Song");
    EXPECT_EQ (oldPregap->isrc, "USS1Z9900001");
    EXPECT_EQ (oldLeadOut->duration.getTimeInFrames(), 6750);
}

TEST (CDItem, ReplaceByCopiesLeavesTheOldEntriesUntouched)
{
    CDItem disc;
    auto* a = addRow (disc, 1, 1);
    auto* b = addRow (disc, 2, 1);

    const auto before = disc.replaceByCopies (disc.items);
    EXPECT_EQ (before, (juce::Array<IndexItem*> { a, b }));
    ASSERT_EQ (disc.items.size(), 2);
    EXPECT_NE (disc.items[0], a);
    EXPECT_EQ (disc.items[1]->trackNumber, 2);

    disc.items[0]->title = "changed";
    EXPECT_TRUE (a->title.isEmpty());
}

TEST (CDItem, CDTextCountsDiscTextsGenreAndTrackTexts)
{
    CDItem disc;
    auto* a = addRow (disc, 1, 1);
    disc.mcn = "0000000000000";
    disc.languageCode = 9;
    a->isrc = "USS1Z9900001";
    EXPECT_FALSE (disc.hasCDText());

    disc.genreCode = 1;
    EXPECT_TRUE (disc.hasCDText());
    disc.genreCode = 0;
    disc.identification = "id";
    EXPECT_TRUE (disc.hasCDText());
    disc.identification = {};
    a->arranger = "x";
    EXPECT_TRUE (disc.hasCDText());
}

TEST (CDItem, TheIsrcOfATrackIsOnItsFirstItem)
{
    CDItem disc;
    disc.pregapItem->isrc = "AAAAA0000001";
    addRow (disc, 1, 1)->isrc = "misplaced";
    addRow (disc, 2, 0)->isrc = "AAAAA0000002";
    addRow (disc, 2, 1);
    addRow (disc, 3, 1)->isrc = "AAAAA0000003";

    EXPECT_EQ (disc.getISRC (1), "AAAAA0000001");
    EXPECT_EQ (disc.getISRC (2), "AAAAA0000002");
    EXPECT_EQ (disc.getISRC (3), "AAAAA0000003");
    EXPECT_EQ (disc.getISRC (4), "");
}
} // namespace
