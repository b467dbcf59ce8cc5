#include "app/StoredSettings.h"

#include "support/MainScreenFixture.h"

namespace
{
using TrackTable = MainScreenFixture;

std::vector<std::pair<int, int>> numbers (const CDItem& disc)
{
    std::vector<std::pair<int, int>> result;
    for (auto* item : disc.items)
        result.emplace_back (item->trackNumber, item->indexNumber);
    return result;
}

TEST_F (TrackTable, ShowsTheColumnsOfTheMasterType)
{
    open (0);
    auto& header = grid().getHeader();
    juce::StringArray titles;
    for (int i = 0; i < header.getNumColumns (true); ++i)
        titles.add (header.getColumnName (header.getColumnIdOfIndex (i, true)));
    EXPECT_EQ (titles, juce::StringArray ({ "Track", "Duration", "File Name", "ISRC", "Song Title", "Performer" }));
    EXPECT_EQ (header.getColumnWidth (CustomGridModel::trackColumn), 45);
    EXPECT_EQ (header.getColumnWidth (CustomGridModel::durationColumn), 65);
    EXPECT_EQ (header.getColumnWidth (CustomGridModel::titleColumn), 104);

    screen.reset();
    open (1);
    EXPECT_EQ (grid().getHeader().getIndexOfColumnId (CustomGridModel::fileNameColumn, false), -1);
    EXPECT_EQ (grid().getHeader().getNumColumns (true), 5);
}

TEST_F (TrackTable, ShowsNoRowsUntilAFileIsAdded)
{
    open();
    EXPECT_EQ (table().getNumRows(), 0);
    loadFiles (makeFiles ({ 400 }));
    EXPECT_EQ (table().getNumRows(), 2);
}

struct CellCase
{
    int row, column;
    const char* text;
    const char* tooltip; // while unlocked: the menu hint on read-only cells, none on editable ones
    bool editable;
};

TEST_F (TrackTable, CellsShowTheirItemAndAreEditableWhereTheRulesAllow)
{
    open();
    loadFiles (makeFiles ({ 400, 500 })); // rows: pregap, track 1, pause, track 2
    auto* split = disc().createItem (*disc().items[2]);
    disc().items[2]->duration = CDDuration (200);
    split->indexNumber = 2;
    split->duration = CDDuration (300);
    disc().items.insert (3, split); // track 2 has index points 1 and 2
    disc().items[1]->title = "on a pause";
    screen->refreshTable();

    const char* menu = "Rightclick (or cmd click) for menu";
    for (const auto& c : { CellCase { 0, CustomGridModel::trackColumn, "1", menu, false },
                           CellCase { 1, CustomGridModel::trackColumn, "", menu, false },
                           CellCase { 2, CustomGridModel::trackColumn, "2", menu, false },
                           CellCase { 0, CustomGridModel::durationColumn, "00:02:00", menu, false },
                           CellCase { 1, CustomGridModel::durationColumn, "00:05:25", menu, false }, // last item of track 1
                           CellCase { 2, CustomGridModel::durationColumn, "00:02:00", "", true }, // a pause
                           CellCase { 3, CustomGridModel::durationColumn, "00:02:50", "", true }, // index 1 before index 2
                           CellCase { 4, CustomGridModel::durationColumn, "00:04:00", menu, false },
                           CellCase { 1, CustomGridModel::fileNameColumn, "track01.wav", menu, false },
                           CellCase { 0, CustomGridModel::isrcColumn, "", "", true }, // track 1's ISRC
                           CellCase { 1, CustomGridModel::isrcColumn, "", menu, false },
                           CellCase { 2, CustomGridModel::isrcColumn, "", "", true }, // first item of track 2
                           CellCase { 3, CustomGridModel::isrcColumn, "", menu, false },
                           CellCase { 1, CustomGridModel::titleColumn, "", "", true },
                           CellCase { 2, CustomGridModel::titleColumn, "on a pause", "", true }, // misplaced: may be removed
                           CellCase { 4, CustomGridModel::performerColumn, "", menu, false } })
    {
        SCOPED_TRACE ("row " + std::to_string (c.row) + " column " + std::to_string (c.column));
        auto* editor = cell (c.row, c.column);
        ASSERT_NE (editor, nullptr);
        EXPECT_EQ (editor->getText(), c.text);
        EXPECT_EQ (editor->isReadOnly(), ! c.editable);
        EXPECT_EQ (editor->getTooltip(), c.tooltip);
        EXPECT_EQ (editor->getMouseCursor(), juce::MouseCursor (c.editable ? juce::MouseCursor::IBeamCursor
                                                                           : juce::MouseCursor::DraggingHandCursor));
        EXPECT_EQ (editor->findColour (juce::TextEditor::backgroundColourId),
                   c.editable ? juce::Colours::white : juce::Colours::transparentBlack);
    }

    // The tooltips a locked table shows instead.
    screen->projectLocked = true;
    screen->refreshTable();
    EXPECT_EQ (cell (1, CustomGridModel::durationColumn)->getTooltip(), "00:05:25 (400 frames)");
    EXPECT_EQ (cell (2, CustomGridModel::trackColumn)->getTooltip(), "Track 2");
    EXPECT_EQ (cell (1, CustomGridModel::isrcColumn)->getTooltip(), "ISRC code of the track (must be on the first index of a track)");
    EXPECT_EQ (cell (1, CustomGridModel::titleColumn)->getTooltip(), "CD Text track title (must be on index 1 of a track)");
    EXPECT_EQ (cell (1, CustomGridModel::performerColumn)->getTooltip(), "CD Text track performer (must be on index 1 of a track)");
    EXPECT_EQ (cell (2, CustomGridModel::titleColumn)->getTooltip(), "on a pause");
    EXPECT_TRUE (cell (2, CustomGridModel::durationColumn)->isReadOnly());
}

TEST_F (TrackTable, DataRowsFollowInLightGreenAndAreReadOnly)
{
    open();
    loadFiles (makeFiles ({ 400 }));
    for (int index : { 0, 1 })
    {
        IndexItem data;
        data.indexNumber = index;
        data.duration = CDDuration (index == 0 ? 150 : 1000);
        data.fileName = index == 1 ? "IMAGE02.DAT" : "";
        disc().dataItems.add (disc().createItem (data));
    }
    screen->refreshTable();

    ASSERT_EQ (table().getNumRows(), 4);
    EXPECT_EQ (cell (2, CustomGridModel::trackColumn)->getText(), "2");
    EXPECT_EQ (cell (3, CustomGridModel::trackColumn)->getText(), "");
    EXPECT_EQ (cell (3, CustomGridModel::fileNameColumn)->getText(), "IMAGE02.DAT");
    EXPECT_TRUE (cell (3, CustomGridModel::isrcColumn)->isReadOnly());

    const auto rowColour = [this] (int row, bool selected)
    {
        juce::Image image (juce::Image::ARGB, 100, 22, true);
        juce::Graphics g (image);
        table().paintRowBackground (g, row, 100, 22, selected);
        return image.getPixelAt (50, 11);
    };
    EXPECT_EQ (rowColour (1, false), juce::Colour (0xffcccccc));
    EXPECT_EQ (rowColour (3, false), juce::Colour (0xffeeffee));
    EXPECT_NE (rowColour (3, true), juce::Colour (0xffeeffee));
}

TEST_F (TrackTable, TheDropMarkerSitsOnlyBetweenTracks)
{
    open();
    loadFiles (makeFiles ({ 400, 400, 400 })); // rows 0..5: (1,0) (1,1) (2,0) (2,1) (3,0) (3,1)

    const auto pointAbove = [this] (int row) { return grid().getRowPosition (row, true).getPosition().translated (5, 2); };

    grid().moveDropMarkerTo (pointAbove (2));
    EXPECT_EQ (table().getDropRow(), 2);
    grid().moveDropMarkerTo (pointAbove (3)); // between the pause and index 1 of track 2
    EXPECT_EQ (table().getDropRow(), 2);
    grid().moveDropMarkerTo (pointAbove (4));
    EXPECT_EQ (table().getDropRow(), 4);

    const auto red = [this] (int row)
    {
        juce::Image image (juce::Image::ARGB, 100, 22, true);
        juce::Graphics g (image);
        table().paintRowBackground (g, row, 100, 22, false);
        return std::pair { image.getPixelAt (50, 0) == juce::Colours::red, image.getPixelAt (50, 21) == juce::Colours::red };
    };
    EXPECT_EQ (red (4), std::pair (true, false));
    EXPECT_EQ (red (3), std::pair (false, false));

    table().setDropRow (6); // below the last audio row
    EXPECT_EQ (red (5), std::pair (false, true));
}

class Drops : public MainScreenFixture
{
public:
    void SetUp() override
    {
        MainScreenFixture::SetUp();
        open();
        loadFiles (makeFiles ({ 400, 400, 400 }));
        disc().pregapItem->isrc = "AAAAA0000001";
        disc().items[1]->isrc = "AAAAA0000002";
        disc().items[3]->isrc = "AAAAA0000003";
        before = disc().items;
    }

