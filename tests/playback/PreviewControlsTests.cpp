#include "app/StoredSettings.h"
#include "disc/UndoableActions.h"

#include "support/MainScreenFixture.h"

#include <cmath>

namespace
{
constexpr int samplesPerFrame = 588;
constexpr int blockSize = 512;

// The main screen with its preview driven by hand: this machine has no audio device, so the tests
// play the transport block by block as the device callback would.
class PreviewControls : public MainScreenFixture
{
public:
    // Tracks 1 to 3 with a pause before tracks 2 and 3 and the intake's index offset before the
    // audio of each track. The lengths put rows 2 and 3 on frames whose time in seconds is not
    // exact in binary, as most are.
    MainComponent& openThreeTracks()
    {
        auto& s = open();
        loadFiles (makeFiles ({ 443, 500, 600 }));
        EXPECT_EQ (disc().getItemSize(), 6);
        prepareOutput();
        return s;
    }

    MultipleAudioTransportSource& transport() { return screen->getTransport(); }
    void prepareOutput() { transport().prepareToPlay (blockSize, 44100.0); }

    // Plays numSamples as the device would, each block once the read-ahead holds it.
    juce::AudioBuffer<float> render (int numSamples)
    {
        juce::AudioBuffer<float> out (2, numSamples);
        juce::AudioBuffer<float> block (2, blockSize);

        for (int done = 0; done < numSamples; done += blockSize)
        {
            const auto count = juce::jmin (blockSize, numSamples - done);
            EXPECT_TRUE (transport().waitForReadAhead (count, 5000));
            block.clear();
            transport().getNextAudioBlock ({ &block, 0, count });
            for (int channel = 0; channel < 2; ++channel)
                out.copyFrom (channel, done, block, channel, 0, count);
        }
        return out;
    }

    // Plays until the transport stops itself at the end of the disc; returns the samples played.
    std::vector<juce::int16> renderToEnd()
    {
        std::vector<juce::int16> samples;
        for (int blocks = 0; transport().isPlaying() && blocks < 100000; ++blocks)
        {
            const auto buffer = render (blockSize);
            for (int i = 0; i < blockSize; ++i)
                for (int channel = 0; channel < 2; ++channel)
                    samples.push_back ((juce::int16) juce::roundToInt (buffer.getSample (channel, i) * 32768.0f));
        }
        return samples;
    }

    juce::int64 position() { return transport().getNextReadPosition(); }
    int startOf (int row) { return disc().getItem (row)->startTime.getTimeInFrames(); }
    int endOf (int row) { return disc().getItem (row)->getEndFrame(); }
    juce::int64 sampleOf (int frame) { return (juce::int64) frame * samplesPerFrame; }

    void select (int row) { table().selectRow (row, false, true); }
    int selected() { return table().getNumSelectedRows() > 0 ? table().getSelectedRow() : -1; }
    void seekTo (int frame) { screen->setPosition (frame / 75.0); }

    // A callback of a skip button that comes heldMs after the button went down, as its repeat
    // timer makes them while the button is held.
    void callbackAfterHolding (juce::Button& button, int heldMs, int callbacks = 1)
    {
        button.setState (juce::Button::buttonDown);
        juce::Thread::sleep (heldMs);
        for (int i = 0; i < callbacks; ++i)
            screen->buttonClicked (&button);
        button.setState (juce::Button::buttonNormal);
    }

