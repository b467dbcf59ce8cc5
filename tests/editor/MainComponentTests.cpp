#include "app/StoredSettings.h"
#include "disc/UndoableActions.h"
#include "formats/DDPCipher.h"

#include "support/MainScreenFixture.h"

namespace
{
using MainScreen = MainScreenFixture;

juce::StringArray fileNames (const CDItem& disc)
{
    juce::StringArray names;
    for (auto* item : disc.items)
        if (item->fileName.isNotEmpty())
            names.add (item->fileName);
    return names;
}

std::vector<std::pair<int, int>> numbers (const CDItem& disc)
{
    std::vector<std::pair<int, int>> result;
    for (auto* item : disc.items)
        result.emplace_back (item->trackNumber, item->indexNumber);
    return result;
}

TEST_F (MainScreen, AsksForTheMasterTypeFirst)
{
    for (auto [type, label] : { std::pair { 1, "Copy CD" }, { 0, "Load Files" } })
    {
        ui.clear();
        auto& s = open (type);

        const auto alerts = ui.getCalls ("alert");
        ASSERT_EQ (alerts.size(), 1u);
        const auto& request = alerts[0].alert;
        EXPECT_EQ (request.title, "Master Type");
        EXPECT_EQ (request.icon, MessageIcon::question);
        ASSERT_TRUE (request.note.has_value());
        EXPECT_EQ (request.note->text, "Please specify what type of master you want to use as source.");
        EXPECT_EQ (request.note->height, 72);
        EXPECT_EQ (alerts[0].buttons, juce::StringArray ({ "Audio CD (Physical Disc)", "Individual Files (Wav, Aiff or Flac)" }));
        EXPECT_EQ (request.buttons[0].key, AlertButton::Key::none);

        EXPECT_EQ (s.masterType, type);
        EXPECT_EQ (s.getStartButton().getButtonText(), label);
        EXPECT_EQ (s.getStartButton().getTooltip(), label);
        EXPECT_FALSE (s.getBurnButton().isEnabled());
        EXPECT_FALSE (s.getUploadButton().isEnabled());
        EXPECT_FALSE (s.getMultiDiscToggle().isEnabled());
        EXPECT_FALSE (s.getMcnEditor().isVisible());
        EXPECT_EQ (table().getNumRows(), 0);
        EXPECT_EQ (s.getTotalLengthLabel().getText(), "00:00:00");
        EXPECT_EQ (s.getRecommendLink().getTooltip(), "Click for more information");
        EXPECT_EQ (s.getStartButton().findColour (juce::TextButton::buttonColourId), juce::Colour (0xff00863e));
        screen.reset();
    }
}

TEST_F (MainScreen, AFilesMasterAsksForTheClientOnceThenAddsToTheDisc)
{
    auto& s = open();
    loadFiles (makeFiles ({ 400, 500 }));

    const auto alerts = ui.getCalls ("alert");
    ASSERT_EQ (alerts.size(), 3u);
    EXPECT_EQ (alerts[1].title, "Client Information");
    EXPECT_EQ (alerts[2].title, "Pause");
    EXPECT_EQ (alerts[2].text, "Set the pause in seconds to add before the track(s)");
    EXPECT_EQ (alerts[2].buttons, juce::StringArray ({ "Ok", "Cancel" }));
    ASSERT_TRUE (alerts[2].alert.slider.has_value());
    EXPECT_EQ (alerts[2].alert.slider->value, 2.0); // "defaultpause" 150 frames
    EXPECT_EQ (alerts[2].alert.slider->maximum, 4.0);
    EXPECT_EQ (ui.getCalls ("files")[0].title, "Open one or more files...");
    EXPECT_EQ (ui.getCalls ("files")[0].text, "*.wav;*.aif;*.aiff;*.aifc;*.flac");

    EXPECT_EQ (s.getClientDetails().jobNumber, "AB12345");
    EXPECT_EQ (s.getClientDetails().serverNumber, 2);
    EXPECT_EQ (s.ftpDirectory, "AB12345");
    EXPECT_EQ (s.ftpPort, "21");
    EXPECT_EQ (disc().items.size(), 3);
    EXPECT_TRUE (s.getBurnButton().isEnabled());
    EXPECT_TRUE (s.getUploadButton().isEnabled());
    EXPECT_TRUE (s.getMultiDiscToggle().isEnabled());
    EXPECT_EQ (table().getNumRows(), 4);
    EXPECT_EQ (s.getTotalLengthLabel().getText(), CDDuration (150 + 10 + 400 + 150 + 10 + 500).toString());

    // The next click goes straight to the pause and adds to the same disc.
    ui.clear();
    loadFiles (makeFiles ({ 300 }), 0.0, false);
    EXPECT_EQ (ui.getCalls ("alert").size(), 1u);
    EXPECT_EQ (disc().items.size(), 4); // no pause: "defaultpause" is 0 now
    EXPECT_EQ (StoredSettings::getInstance()->getProps().getValue ("defaultpause"), "0");
}

TEST_F (MainScreen, TheClientInformationIsAskedUntilItIsValid)
{
    auto& s = open();
    ui.answerAlert (clientReply ("", "someone@example.com"));
    ui.answerAlert (clientReply ("ab12345", "not an address"));
    ui.answerAlert (clientReply ("  ab12345  ", "  Some.One@Example.COM "));
    ui.answerAlert (0); // the pause question, cancelled
    click (s.getStartButton());

    EXPECT_EQ (ui.getSummaries(),
               juce::StringArray ({ "Master Type: ", "Client Information: ", "Error!: Please enter a value in all fields.",
                                    "Client Information: ", "Invalid email address!: Please enter a valid email address.",
                                    "Client Information: ", "Pause: Set the pause in seconds to add before the track(s)" }));

    const auto dialog = ui.getCalls ("alert")[1].alert;
    EXPECT_EQ (dialog.icon, MessageIcon::question);
    ASSERT_EQ (dialog.textFields.size(), 2u);
    EXPECT_EQ (dialog.textFields[0].name, "jobsrv");
    EXPECT_EQ (dialog.textFields[0].label, "Job Number");
    EXPECT_EQ (dialog.textFields[1].name, "email");
    EXPECT_EQ (dialog.textFields[1].label, "Email Address");
    EXPECT_EQ (dialog.note->text, "If you do not know your Job Number, please contact your Orvane Inc. representative by phone or email.");
    EXPECT_EQ (dialog.note->width, 330);

    EXPECT_EQ (s.getClientDetails().jobNumber, "AB12345");
    EXPECT_EQ (s.getClientDetails().serverNumber, 0);
    EXPECT_EQ (s.getClientDetails().emailAddress, "some.one@example.com");
    EXPECT_EQ (StoredSettings::getInstance()->getProps().getValue ("email"), "some.one@example.com");
    EXPECT_TRUE (disc().items.isEmpty());

    // Without a server number the details are incomplete: the dialog comes again, with the
    // stored address.
    ui.clear();
    ui.answerAlert (0);
    click (s.getStartButton());
    ASSERT_EQ (ui.getCalls ("alert").size(), 1u);
    EXPECT_EQ (ui.getCalls ("alert")[0].alert.textFields[1].initialText, "some.one@example.com");
}

TEST_F (MainScreen, ACDMasterAsksEveryTimeAndStartsANewProject)
{
    auto& s = open (1);
    for (int i = 0; i < 2; ++i)
    {
        ui.answerAlert (clientReply ("ab12345-2", "someone@example.com"));
        click (s.getStartButton());
    }

    EXPECT_EQ (ui.getSummaries(),
               juce::StringArray ({ "Master Type: ", "Client Information: ", "Error!: No CD/DVD/BD devices are available.",
                                    "Client Information: ", "Error!: No CD/DVD/BD devices are available." }));
    EXPECT_FALSE (s.getBurnButton().isEnabled());
}

TEST_F (MainScreen, ThePauseQuestionStoresWholeSeconds)
{
    open();
    for (auto [seconds, stored] : { std::pair { 0.0, "0" }, { 4.0, "300" }, { 2.0, "150" } })
    {
        ui.answerAlert (clientReply ("ab12345-2", "someone@example.com"));
        ui.answerAlert (sliderReply (seconds));
        ui.answerFiles ({});
        click (screen->getStartButton());
        EXPECT_EQ (StoredSettings::getInstance()->getProps().getValue ("defaultpause"), stored);
        screen.reset();
        open();
    }
}

TEST_F (MainScreen, FilesLandAfterTheSelectedTrackInNameOrder)
{
    open();
    const auto first = makeFiles ({ 400, 400, 400 }); // tracks 1, 2, 3
    loadFiles (first);
    ASSERT_EQ (numbers (disc()), (std::vector<std::pair<int, int>> { { 1, 1 }, { 2, 0 }, { 2, 1 }, { 3, 0 }, { 3, 1 } }));

    // With a row of track 2 selected, the files go after track 2's last item, sorted by name.
    auto b = DiscFixtures::makeWav (folder.get(), "b.wav", 588 * 400, 20);
    auto a = DiscFixtures::makeWav (folder.get(), "A.wav", 588 * 400, 21);
    auto c = DiscFixtures::makeWav (folder.get(), "c.WAV", 588 * 400, 22);
    table().selectRow (2, true, true);
    loadFiles ({ b, a, c }, 2.0, false);

    EXPECT_EQ (fileNames (disc()), juce::StringArray ({ "track01.wav", "track02.wav", "A.wav", "b.wav", "c.WAV", "track03.wav" }));

    // With track 3 selected, or nothing, they are appended.
    table().selectRow (disc().getItemSize() - 1, true, true);
    loadFiles (makeFiles ({ 400 }), 2.0, false);
    table().getGrid().deselectAllRows();
    loadFiles (makeFiles ({ 400 }), 2.0, false);
    EXPECT_EQ (fileNames (disc()).joinIntoString (" "), "track01.wav track02.wav A.wav b.wav c.WAV track03.wav track04.wav track05.wav");
}

TEST_F (MainScreen, AddingFilesIsOneUndoStep)
{
    open();
    loadFiles (makeFiles ({ 400 }));
    const auto before = disc().items;

    auto missing = folder.get().getChildFile ("gone.wav");
    loadFiles ({ makeFiles ({ 400 })[0], missing, makeFiles ({ 400 })[0] }, 2.0, false);
    EXPECT_TRUE (ui.getSummaries().contains ("Error!: File not found: gone.wav."));
    EXPECT_EQ (disc().items.size(), 5);
    EXPECT_EQ (undoNames(), juce::StringArray ({ "Add file(s)", "Add file(s)" }));

    screen->getUndoManager().undo();
    EXPECT_EQ (disc().items, before); // the very same items as before the click
    EXPECT_EQ (table().getNumRows(), 2);
    screen->getUndoManager().redo();
    EXPECT_EQ (disc().items.size(), 5);
}

TEST_F (MainScreen, NothingAddedLeavesTheDiscAndTheHistory)
{
    auto& s = open();
    auto noise = folder.get().getChildFile ("noise.wav");
    noise.replaceWithText ("not audio");
    loadFiles ({ noise });

    EXPECT_TRUE (disc().items.isEmpty());
    EXPECT_TRUE (undoNames().isEmpty());
    EXPECT_FALSE (s.getBurnButton().isEnabled());
    EXPECT_TRUE (ui.getSummaries().contains ("Error!: Error opening file: noise.wav."));
}

TEST_F (MainScreen, DeletingIndexesAndTracksAndInsertingPauses)
{
    auto& s = open();
    loadFiles (makeFiles ({ 400, 400, 400 }));
    disc().items[1]->isrc = "USS1Z9900002";

    s.deleteIndex (0);
    EXPECT_EQ (ui.getSummaries().strings.getLast(), "Error!: You can not delete this index.");

    ui.answerOkCancel (false);
    s.deleteIndex (1);
    EXPECT_EQ (ui.getCalls ("question").back().text, "Are you sure you want to delete this index?");
    EXPECT_EQ (disc().items.size(), 5);

    // Deleting a pause leaves its track without an index offset.
    ui.answerOkCancel (true);
    s.deleteIndex (2);
    EXPECT_EQ (numbers (disc()), (std::vector<std::pair<int, int>> { { 1, 1 }, { 2, 1 }, { 3, 0 }, { 3, 1 } }));
    EXPECT_EQ (disc().items[1]->indexOffset, 0);

    // A pause goes back in front of track 2 with its ISRC... which is gone with the deleted pause.
    s.addPause (2, CDDuration (300));
    EXPECT_EQ (disc().items[1]->duration.getTimeInFrames(), 150);
    EXPECT_EQ (disc().items[1]->indexNumber, 0);

    // Nothing on track 1's first row, nor on a track that has its pause.
    s.addPause (1, CDDuration (150));
    s.addPause (3, CDDuration (150));
    EXPECT_EQ (disc().items.size(), 5);

    ui.answerOkCancel (true);
    s.deleteTrack (4);
    EXPECT_EQ (ui.getCalls ("question").back().text, "Are you sure you want\n\nto delete track 3?");
    EXPECT_EQ (numbers (disc()), (std::vector<std::pair<int, int>> { { 1, 1 }, { 2, 0 }, { 2, 1 } }));

    EXPECT_EQ (undoNames(), juce::StringArray ({ "Add file(s)", "Delete index", "Insert pause", "Delete audio track" }));

    for (int i = 0; i < 3; ++i)
        s.getUndoManager().undo();
    EXPECT_EQ (numbers (disc()), (std::vector<std::pair<int, int>> { { 1, 1 }, { 2, 0 }, { 2, 1 }, { 3, 0 }, { 3, 1 } }));
    EXPECT_EQ (disc().items[1]->isrc, "USS1Z9900002");
}

TEST_F (MainScreen, InsertingAPauseMovesTheTracksIsrc)
{
    auto& s = open();
    loadFiles (makeFiles ({ 400, 400 }), 0.0);
    disc().items[1]->isrc = "USS1Z9900002";

    s.addPause (2, CDDuration (150));
    ASSERT_EQ (disc().items.size(), 3);
    EXPECT_EQ (disc().items[1]->isrc, "USS1Z9900002");
    EXPECT_EQ (disc().items[2]->isrc, "");
    EXPECT_EQ (undoNames().strings.getLast(), "Insert pause");
}

TEST_F (MainScreen, DeletingTheDataTrackIsOneStep)
{
    auto& s = open();
    loadFiles (makeFiles ({ 400 }));
    disc().audioLeadOut->duration = CDDuration (6750);
    disc().dataLeadIn->duration = CDDuration (4500);
    for (int index : { 0, 1 })
    {
        IndexItem data;
        data.indexNumber = index;
        data.duration = CDDuration (index == 0 ? 150 : 1000);
        disc().dataItems.add (disc().createItem (data));
    }
    s.refreshTable();
    EXPECT_EQ (table().getNumRows(), 4);

    ui.answerOkCancel (true);
    s.deleteTrack (3);
    EXPECT_EQ (ui.getCalls ("question").back().text, "Are you sure you want\n\nto delete track 2?");
    EXPECT_TRUE (disc().dataItems.isEmpty());
    EXPECT_EQ (disc().audioLeadOut->duration.getTimeInFrames(), 0);
    EXPECT_EQ (disc().dataLeadIn->duration.getTimeInFrames(), 0);
    EXPECT_EQ (undoNames().strings.getLast(), "Delete data track");

    s.getUndoManager().undo();
    EXPECT_EQ (disc().dataItems.size(), 2);
    EXPECT_EQ (disc().audioLeadOut->duration.getTimeInFrames(), 6750);
    EXPECT_EQ (disc().dataLeadIn->duration.getTimeInFrames(), 4500);
    EXPECT_EQ (s.getTotalLengthLabel().getText(), CDDuration (560 + 6750 + 4500 + 1150).toString());
}

TEST_F (MainScreen, FinishingExportsIntoANewFolderAndReloadsTheImage)
{
    auto& s = open();
    loadFiles (makeFiles ({ 400, 500 }));
    disc().title = "Album";

    ASSERT_TRUE (s.finishProject());
    const auto first = s.getExportFolder();
    EXPECT_EQ (first.getParentDirectory(), temporary);
    EXPECT_EQ (first.getFileName().length(), 8);
    EXPECT_TRUE (first.getFileName().containsOnly ("0123456789abcdef"));
    for (auto name : { "IMAGE.DAT", "PQDESCR", "DDPMS", "DDPID", "CDTEXT.BIN", "MD5-Checksum.md5" })
        EXPECT_TRUE (first.getChildFile (name).existsAsFile()) << name;

    for (auto* item : disc().items)
        EXPECT_TRUE (item->isSilence() || item->getFullPath() == first.getChildFile ("IMAGE.DAT").getFullPathName());
    EXPECT_EQ (disc().title, "Album");
    EXPECT_FALSE (s.getStartButton().isEnabled());
    EXPECT_TRUE (undoNames().isEmpty());
    EXPECT_EQ (disc().languageCode, 9);

    // Finishing again exports the reloaded disc into another folder and removes the first.
    ASSERT_TRUE (s.finishProject());
    EXPECT_NE (s.getExportFolder(), first);
    EXPECT_FALSE (first.exists());

    const auto last = s.getExportFolder();
    screen.reset();
    EXPECT_FALSE (last.exists()); // the export goes with the screen
}

TEST_F (MainScreen, AFailedCheckExportsNothing)
{
    auto& s = open();
    EXPECT_FALSE (s.finishProject());
    EXPECT_EQ (ui.getSummaries().strings.getLast(), "Error!: Empty project.");
    EXPECT_EQ (temporary.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
}

TEST_F (MainScreen, AnExportFolderThatCannotBeMadeKeepsTheDiscAndThePreviousExport)
{
    auto& s = open();
    loadFiles (makeFiles ({ 400 }));
    ASSERT_TRUE (s.finishProject());
    const auto previous = s.getExportFolder();
    const auto items = disc().items;

    // The temporary folder is now a file: nothing can be made in it.
    const auto blocked = folder.get().getChildFile ("blocked");
    blocked.replaceWithText ("a file");
    setenv ("TMPDIR", blocked.getFullPathName().toRawUTF8(), 1);

    EXPECT_FALSE (s.finishProject());
    EXPECT_TRUE (ui.getSummaries().strings.getLast().startsWith ("Error!: "));
    EXPECT_TRUE (previous.isDirectory());
    EXPECT_EQ (s.getExportFolder(), previous);
    EXPECT_EQ (disc().items, items);
}

TEST_F (MainScreen, ADiskWithoutRoomForTheImageIsRefusedBeforeExporting)
{
    auto& s = open();
    loadFiles (makeFiles ({ 4500 })); // a minute: about 10 MB of image
    TestHelpers::SmallDisk disk (folder.get().getChildFile ("small"), 2048);
    if (! disk.mounted)
        GTEST_SKIP() << "this machine does not let the tests mount a small file system";
    setenv ("TMPDIR", disk.folder.getFullPathName().toRawUTF8(), 1);
    const auto items = disc().items;

    EXPECT_FALSE (s.finishProject());
    EXPECT_EQ (ui.getSummaries().strings.getLast(),
               "Error!: There is not enough free space in " + disk.folder.getFullPathName() + " to write the master: 12 MB are needed.");
    EXPECT_EQ (disk.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    EXPECT_EQ (disc().items, items);
    EXPECT_EQ (s.getExportFolder(), juce::File());
    setenv ("TMPDIR", temporary.getFullPathName().toRawUTF8(), 1);
}

TEST_F (MainScreen, StepThreeWithoutATestCDAsksFirst)
{
    auto& s = open();
    loadFiles (makeFiles ({ 400 }));

    ui.answerOkCancel (false);
    click (s.getUploadButton());
    const auto warning = ui.getCalls ("question").back();
    EXPECT_EQ (warning.icon, MessageIcon::warning);
    EXPECT_EQ (warning.title, "Warning!");
    EXPECT_EQ (warning.text, "You have chosen to skip Step 2. We strongly advise you to either burn a test CD or preview your loaded master before proceeding.");
    EXPECT_EQ (warning.buttons, juce::StringArray ({ "Ignore", "Cancel" }));
    EXPECT_EQ (s.getExportFolder(), juce::File());

    // "Ignore" finishes the master; a multi-disc set asks for the disc number.
    s.getMultiDiscToggle().setToggleState (true, juce::dontSendNotification);
    ui.answerOkCancel (true);
    ui.answerAlert (0);
    click (s.getUploadButton());
    EXPECT_TRUE (s.getExportFolder().isDirectory());
    const auto multiDisc = ui.getCalls ("alert").back();
    EXPECT_EQ (multiDisc.title, "Multi-disc");
    EXPECT_EQ (multiDisc.text, "Set the current disc number");
    EXPECT_EQ (multiDisc.alert.slider->minimum, 1.0);
    EXPECT_EQ (multiDisc.alert.slider->maximum, 100.0);
    EXPECT_FALSE (s.projectLocked);
}

TEST_F (MainScreen, ALockedProjectIsNotExportedAgainNorEdited)
{
    auto& s = open();
    loadFiles (makeFiles ({ 400, 400 }));
    ASSERT_TRUE (s.finishProject());
    const auto folderBefore = s.getExportFolder();

    s.projectLocked = true;
    s.refreshTable();
    EXPECT_TRUE (s.finishProject());
    EXPECT_EQ (s.getExportFolder(), folderBefore);

    auto* title = cell (1, CustomGridModel::titleColumn);
    ASSERT_NE (title, nullptr);
    EXPECT_TRUE (title->isReadOnly());
    EXPECT_EQ (title->getTooltip(), "CD Text track title (must be on index 1 of a track)");
    EXPECT_EQ (title->getMouseCursor(), juce::MouseCursor (juce::MouseCursor::NormalCursor));

    table().selectRow (1, true, true);
    EXPECT_FALSE (grid().isInterestedInDragSource ({ "2", &grid(), {} }));
}

TEST_F (MainScreen, TheRecommendLinkShowsItsBubble)
{
    auto& s = open();
    s.buttonClicked (&s.getRecommendLink());
    ASSERT_NE (s.getBubble(), nullptr);
}

TEST_F (MainScreen, ClosingRemovesTheScratchFileAndKeepsTheTableLayout)
{
    open();
    table().getGrid().getHeader().setColumnWidth (CustomGridModel::titleColumn, 222);
    const auto scratch = temporary.getChildFile ("audio.wav");
    scratch.replaceWithText ("scratch");

    screen.reset();
    EXPECT_FALSE (scratch.exists());
    const auto layout = StoredSettings::getInstance()->getProps().getValue ("defaulttablelayout");
    EXPECT_TRUE (layout.contains ("222"));

    // The next screen restores it.
    open();
    EXPECT_EQ (table().getGrid().getHeader().getColumnWidth (CustomGridModel::titleColumn), 222);
    StoredSettings::getInstance()->getProps().setValue ("defaulttablelayout", "");
}

TEST_F (MainScreen, UndoAndRedoNeverLeaveADanglingItem)
{
    auto& s = open();
    loadFiles (makeFiles ({ 400, 400, 400 }));
    ui.answerOkCancel (true);
    s.deleteIndex (2);
    s.addPause (2, CDDuration (150));
    ui.answerOkCancel (true);
    s.deleteTrack (1);

    auto& undo = s.getUndoManager();
    for (int round = 0; round < 3; ++round)
    {
        while (undo.canUndo())
            undo.undo();
        EXPECT_TRUE (disc().items.isEmpty());
        while (undo.canRedo())
            undo.redo();
        ASSERT_EQ (disc().items.size(), 4);
    }

    // Every item the lists hold is alive and consistent.
    for (auto* item : disc().items)
        EXPECT_GE (item->duration.getTimeInFrames(), 0);
}
} // namespace
