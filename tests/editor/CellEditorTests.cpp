#include "app/StoredSettings.h"

#include "support/MainScreenFixture.h"

namespace
{
class CellEditor : public ShownMainScreenFixture
{
public:
    void SetUp() override
    {
        ShownMainScreenFixture::SetUp();
        openShown();
    }

    void TearDown() override
    {
        StoredSettings::getInstance()->getProps().removeValue ("incISRC");
        ShownMainScreenFixture::TearDown();
    }

    // Tracks of the given lengths in frames; with a pause before each but the first.
    void tracks (std::initializer_list<int> frames) { loadFiles (makeFiles (frames)); }

    // Splits a track's index-1 item into index points 1 and 2 of the given lengths, in one file.
    void splitTrack (int row, int firstLength)
    {
        ASSERT_LE (row, disc().items.size());
        auto& first = *disc().items[row - 1];
        auto* second = disc().createItem (first);
        second->indexNumber = 2;
        second->indexOffset = 0;
        second->duration = first.duration - CDDuration (firstLength);
        second->fileOffset = first.fileOffset + CDDuration (firstLength);
        first.duration = CDDuration (firstLength);
        first.extraSamples = 0;
        disc().items.insert (row, second);
        screen->refreshTable();
        screen->getUndoManager().clearUndoHistory();
    }