    int count (const juce::String& summary)
    {
        const auto summaries = ui.getSummaries();
        return (int) std::count (summaries.begin(), summaries.end(), summary);
    }
};

std::vector<juce::int16> readImage (const juce::File& image)
{
    juce::MemoryBlock bytes;
    image.loadFileAsData (bytes);
    std::vector<juce::int16> samples (bytes.getSize() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] =
            (juce::int16) juce::ByteOrder::littleEndianShort (static_cast<const char*> (bytes.getData()) + 2 * i);
    return samples;
}

//==================================================================================================
TEST_F (PreviewControls, TheWholeDiscPlaysExactlyAsTheImageHoldsIt)
{
    auto& s = open();
    // Files that are not whole frames long carry samples into the next item; the last leaves its
    // frame to be completed with silence.
    loadFiles ({ DiscFixtures::makeWav (folder.get(), "a.wav", 400 * samplesPerFrame + 100, 1),
                 DiscFixtures::makeWav (folder.get(), "b.wav", 500 * samplesPerFrame + 300, 2),
                 DiscFixtures::makeWav (folder.get(), "c.wav", 350 * samplesPerFrame + 587, 3) });
    ASSERT_EQ (disc().items.size(), 5);

    // Track 2 gets an index 2 inside its file (with an offset into the file) and a zero-length
    // index 3 at its end.
    auto& whole = *disc().items[2];
    ASSERT_EQ (whole.extraSamples, 300); // the pause before it gave up the carry of track 1
    IndexItem second = whole, third = whole;
    whole.duration = CDDuration (200);
    whole.extraSamples = 0; // the carry it received, so that index 2 goes on where it stops
    second.indexNumber = 2;
    second.indexOffset = 0;
    second.fileOffset = CDDuration (200);
    second.duration = CDDuration (300);
    third.indexNumber = 3;
    third.indexOffset = 0;
    third.fileOffset = CDDuration (500);
    third.duration = CDDuration (0);
    disc().items.insert (3, disc().createItem (second));
    disc().items.insert (4, disc().createItem (third));
    s.itemsChanged();
    TestHelpers::pumpMessages (20);

    const auto exported = temporary.getChildFile ("master");
    ASSERT_TRUE (exported.createDirectory());
    ASSERT_TRUE (s.exportDDP (exported));
    const auto image = readImage (exported.getChildFile ("IMAGE.DAT"));
    ASSERT_EQ (image.size() % (2 * samplesPerFrame), 0u);

    const auto playAll = [this, &image]
    {
        prepareOutput();
        screen->setPosition (0.0);
        transport().start();
        auto played = renderToEnd();
        EXPECT_EQ (transport().getTotalLength() * 2, (juce::int64) image.size());
        played.resize (juce::jmin (played.size(), image.size() + 2 * blockSize));
        return played;
    };

    auto played = playAll();
    ASSERT_GE (played.size(), image.size());
    EXPECT_TRUE (std::all_of (played.begin() + (long) image.size(), played.end(), [] (auto v) { return v == 0; }));
    played.resize (image.size());
    EXPECT_TRUE (played == image);

    // Reloaded from the image, the disc plays the image itself.
    ASSERT_TRUE (s.importDDP (exported));
    played = playAll();
    played.resize (image.size());
    EXPECT_TRUE (played == image);
}

TEST_F (PreviewControls, WithoutAudioOnlyThePlayButtonResetsItself)
{
    auto& s = open();
    prepareOutput();

    click (s.getPlayButton());
    EXPECT_FALSE (s.getPlayButton().getToggleState());
    EXPECT_FALSE (transport().isPlaying());
    EXPECT_FALSE (s.isTimerRunning());

    s.setPosition (3.0);
    callbackAfterHolding (s.getNextButton(), 300, 3);
    callbackAfterHolding (s.getPreviousButton(), 300, 3);
    EXPECT_EQ (position(), 0);
    EXPECT_EQ (s.getPositionLabel().getText(), "00:00");
    EXPECT_EQ (s.getPositionSlider().getValue(), 0.0);
    EXPECT_EQ (s.updateRowAndTime(), 0);
}

TEST_F (PreviewControls, PlayWithoutASelectionStartsAtTheFirstIndexOne)
{
    auto& s = openThreeTracks();

    // Track 1 opens with a pause of its own after the pregap: row 1 is index 0, row 2 index 1.
    IndexItem pause;
    pause.trackNumber = 1;
    pause.indexNumber = 0;
    pause.duration = CDDuration (100);
    disc().insertItem (1, disc().createItem (pause));
    s.itemsChanged();
    TestHelpers::pumpMessages (20);
    grid().deselectAllRows();
    ASSERT_EQ (disc().getItem (2)->indexNumber, 1);

    click (s.getPlayButton());
    EXPECT_EQ (selected(), 2);
    EXPECT_TRUE (transport().isPlaying());
    EXPECT_TRUE (s.isTimerRunning());
    EXPECT_TRUE (s.getPlayButton().getToggleState());
    EXPECT_EQ (position(), sampleOf (startOf (2)));

    render (blockSize);
    s.timerCallback();
    EXPECT_EQ (selected(), 2);
    EXPECT_EQ (s.getPlayButton().getTooltip(), "Pause playback of selected index");
}

TEST_F (PreviewControls, TheDisplaysCountDownThroughAnIndexOffsetAndUpThroughAPause)
{
    DiscFixtures::setIntakeDefaults (150, 225); // three seconds before the audio of every track
    auto& s = openThreeTracks();
    const auto span = [this] (int row)
    { return disc().getItem (row)->indexOffset + disc().getItem (row)->duration.getTimeInFrames(); };

    struct Case
    {
        int row, framesIn;
        const char* label;
        int rel;
    };
    for (auto c : { Case { 1, 0, "00:03", -225 }, Case { 1, 75, "00:02", -150 }, Case { 1, 224, "00:00", -1 },
                    Case { 1, 225, "00:00", 0 }, Case { 1, 375, "00:02", 150 }, Case { 2, 80, "00:01", 80 },
                    Case { 3, 100, "00:01", -125 } })
    {
        SCOPED_TRACE (juce::String (c.row) + " " + juce::String (c.framesIn));
        select (c.row);
        seekTo (startOf (c.row) + c.framesIn);
        EXPECT_EQ (s.updateRowAndTime(), c.rel);
        EXPECT_EQ (s.getPositionLabel().getText(), c.label);
        EXPECT_DOUBLE_EQ (s.getPositionSlider().getValue(), c.rel > 0 ? (double) c.rel / span (c.row) : 0.0);
        EXPECT_EQ (selected(), c.row);
    }

    // The same while playing.
    select (3);
    seekTo (startOf (3));
    click (s.getPlayButton());
    render (75 * samplesPerFrame);
    s.timerCallback();
    EXPECT_EQ (s.getPositionLabel().getText(), "00:02");
    EXPECT_EQ (s.getPositionSlider().getValue(), 0.0);
}

TEST_F (PreviewControls, TheSelectionFollowsPlaybackAcrossIndexAndTrackBoundaries)
{
    auto& s = openThreeTracks();

    for (auto row : { 1, 2, 3 }) // track 1 to the pause of track 2, the pause to index 1, track 2 to track 3
    {
        SCOPED_TRACE (row);
        if (transport().isPlaying())
            transport().stop();
        select (row);
        seekTo (endOf (row) - 1);
        click (s.getPlayButton());
        ASSERT_TRUE (transport().isPlaying());
        ASSERT_EQ (selected(), row);

        render (2 * blockSize);
        EXPECT_EQ (selected(), row); // not before the timer ticks
        s.timerCallback();
        EXPECT_EQ (selected(), row + 1);
        EXPECT_EQ (position(), sampleOf (endOf (row) - 1) + 2 * blockSize); // no seek
        EXPECT_TRUE (transport().isPlaying());
    }
}

TEST_F (PreviewControls, PreviousAndNextClicks)
{
    auto& s = openThreeTracks();
    auto& previous = s.getPreviousButton();
    auto& next = s.getNextButton();

    struct Case
    {
        juce::Button* button;
        int row;
        double secondsIn;
        int expectedRow;
        int expectedFrame; // -1: where it was
    };
    for (auto c :
         { Case { &previous, 3, 3.0, 3, startOf (3) }, // back to the item's start
           Case { &previous, 3, 1.0, 1, startOf (1) }, // the previous track
           Case { &previous, 5, 1.9, 3, startOf (3) }, Case { &previous, 1, 1.0, 1, -1 }, // on track 1 nothing happens
           Case { &next, 1, 1.0, 3, startOf (3) }, Case { &next, 2, 1.0, 3, startOf (3) },
           Case { &next, 4, 1.0, 4, -1 }, // the last track: nothing happens
           Case { &next, 5, 1.0, 5, -1 } })
    {
        SCOPED_TRACE (juce::String (c.button == &next ? "next " : "previous ") + juce::String (c.row) + " "
                      + juce::String (c.secondsIn));
        select (c.row);
        s.setPosition (startOf (c.row) / 75.0 + c.secondsIn);
        const auto before = position();
        click (*c.button);
        EXPECT_EQ (selected(), c.expectedRow);
        EXPECT_EQ (position(), c.expectedFrame < 0 ? before : sampleOf (c.expectedFrame));
    }

    // While playing the transport goes on from the new place.
    select (3);
    s.setPosition (startOf (3) / 75.0 + 3.0);
    click (s.getPlayButton());
    click (previous);
    EXPECT_EQ (position(), sampleOf (startOf (3)));
    EXPECT_TRUE (transport().isPlaying());
    click (next);
    EXPECT_EQ (selected(), 5);
    EXPECT_EQ (position(), sampleOf (startOf (5)));
    EXPECT_TRUE (transport().isPlaying());
}

TEST_F (PreviewControls, AQuickPressSkipsAndAHeldButtonScansBySeconds)
{
    auto& s = openThreeTracks();
    auto& next = s.getNextButton();
    auto& previous = s.getPreviousButton();
    select (1);

    // Within 250 ms of the press: a click, also when it comes with the release.
    next.setState (juce::Button::buttonDown);
    next.setState (juce::Button::buttonNormal);
    s.buttonClicked (&next);
    EXPECT_EQ (selected(), 3);
    EXPECT_EQ (position(), sampleOf (startOf (3)));

    // Later callbacks scan a second each; while stopped, the first after a skip goes to the start
    // of the item skipped to.
    callbackAfterHolding (next, 300, 4);
    EXPECT_EQ (position(), sampleOf (startOf (3) + 3 * 75));
    callbackAfterHolding (previous, 300);
    EXPECT_EQ (position(), sampleOf (startOf (3) + 2 * 75));
    EXPECT_EQ (selected(), 3);

    // Scanning forward ends on the disc's last frame.
    const auto end = endOf (5);
    seekTo (end - 100);
    callbackAfterHolding (next, 300, 4);
    EXPECT_EQ (position(), sampleOf (end - 1));
}

TEST_F (PreviewControls, DraggingTheSliderToItsEndStopsOnTheItemsLastFrame)
{
    auto& s = openThreeTracks();
    auto& slider = s.getPositionSlider();

    // Stopped: the slider's fraction of the item.
    select (3);
    slider.startedDragging();
    static_cast<juce::Slider&> (slider).setValue (0.5, juce::dontSendNotification);
    slider.stoppedDragging();
    const auto span = endOf (3) - startOf (3);
    EXPECT_EQ (position() / samplesPerFrame, startOf (3) + span / 2);

    // Playing: the timer cannot move the slider under the hand; at its end playback stops.
    click (s.getPlayButton());
    render (4 * blockSize);
    slider.startedDragging();
    static_cast<juce::Slider&> (slider).setValue (1.0, juce::dontSendNotification);
    s.timerCallback();
    EXPECT_EQ (slider.getValue(), 1.0);
    slider.stoppedDragging();
    EXPECT_FALSE (transport().isPlaying());
    EXPECT_EQ (position(), sampleOf (endOf (3) - 1));
    s.timerCallback();
    EXPECT_FALSE (s.getPlayButton().getToggleState());
    EXPECT_FALSE (s.isTimerRunning());
}

TEST_F (PreviewControls, AMissingFileIsReportedOnceAndEndsThePlaylist)
{
    auto& s = open();
    const auto files = makeFiles ({ 400, 400, 400 });
    loadFiles (files);
    ASSERT_TRUE (files[1].deleteFile());

    // Adding a file rebuilds the playlist, which stops at the missing file.
    loadFiles (makeFiles ({ 300 }), 2.0, false);
    const auto error = "Error!: File " + files[1].getFullPathName() + " does not exist.";
    EXPECT_EQ (count (error), 1) << ui.getSummaries().joinIntoString ("\n");

    // What plays is the disc up to the missing file's audio.
    prepareOutput();
    ASSERT_EQ (disc().getItem (3)->fileName, files[1].getFileName());
    const auto audioOfMissing = startOf (3) + disc().getItem (3)->indexOffset;
    EXPECT_EQ (transport().getTotalLength(), sampleOf (audioOfMissing));
    transport().start();
    const auto played = renderToEnd();
    EXPECT_EQ (position(), sampleOf (audioOfMissing));
    EXPECT_GE (played.size(), (size_t) sampleOf (audioOfMissing) * 2);

    // An edit (one undo step of several actions) reports it once more, not once per action.
    ui.clear();
    s.getUndoManager().undo();
    TestHelpers::pumpMessages (20);
    EXPECT_EQ (count (error), 1) << ui.getSummaries().joinIntoString ("\n");
}

TEST_F (PreviewControls, SelectingARowWhileStoppedMovesToItsStart)
{
    auto& s = openThreeTracks();
    for (int row = 0; row < disc().getItemSize(); ++row)
    {
        select (row);
        EXPECT_EQ (position(), sampleOf (startOf (row))) << row;
        EXPECT_EQ (s.updateRowAndTime(), -disc().getItem (row)->indexOffset) << row;
    }

    // Within the selected item the position stays where it is.
    seekTo (startOf (5) + 100);
    select (5);
    EXPECT_EQ (position(), sampleOf (startOf (5) + 100));
}

TEST_F (PreviewControls, TheEndOfTheDiscTurnsThePlayButtonOff)
{
    auto& s = openThreeTracks();
    select (5);
    seekTo (endOf (5) - 20);
    click (s.getPlayButton());
    ASSERT_TRUE (transport().isPlaying());

    renderToEnd(); // the transport stops itself
    EXPECT_TRUE (s.isTimerRunning());
    s.timerCallback();
    EXPECT_FALSE (s.getPlayButton().getToggleState());
    EXPECT_FALSE (s.isTimerRunning());
    EXPECT_EQ (s.getPlayButton().getTooltip(), "Play selected index");
    EXPECT_EQ (selected(), 5);

    // Play again starts the selected item over.
    click (s.getPlayButton());
    EXPECT_TRUE (transport().isPlaying());
    EXPECT_EQ (position(), sampleOf (startOf (5)));
}

TEST_F (PreviewControls, NothingSelectedWhileStoppedShowsTheItemAtThePosition)
{
    auto& s = openThreeTracks();
    grid().deselectAllRows();
    seekTo (startOf (3) + 10 + 150);
    EXPECT_EQ (s.updateRowAndTime(), 150);
    EXPECT_EQ (s.getPositionLabel().getText(), "00:02");
    EXPECT_DOUBLE_EQ (s.getPositionSlider().getValue(), 150.0 / (endOf (3) - startOf (3)));
    EXPECT_EQ (selected(), -1);
}

TEST_F (PreviewControls, EveryCommandWaitsWhileThePreviewPlays)
{
    auto& s = openThreeTracks();
    const juce::Array<juce::CommandID> commands { MainComponent::audioSettingsCommand,
                                                  MainComponent::instructionsCommand, MainComponent::aboutCommand,
                                                  MainComponent::undoCommand, MainComponent::redoCommand };
    const auto active = [&s] (juce::CommandID id)
    {
        juce::ApplicationCommandInfo info (id);
        s.getCommandInfo (id, info);
        return (info.flags & juce::ApplicationCommandInfo::isDisabled) == 0;
    };

    select (1);
    click (s.getPlayButton());
    ASSERT_TRUE (s.isTimerRunning());
    for (auto id : commands)
        EXPECT_FALSE (active (id)) << id;

    click (s.getPlayButton());
    s.timerCallback();
    EXPECT_FALSE (s.isTimerRunning());
    for (auto id : { MainComponent::audioSettingsCommand, MainComponent::instructionsCommand,
                     MainComponent::aboutCommand, MainComponent::undoCommand })
        EXPECT_TRUE (active (id)) << id;
}

TEST_F (PreviewControls, ARebuildKeepsTheSelectedItemAndEndsPlayback)
{
    auto& s = openThreeTracks();

    // Stopped: an edit rebuilds the playlist and the transport stays on the selected item.
    select (3);
    auto changed = *disc().getItem (3);
    changed.title = "Song";
    s.perform (new IndexItemChangeAction (disc().getItem (3), *disc().getItem (3), changed, &s),
               "Change CD text title data", true);
    TestHelpers::pumpMessages (20);
    EXPECT_EQ (position(), sampleOf (startOf (3)));

    // Playing: the rebuild ends playback, also when the disc is left without audio.
    click (s.getPlayButton());
    ASSERT_TRUE (transport().isPlaying());
    while (s.getUndoManager().canUndo())
        s.getUndoManager().undo();
    TestHelpers::pumpMessages (20);
    ASSERT_TRUE (disc().items.isEmpty());
    EXPECT_FALSE (transport().isPlaying());
    s.timerCallback();
    EXPECT_FALSE (s.getPlayButton().getToggleState());
    EXPECT_FALSE (s.isTimerRunning());
}

TEST_F (PreviewControls, AnEmptiedTransportIsRebuiltWhenPlayIsPressed)
{
    auto& s = openThreeTracks();
    select (3);
    transport().releaseResources(); // what the player does when the device stops or changes
    prepareOutput();
    EXPECT_EQ (transport().getTotalLength(), 0);

    click (s.getPlayButton());
    EXPECT_TRUE (transport().isPlaying());
    EXPECT_EQ (position(), sampleOf (startOf (3)));
}

TEST_F (PreviewControls, TheSavedDeviceStateIsHandedToTheDeviceManager)
{
    // An impossible device: JUCE falls back to the default one, and with no sound card that
    // opens nothing without an error, so no warning comes.
    const juce::String state =
        "<DEVICESETUP deviceType=\"ALSA\" audioOutputDeviceName=\"No such device\" audioDeviceRate=\"44100.0\"/>";
    auto& settings = StoredSettings::getInstance()->getProps();
    settings.setValue ("audioDeviceState", state);
    auto& s = open();
    settings.removeValue ("audioDeviceState");

    EXPECT_TRUE (ui.getCalls ("message").empty()) << ui.getSummaries().joinIntoString ("\n");
    const auto restored = s.getDeviceManager().createStateXml();
    ASSERT_NE (restored, nullptr);
    EXPECT_EQ (restored->getStringAttribute ("audioOutputDeviceName"), "No such device");
}

//==================================================================================================
// The pixels of an image that are close to a colour.
std::vector<bool> maskOf (const juce::Image& image, juce::Colour colour)
{
    std::vector<bool> mask;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const auto p = image.getPixelAt (x, y);
            mask.push_back (std::abs (p.getRed() - colour.getRed()) < 60
                            && std::abs (p.getGreen() - colour.getGreen()) < 60
                            && std::abs (p.getBlue() - colour.getBlue()) < 60);
        }
    return mask;
}