    void drop (std::initializer_list<int> rows, int dropRow)
    {
        grid().setMultipleSelectionEnabled (true);
        grid().deselectAllRows();
        for (auto row : rows)
            grid().selectRow (row, true, false);
        grid().setMultipleSelectionEnabled (false);
        table().setDropRow (dropRow);
        grid().dropSelectedTracks();
    }

    juce::StringArray isrcs()
    {
        juce::StringArray codes { disc().pregapItem->isrc };
        for (auto* item : disc().items)
            codes.add (item->isrc);
        return codes;
    }

    juce::Array<IndexItem*> before;
};

TEST_F (Drops, ATrackMovedAboveAnotherTakesItsNumberAndItsPause)
{
    drop ({ 4, 5 }, 2); // track 3 above track 2
    EXPECT_EQ (numbers (disc()), (std::vector<std::pair<int, int>> { { 1, 1 }, { 2, 0 }, { 2, 1 }, { 3, 0 }, { 3, 1 } }));
    EXPECT_EQ (disc().items[2]->fileName, "track03.wav");
    EXPECT_EQ (disc().items[4]->fileName, "track02.wav");
    EXPECT_EQ (isrcs(), juce::StringArray ({ "AAAAA0000001", "", "AAAAA0000003", "", "AAAAA0000002", "" }));
    EXPECT_EQ (grid().getSelectedRow (0), 2);
    EXPECT_EQ (table().getDropRow(), -1);

    // One undo step brings back the order, the numbers and the ISRCs.
    EXPECT_EQ (undoNames().strings.getLast(), "Drop tracks");
    screen->getUndoManager().undo();
    EXPECT_EQ (disc().items, before);
    EXPECT_EQ (isrcs(), juce::StringArray ({ "AAAAA0000001", "", "AAAAA0000002", "", "AAAAA0000003", "" }));
}

TEST_F (Drops, ATrackMovedToTheTopGivesTheFormerFirstTrackAPause)
{
    drop ({ 4, 5 }, 0);
    EXPECT_EQ (numbers (disc()), (std::vector<std::pair<int, int>> { { 1, 1 }, { 2, 0 }, { 2, 1 }, { 3, 0 }, { 3, 1 } }));
    EXPECT_EQ (disc().items[0]->fileName, "track03.wav");
    EXPECT_EQ (disc().items[2]->fileName, "track01.wav");
    EXPECT_EQ (disc().items[1]->duration.getTimeInFrames(), 150);
    // The moved track's ISRC is now track 1's, on the pregap item; the former track 1 keeps its own.
    EXPECT_EQ (isrcs(), juce::StringArray ({ "AAAAA0000003", "", "AAAAA0000001", "", "AAAAA0000002", "" }));

    screen->getUndoManager().undo();
    EXPECT_EQ (disc().items, before);
    EXPECT_EQ (disc().pregapItem->isrc, "AAAAA0000001");
}

TEST_F (Drops, TrackOneMovedDownGetsAPauseCarryingItsIsrc)
{
    drop ({ 0, 1 }, 4); // track 1 (the pregap row and its item) below track 2
    EXPECT_EQ (numbers (disc()), (std::vector<std::pair<int, int>> { { 1, 1 }, { 2, 0 }, { 2, 1 }, { 3, 0 }, { 3, 1 } }));
    EXPECT_EQ (disc().items[0]->fileName, "track02.wav");
    EXPECT_EQ (disc().items[2]->fileName, "track01.wav");
    EXPECT_EQ (isrcs(), juce::StringArray ({ "AAAAA0000002", "", "AAAAA0000001", "", "AAAAA0000003", "" }));
    EXPECT_EQ (grid().getSelectedRow (0), 3);
}

TEST_F (Drops, WithoutADefaultPauseTheMovedTrackItselfTakesTheIsrc)
{
    StoredSettings::getInstance()->getProps().setValue ("defaultpause", "0");
    drop ({ 0, 1 }, 4);
    EXPECT_EQ (numbers (disc()), (std::vector<std::pair<int, int>> { { 1, 1 }, { 2, 1 }, { 3, 0 }, { 3, 1 } }));
    EXPECT_EQ (isrcs(), juce::StringArray ({ "AAAAA0000002", "", "AAAAA0000001", "AAAAA0000003", "" }));
}

TEST_F (Drops, DroppingOnTheTracksOwnPlaceChangesNothing)
{
    drop ({ 2, 3 }, 2);
    EXPECT_EQ (disc().items, before);
    EXPECT_EQ (undoNames(), juce::StringArray ("Add file(s)"));
}

TEST_F (Drops, TheDescriptionNamesTheRowsCountedFromOne)
{
    juce::SparseSet<int> rows;
    rows.addRange ({ 3, 6 });
    EXPECT_EQ (table().getDragSourceDescription (rows).toString(), "4 5 6");
}

TEST_F (Drops, OnlyAnUnlockedFilesMasterAcceptsDrags)
{
    table().selectRow (2, true, true);
    const juce::DragAndDropTarget::SourceDetails details ("3", &grid(), {});
    EXPECT_TRUE (grid().isInterestedInDragSource (details));

    screen->projectLocked = true;
    EXPECT_FALSE (grid().isInterestedInDragSource (details));
    screen->projectLocked = false;

    screen->masterType = 1;
    EXPECT_FALSE (grid().isInterestedInDragSource (details));
    screen->masterType = 0;

    // A data row first in the selection is not dragged.
    table().selectRow (disc().getItemSize(), true, true);
    EXPECT_FALSE (grid().isInterestedInDragSource (details));
}
} // namespace