    juce::StringArray titles()
    {
        juce::StringArray result;
        for (auto* item : disc().items)
            if (item->indexNumber == 1)
                result.add (item->title);
        return result;
    }
};

struct DurationCase
{
    const char* typed;
    const char* error; // empty: accepted
    int frames;
};

TEST_F (CellEditor, APausesDurationTakesEitherTextForm)
{
    tracks ({ 400, 400 });
    for (const auto& c : { DurationCase { "00:02:00", "", 150 }, DurationCase { "225", "", 225 },
                           DurationCase { "2:00", "Invalid time format, use mm:ss:ff or frames.", 225 },
                           DurationCase { "-5", "Invalid time format, use mm:ss:ff or frames.", 225 },
                           DurationCase { "00:01:80", "Invalid time format, use mm:ss:ff or frames.", 225 },
                           DurationCase { "00:01:00", "", 75 } })
    {
        SCOPED_TRACE (c.typed);
        ui.clear();
        edit (2, CustomGridModel::durationColumn, c.typed);
        EXPECT_EQ (disc().items[1]->duration.getTimeInFrames(), c.frames);
        const auto expected = juce::String (c.error).isEmpty() ? juce::StringArray() : juce::StringArray ("Error!: " + juce::String (c.error));
        EXPECT_EQ (ui.getSummaries(), expected);
        EXPECT_EQ (cell (2, CustomGridModel::durationColumn)->getText(), CDDuration (c.frames).toString());
    }
    EXPECT_EQ (undoNames().strings.getLast(), "Change track duration");
}

TEST_F (CellEditor, AnIndexDurationMovesTheBoundaryToTheNextIndex)
{
    tracks ({ 1500 });
    splitTrack (1, 1000); // index 1: 1,000 frames, index 2: 500 frames

    edit (1, CustomGridModel::durationColumn, "1200");
    EXPECT_EQ (disc().items[0]->duration.getTimeInFrames(), 1200);
    EXPECT_EQ (disc().items[1]->duration.getTimeInFrames(), 300);
    EXPECT_EQ (disc().items[1]->fileOffset.getTimeInFrames(), 1200);
    EXPECT_EQ (disc().items[1]->startTime.getTimeInFrames(), 150 + 10 + 1200); // renumbered

    ui.clear();
    edit (1, CustomGridModel::durationColumn, "1600");
    EXPECT_EQ (ui.getSummaries(), juce::StringArray ("Error!: Duration must be lower than 00:20:00 or 1500 frames."));
    EXPECT_EQ (disc().items[0]->duration.getTimeInFrames(), 1200);

    edit (1, CustomGridModel::durationColumn, "1500"); // the limit itself leaves index 2 empty
    EXPECT_EQ (disc().items[1]->duration.getTimeInFrames(), 0);

    // One undo reverts both items of the edit.
    screen->getUndoManager().undo();
    EXPECT_EQ (disc().items[0]->duration.getTimeInFrames(), 1200);
    EXPECT_EQ (disc().items[1]->duration.getTimeInFrames(), 300);
    EXPECT_EQ (disc().items[1]->fileOffset.getTimeInFrames(), 1200);
}

TEST_F (CellEditor, ShorteningAnIndexZeroThatHoldsAudioAsksToDiscardItsFile)
{
    tracks ({ 400, 400 });
    auto& pause = *disc().items[1];
    pause.folder = folder.get().getFullPathName();
    pause.fileName = "track02.wav";
    screen->refreshTable();

    ui.answerOkCancel (false);
    edit (2, CustomGridModel::durationColumn, "100");
    EXPECT_EQ (ui.getCalls ("question")[0].text, "Changing the duration of this index will discard the reference to track02.wav.\n\nContinue?");
    EXPECT_EQ (disc().items[1]->duration.getTimeInFrames(), 150);
    EXPECT_EQ (disc().items[1]->fileName, "track02.wav");

    ui.answerOkCancel (true);
    edit (2, CustomGridModel::durationColumn, "100");
    EXPECT_EQ (disc().items[1]->duration.getTimeInFrames(), 100);
    EXPECT_TRUE (disc().items[1]->isSilence());
}

TEST_F (CellEditor, IsrcsAreCleanedAndChecked)
{
    tracks ({ 400 });
    edit (0, CustomGridModel::isrcColumn, "us-s1z-99-00001");
    EXPECT_EQ (disc().pregapItem->isrc, "USS1Z9900001");
    EXPECT_TRUE (ui.getCalls ("question").empty()); // one track: nothing to increment
    EXPECT_EQ (undoNames().strings.getLast(), "Change ISRC code(s)");

    edit (0, CustomGridModel::isrcColumn, "US-S1Z-99-0001");
    EXPECT_EQ (ui.getSummaries().strings.getLast(),
               "Error!: Invalid ISRC format, use CCXXXYYNNNNN, where CC is the 2-character country code (uppercase), XXX is the alphanumeric registrant code (uppercase), YY are the last two digits of the year and NNNNN is a unique 5-digit number.");
    EXPECT_EQ (disc().pregapItem->isrc, "USS1Z9900001");
}

struct IncrementCase
{
    const char* setting; // "incISRC", empty for none
    const char* typed;
    std::vector<const char*> codes; // tracks 1, 2, 3
};

TEST_F (CellEditor, TrackOnesIsrcCanNumberEveryTrack)
{
    tracks ({ 400, 400, 400 });
    disc().items[0]->isrc = "MISPLACED000"; // a second code on track 1 goes
    screen->refreshTable();

    for (const auto& c : { IncrementCase { "", "USS1Z9900001", { "USS1Z9900001", "USS1Z9900002", "USS1Z9900003" } },
                           IncrementCase { "1", "USS1Z9999999", { "USS1Z9999999", "USS1Z9900000", "USS1Z9900001" } },
                           IncrementCase { "2", "USS1Z9900001", { "USS1Z9900001", "USS1Z9900011", "USS1Z9900021" } },
                           IncrementCase { "3", "USS1Z9900001", { "USS1Z9900001", "USS1Z9900101", "USS1Z9900201" } } })
    {
        SCOPED_TRACE (c.typed);
        if (juce::String (c.setting).isNotEmpty())
            StoredSettings::getInstance()->getProps().setValue ("incISRC", c.setting);
        if (disc().pregapItem->isrc.isNotEmpty())
        {
            ui.answerOkCancel (false); // clearing track 1's code only
            edit (0, CustomGridModel::isrcColumn, "");
        }
        ui.answerOkCancel (true);
        ui.clear();
        edit (0, CustomGridModel::isrcColumn, c.typed);
        ASSERT_EQ (ui.getCalls ("question").size(), 1u);
        EXPECT_EQ (ui.getCalls ("question")[0].text, "Apply incrementing ISRC for all tracks?");
        EXPECT_EQ (disc().pregapItem->isrc, c.codes[0]);
        EXPECT_EQ (disc().items[1]->isrc, c.codes[1]);
        EXPECT_EQ (disc().items[3]->isrc, c.codes[2]);
        EXPECT_EQ (disc().items[0]->isrc, "");
        EXPECT_EQ (disc().items[2]->isrc, "");
    }

    // Clearing it offers to clear every track; one undo brings them back.
    ui.answerOkCancel (true);
    edit (0, CustomGridModel::isrcColumn, "");
    EXPECT_EQ (ui.getCalls ("question").back().text, "Delete ISRC codes for all tracks?");
    EXPECT_EQ (disc().items[1]->isrc, "");
    screen->getUndoManager().undo();
    EXPECT_EQ (disc().items[1]->isrc, "USS1Z9900101");
    EXPECT_EQ (disc().pregapItem->isrc, "USS1Z9900001");
}

TEST_F (CellEditor, FileNamesAreProposedAsTitles)
{
    tracks ({ 400, 400, 400 });
    auto* title = cell (1, CustomGridModel::titleColumn);
    focus (*title);
    EXPECT_EQ (title->getText(), "track01");

    ui.answerOkCancel (true);
    focus (*screen);
    EXPECT_EQ (ui.getCalls ("question")[0].text, "Apply filenames as title for all tracks?");
    EXPECT_EQ (titles(), juce::StringArray ({ "track01", "track02", "track03" }));
    EXPECT_EQ (undoNames().strings.getLast(), "Change CD text title data");

    // Another title asks nothing; clearing row 1's asks to clear them all.
    edit (1, CustomGridModel::titleColumn, "Intro");
    EXPECT_EQ (ui.getCalls ("question").size(), 1u);
    ui.answerOkCancel (true);
    edit (1, CustomGridModel::titleColumn, "");
    EXPECT_EQ (ui.getCalls ("question").back().text, "Delete titles for all tracks?");
    EXPECT_EQ (titles(), juce::StringArray ({ "", "", "" }));

    screen->getUndoManager().undo();
    EXPECT_EQ (titles(), juce::StringArray ({ "Intro", "track02", "track03" }));
}

TEST_F (CellEditor, TitlesMustBeShortPrintableLatin1)
{
    tracks ({ 400 });
    edit (1, CustomGridModel::titleColumn, "Before");

    for (auto [typed, error] : { std::pair { juce::String::repeatedString ("x", 161), "Expression too long, 160 characters allowed." },
                                 { juce::String (juce::CharPointer_UTF8 ("Price \xe2\x82\xac")), "Only ISO 8859-1 characters accepted." },
                                 { juce::String ("Tab\there"), "Only ISO 8859-1 characters accepted." } })
    {
        ui.clear();
        edit (1, CustomGridModel::titleColumn, typed);
        EXPECT_EQ (ui.getSummaries(), juce::StringArray ("Error!: " + juce::String (error)));
        EXPECT_EQ (disc().items[0]->title, "Before");
        EXPECT_EQ (cell (1, CustomGridModel::titleColumn)->getText(), "Before");
    }

    edit (1, CustomGridModel::titleColumn, juce::String::repeatedString ("y", 160));
    EXPECT_EQ (disc().items[0]->title.length(), 160);
    edit (1, CustomGridModel::titleColumn, juce::String (juce::CharPointer_UTF8 ("Caf\xc3\xa9")));
    EXPECT_EQ (disc().items[0]->title, juce::String (juce::CharPointer_UTF8 ("Caf\xc3\xa9")));
}

TEST_F (CellEditor, TrackOnesPerformerCanGoToEveryTrackAndTheDisc)
{
    tracks ({ 400, 400 });
    disc().performer = "Old";

    ui.answerOkCancel (true);
    edit (1, CustomGridModel::performerColumn, "The Band");
    EXPECT_EQ (ui.getCalls ("question")[0].text, "Apply this performer name for all tracks?");
    EXPECT_EQ (disc().items[0]->performer, "The Band");
    EXPECT_EQ (disc().items[2]->performer, "The Band");
    EXPECT_EQ (disc().performer, "The Band");
    EXPECT_EQ (screen->getAlbumPerformerEditor().getText(), "The Band");
    EXPECT_EQ (undoNames().strings.getLast(), "Change CD text performer data");

    // One undo reverts the cell, the other tracks and the disc performer.
    screen->getUndoManager().undo();
    EXPECT_EQ (disc().items[0]->performer, "");
    EXPECT_EQ (disc().items[2]->performer, "");
    EXPECT_EQ (disc().performer, "Old");

    ui.answerOkCancel (false);
    edit (1, CustomGridModel::performerColumn, "Solo");
    EXPECT_EQ (disc().items[0]->performer, "Solo");
    EXPECT_EQ (disc().items[2]->performer, ""); // "No" keeps the single change
}

TEST_F (CellEditor, TabSkipsReadOnlyCellsAndReturnLeavesTheCell)
{
    tracks ({ 400 });
    auto* title = cell (1, CustomGridModel::titleColumn);
    focus (*title);
    title->selectAll();
    title->insertTextAtCaret ("Typed");
    title->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    TestHelpers::pumpMessages (20);
    EXPECT_TRUE (screen->hasKeyboardFocus (false));
    EXPECT_EQ (disc().items[0]->title, "Typed");

    auto* readOnly = cell (1, CustomGridModel::durationColumn);
    readOnly->focusGained (juce::Component::focusChangedByTabKey);
    TestHelpers::pumpMessages (20);
    EXPECT_FALSE (readOnly->hasKeyboardFocus (false));
}

TEST_F (CellEditor, PressingSelectsTheWholeTrackAndReleasingThePressedRow)
{
    tracks ({ 400, 400, 400 });
    splitTrack (5, 200); // track 3: pause, index 1, index 2 (rows 4, 5, 6)

    auto* pressed = cell (5, CustomGridModel::trackColumn);
    pressed->mouseDown (mouseEvent (*pressed));
    EXPECT_EQ (grid().getNumSelectedRows(), 3);
    for (int row : { 4, 5, 6 })
        EXPECT_TRUE (grid().isRowSelected (row)) << row;

    pressed->mouseUp (mouseEvent (*pressed));
    EXPECT_EQ (grid().getNumSelectedRows(), 1);
    EXPECT_TRUE (grid().isRowSelected (5));
}

TEST_F (CellEditor, TheContextMenuOffersListEditsWhereTheyApply)
{
    tracks ({ 400, 400 });
    splitTrack (3, 200); // track 2: pause (row 2), index 1 (row 3), index 2 (row 4)
    auto* editor = cell (1, CustomGridModel::trackColumn);

    const auto addPauseEnabled = [&] (int selected)
    {
        table().selectRow (selected, true, true);
        const auto menu = editor->createContextMenu();
        for (juce::PopupMenu::MenuItemIterator item (menu); item.next();)
            if (item.getItem().itemID == TableEditor::addPauseItem)
                return item.getItem().isEnabled;
        return false;
    };
    EXPECT_FALSE (addPauseEnabled (0)); // the pregap row
    EXPECT_FALSE (addPauseEnabled (1)); // track 1's index 1: the pregap item is its pause
    EXPECT_FALSE (addPauseEnabled (2)); // a pause
    EXPECT_FALSE (addPauseEnabled (3)); // starts a track that has its pause
    EXPECT_FALSE (addPauseEnabled (4)); // index 2

    ui.answerOkCancel (true);
    table().selectRow (2, true, true);
    editor->performMenuItem (TableEditor::deleteIndexItem);
    EXPECT_TRUE (addPauseEnabled (2)); // track 2 has no pause now
    editor->performMenuItem (TableEditor::addPauseItem);
    EXPECT_EQ (disc().items[1]->indexNumber, 0);

    ui.answerOkCancel (true);
    table().selectRow (3, true, true);
    editor->performMenuItem (TableEditor::deleteTrackItem);
    EXPECT_EQ (disc().items.size(), 1);
    EXPECT_EQ (undoNames(), juce::StringArray ({ "Delete index", "Insert pause", "Delete audio track" }));

    // No menu for a CD master, a locked project or while the preview plays.
    EXPECT_TRUE (editor->opensContextMenu());
    screen->projectLocked = true;
    EXPECT_FALSE (editor->opensContextMenu());
    screen->projectLocked = false;
    screen->masterType = 1;
    EXPECT_FALSE (editor->opensContextMenu());
}
} // namespace