struct ButtonImage
{
    int width, height;
    std::vector<bool> shape;

    bool at (int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height && shape[(size_t) (y * width + x)];
    }
    int column (int x) const
    {
        int n = 0;
        for (int y = 0; y < height; ++y)
            n += at (x, y) ? 1 : 0;
        return n;
    }
    int count() const { return (int) std::count (shape.begin(), shape.end(), true); }
};

ButtonImage drawButton (int shape, bool on)
{
    TransportButton button ("button", shape, "tip");
    button.setColour (juce::TextButton::textColourOffId, juce::Colours::red);
    button.setColour (juce::TextButton::textColourOnId, juce::Colours::blue);
    button.setClickingTogglesState (true);
    button.setToggleState (on, juce::dontSendNotification);
    button.setSize (40, 26);
    const auto image = TestHelpers::snapshot (button);
    return { 40, 26, maskOf (image, on ? juce::Colours::blue : juce::Colours::red) };
}

TEST (TransportButton, DrawsItsShapeAndShowsItPressedWhenToggledOn)
{
    const auto play = drawButton (TransportButton::play, false);
    ASSERT_GT (play.count(), 40);
    // The triangle points right: tall on its left, narrowing to the tip.
    EXPECT_GT (play.column (13), play.column (20));
    EXPECT_GT (play.column (20), play.column (25));
    EXPECT_GT (play.column (13), 8);
    EXPECT_LT (play.column (25), 5);

    const auto previous = drawButton (TransportButton::previous, false);
    const auto next = drawButton (TransportButton::next, false);
    ASSERT_GT (previous.count(), 40);
    int mirrored = 0;
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < 40; ++x)
            mirrored += previous.at (x, y) == next.at (39 - x, y) ? 0 : 1;
    EXPECT_LE (mirrored, 2);
    // Previous points left: its tips are narrow, on the left of each edge.
    EXPECT_LT (previous.column (13), previous.column (19));

    // Toggled on, the shape moves up and left by a pixel, in the "on" text colour.
    const auto pressed = drawButton (TransportButton::play, true);
    int shifted = 0;
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < 40; ++x)
            shifted += pressed.at (x, y) == play.at (x + 1, y + 1) ? 0 : 1;
    EXPECT_LE (shifted, 2);
    EXPECT_EQ (pressed.count(), play.count());
}

TEST (PositionLabel, PaintsAGlossyPanelWithWhiteLowerAndRightEdges)
{
    PositionLabel label ("position", "00:00");
    label.setColour (juce::Label::outlineColourId, juce::Colours::grey);
    label.setSize (120, 44);
    const auto image = TestHelpers::snapshot (label);

    // Away from the text: darker at the top than at the bottom.
    const auto top = image.getPixelAt (4, 3).getBrightness();
    const auto bottom = image.getPixelAt (4, 40).getBrightness();
    EXPECT_LT (top, bottom);

    for (int x = 1; x < 120; ++x)
        EXPECT_EQ (image.getPixelAt (x, 43), juce::Colours::white) << x;
    for (int y = 1; y < 44; ++y)
        EXPECT_EQ (image.getPixelAt (119, y), juce::Colours::white) << y;
    EXPECT_EQ (image.getPixelAt (0, 0), juce::Colours::grey);
    EXPECT_EQ (image.getPixelAt (0, 20), juce::Colours::grey);
}

TEST (TransportSlider, IgnoresNewValuesWhileDragged)
{
    TransportSlider slider (nullptr);
    EXPECT_EQ (slider.getMinimum(), 0.0);
    EXPECT_EQ (slider.getMaximum(), 1.0);
    EXPECT_EQ (slider.getInterval(), 0.0);
    EXPECT_EQ (slider.getTextBoxPosition(), juce::Slider::NoTextBox);

    slider.setValue (0.25, juce::dontSendNotification);
    slider.startedDragging();
    slider.setValue (0.75, juce::dontSendNotification);
    EXPECT_EQ (slider.getValue(), 0.25);
    slider.stoppedDragging();
    slider.setValue (0.75, juce::dontSendNotification);
    EXPECT_EQ (slider.getValue(), 0.75);
}
} // namespace
