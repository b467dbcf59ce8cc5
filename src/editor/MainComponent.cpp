#include "editor/MainComponent.h"

#include "app/AboutDialog.h"
#include "app/ApplicationInfo.h"
#include "app/Branding.h"
#include "app/MainWindow.h"
#include "app/StoredSettings.h"
#include "app/UserInteraction.h"
#include "disc/DummyAudioFormat.h"
#include "disc/RawAudioFormat.h"
#include "disc/SampleLayout.h"
#include "disc/TextPatterns.h"
#include "disc/UndoableActions.h"
#include "editor/CustomGrid.h"
#include "editor/CustomGridModel.h"
#include "editor/DiscCheck.h"
#include "formats/DDPCipher.h"

namespace
{
constexpr juce::uint32 stepGreen = 0xff00863e;
constexpr int readAheadSamples = 32768;

// Files sorted by name, compared in lower case.
template <typename ElementType>
struct FileNameElementComparator
{
    static int compareElements (const ElementType& a, const ElementType& b)
    {
        return a.getFileName().toLowerCase().compare (b.getFileName().toLowerCase());
    }
};

juce::String scratchAudioName() { return "audio.wav"; }

int textWidth (const juce::Font& font, const juce::String& text) { return font.getStringWidth (text); }
} // namespace

juce::File MainComponent::getTemporaryFolder() { return juce::File::getSpecialLocation (juce::File::tempDirectory); }

//==================================================================================================
MainComponent::MainComponent (MainWindow* window) : mainWindow (window)
{
    createDiscFields();
    createTransportControls();
    createStepControls();

    askMasterType();
    startButton.setButtonText (masterType != 0 ? "Copy CD" : "Load Files");
    startButton.setTooltip (startButton.getButtonText());

    tableModel = std::make_unique<CustomGridModel> (this, &disc);
    addAndMakeVisible (*tableModel);

    lastPosition = -1.0;
    previewThread.startThread();
    setUpAudio();

    appName = ApplicationInfo::name();
    setHeader (false);

    const auto layout = StoredSettings::getInstance()->getProps().getValue ("defaulttablelayout");
    if (layout.isNotEmpty())
        tableModel->getGrid().getHeader().restoreFromString (layout);

    newProject();

    client = {};
    ftpHost = ftpPort = ftpUser = ftpPassword = ftpDirectory = {};
    remoteActivityUrl = Branding::remoteActivityUrl;
    projectLocked = false;

    cipher = DDPCipher::makeRunCipher();

    setWantsKeyboardFocus (true);
    setSize (921, 610);
}

MainComponent::~MainComponent()
{
    playlistRebuild.cancelPendingUpdate();
    stopTimer();
    StoredSettings::getInstance()->getProps().setValue ("defaulttablelayout",
                                                        tableModel->getGrid().getHeader().toString());

    if (playerAttached)
        deviceManager.removeAudioCallback (&audioSourcePlayer);
    audioSourcePlayer.setSource (nullptr);
    transport.releaseResources();
    previewThread.stopThread (2000);

    tableModel.reset();
    removeAllChildren();

    if (exportFolder.isDirectory())
        exportFolder.deleteRecursively();
    getTemporaryFolder().getChildFile (scratchAudioName()).deleteFile();

    bubble.reset();
    cipher.reset();
}

void MainComponent::createDiscFields()
{
    const auto attach = [this] (juce::TextEditor& field, juce::Label& label, const char* caption)
    {
        field.setMultiLine (false);
        addAndMakeVisible (field);
        field.addListener (this);
        label.setText (caption, juce::dontSendNotification);
        label.attachToComponent (&field, true);
    };

    attach (albumTitleEditor, albumTitleLabel, "Album Title");
    attach (albumPerformerEditor, albumPerformerLabel, "Performer");
    attach (mcnEditor, mcnLabel, "MCN/UPC");
    mcnEditor.setVisible (false);
}

void MainComponent::createTransportControls()
{
    totalLengthLabel.setText ("00:00:00", juce::dontSendNotification);
    totalLengthLabel.setEditable (false);
    addAndMakeVisible (totalLengthLabel);
    totalLengthCaption.setText ("Total Length", juce::dontSendNotification);
    totalLengthCaption.attachToComponent (&totalLengthLabel, true);

    positionLabel.setFont (juce::Font (36.0f));
    positionLabel.setColour (juce::Label::textColourId, juce::Colour (0xff545454));
    positionLabel.setColour (juce::Label::backgroundColourId, juce::Colour (0xffc0c0c0));
    positionLabel.setColour (juce::Label::outlineColourId, juce::Colours::grey);
    positionLabel.setJustificationType (juce::Justification::centred);
    positionLabel.setEditable (false);
    addAndMakeVisible (positionLabel);
    addAndMakeVisible (positionSlider);

    poweredByLabel.setText ("Powered by", juce::dontSendNotification);
    poweredByLabel.setEditable (false);
    addAndMakeVisible (poweredByLabel);
    makerLink.setButtonText (Branding::makerName);
    makerLink.setURL (juce::URL (Branding::makerWebSite));
    makerLink.setFont (poweredByLabel.getFont(), false, juce::Justification::centredLeft);
    addChildComponent (makerLink);
    makerLink.setVisible (poweredByLabel.getText().isNotEmpty());

    previousButton.setRepeatSpeed (250, 200, 100);
    previousButton.addShortcut (juce::KeyPress (juce::KeyPress::leftKey));
    playButton.setClickingTogglesState (true);
    playButton.addShortcut (juce::KeyPress (juce::KeyPress::spaceKey));
    nextButton.setRepeatSpeed (250, 200, 100);
    nextButton.addShortcut (juce::KeyPress (juce::KeyPress::rightKey));

    for (auto* button : { &previousButton, &playButton, &nextButton })
    {
        button->addListener (this);
        addAndMakeVisible (button);
    }
}

void MainComponent::createStepControls()
{
    const auto makeStep = [this] (juce::TextButton& button, juce::Label& label, const char* text, const char* step)
    {
        button.setButtonText (text);
        button.setTooltip (text);
        button.setColour (juce::TextButton::buttonColourId, juce::Colour (stepGreen));
        button.setColour (juce::TextButton::buttonOnColourId, juce::Colour (stepGreen));
        button.addListener (this);
        addAndMakeVisible (button);
        label.setText (step, juce::dontSendNotification);
        label.attachToComponent (&button, true);
    };

    makeStep (startButton, startLabel, "Start", "Step 1");
    makeStep (burnButton, burnLabel, "Burn Test CD", "Step 2");
    makeStep (uploadButton, uploadLabel, "Upload", "Step 3");
    burnButton.setEnabled (false);
    uploadButton.setEnabled (false);

    multiDiscToggle.setButtonText ("Multi-disc");
    multiDiscToggle.setTooltip ("This disc is part of a multi-disc set");
    multiDiscToggle.setToggleState (false, juce::dontSendNotification);
    multiDiscToggle.setEnabled (false);
    addAndMakeVisible (multiDiscToggle);

    // The link's target is no address but a hint, shown as its tooltip: a click opens nothing and
    // only reaches buttonClicked.
    recommendLink.setButtonText ("STRONGLY RECOMMENDED");
    recommendLink.setURL ({});
    recommendLink.setTooltip ("Click for more information");
    recommendLink.setFont (poweredByLabel.getFont(), false, juce::Justification::centredLeft);
    recommendLink.addListener (this);
    addAndMakeVisible (recommendLink);

    previewHintLabel.setText ("preview your master here", juce::dontSendNotification);
    previewHintLabel.setEditable (false);
    addAndMakeVisible (previewHintLabel);
}

void MainComponent::askMasterType()
{
    AlertRequest request;
    request.icon = MessageIcon::question;
    request.title = "Master Type";
    request.note = AlertNote { "Please specify what type of master you want to use as source.", 0, 72 };
    request.buttons = { { "Audio CD (Physical Disc)", 1, AlertButton::Key::none },
                        { "Individual Files (Wav, Aiff or Flac)", 0, AlertButton::Key::none } };
    masterType = UserInteraction::current().runAlert (request).result;
}

void MainComponent::setUpAudio()
{
    const auto state = juce::parseXML (StoredSettings::getInstance()->getProps().getValue ("audioDeviceState"));
    const auto error = deviceManager.initialise (0, 2, state.get(), true);

    if (error.isNotEmpty())
    {
        UserInteraction::current().showWarning ("Couldn't open an output device!\n\n" + error);
    }
    else
    {
        audioSourcePlayer.setSource (&transport);
        deviceManager.addAudioCallback (&audioSourcePlayer);
        playerAttached = true;
    }

    registerFormatsWithRaw (formatManager);
}

//==================================================================================================
void MainComponent::paint (juce::Graphics& g)
{
    g.setGradientFill (
        juce::ColourGradient::vertical (juce::Colour (0xfff0f0f0), 0.0f, juce::Colour (0xffb7b7b7), 20.0f));
    g.fillAll();

    const auto b = tableModel->getBounds();
    g.setColour (juce::Colour (0xff999999));
    g.fillRect (b.getX() + 1, b.getY() + 1, 1, b.getHeight() - 2);
    g.fillRect (b.getX() + 1, b.getY() + 1, b.getWidth() - 2, 1);
    g.setColour (juce::Colours::white);
    g.fillRect (b.getX() + 2, b.getBottom() - 2, b.getWidth() - 3, 1);
    g.fillRect (b.getRight() - 2, b.getY() + 2, 1, b.getHeight() - 3);
}

void MainComponent::resized()
{
    const auto w = getWidth(), h = getHeight(), x = getX(), y = getY();
    const auto font = poweredByLabel.getFont();

    startButton.setBounds (w - 150, 50 - y, 120, 26);
    burnButton.setBounds (w - 150, 100 - y, 120, 26);
    uploadButton.setBounds (w - 150, 150 - y, 120, 26);

    previousButton.setBounds (w - 150, 220 - y, 40, 26);
    playButton.setBounds (w - 110, 220 - y, 40, 26);
    nextButton.setBounds (w - 70, 220 - y, 40, 26);

    albumTitleEditor.setBounds (w - 150, 290 - y, 120, 24);
    albumPerformerEditor.setBounds (w - 150, 320 - y, 120, 24);
    mcnEditor.setBounds (w - 150, 350 - y, 120, 24);
    totalLengthLabel.setBounds (w - 100, 400 - y, 70, 24);
    multiDiscToggle.setBounds (w - 150, 470 - y, 120, 24);

    positionLabel.setBounds (w / 2 - 60, h - 75, 120, 44);
    positionSlider.setBounds (10, positionLabel.getY() + positionLabel.getHeight() / 2 - 12, positionLabel.getX() - 20,
                              24);

    const auto poweredWidth = textWidth (font, poweredByLabel.getText()) + 10;
    poweredByLabel.setBounds (10, h - 24, poweredWidth, 24);
    makerLink.setBounds (poweredByLabel.getRight(), h - 24, textWidth (font, makerLink.getButtonText()) + 10, 24);

    const auto recommendWidth = textWidth (font, recommendLink.getButtonText()) + 10;
    recommendLink.setBounds (x + w - recommendWidth, burnButton.getBottom() - 4, recommendWidth, 24);
    const auto hintWidth = textWidth (font, previewHintLabel.getText()) + 10;
    previewHintLabel.setBounds (x + w - hintWidth, playButton.getBottom() - 4, hintWidth, 24);

    tableModel->setBounds (0, 0, w - 230, h - 85);
}

//==================================================================================================
void MainComponent::setHeader (bool)
{
    if (auto* top = getTopLevelComponent(); top != nullptr && top != this)
        top->setName (appName);
}

bool MainComponent::perform (juce::UndoableAction* action, const juce::String& name, bool newTransaction)
{
    if (newTransaction)
        undoManager.beginNewTransaction();
    return undoManager.perform (action, name);
}

void MainComponent::refreshTable()
{
    tableModel->renumberItems();
    tableModel->updateContent();
}

void MainComponent::itemsChanged()
{
    refreshTable();
    playlistRebuild.triggerAsyncUpdate();
}

void MainComponent::discTextsChanged() { updateCDTextDisplay (false); }

void MainComponent::showBubbleMessage (juce::Component* target, const juce::String& text)
{
    bubble = std::make_unique<juce::BubbleMessageComponent> (150);

    if (juce::Desktop::canUseSemiTransparentWindows())
    {
        bubble->setAlwaysOnTop (true);
        bubble->addToDesktop (0);
    }
    else
    {
        addChildComponent (*bubble);
    }

    juce::AttributedString message;
    message.append (text);
    message.setJustification (juce::Justification::centred);
    bubble->showAt (target, message, 0, true, false);
}

bool MainComponent::getFTPproperties()
{
    ftpHost = Branding::plantFtpHost;
    ftpPort = "21";
    ftpUser = {};
    ftpPassword = {};
    ftpDirectory = client.jobNumber;
    return true;
}

//==================================================================================================
void MainComponent::clearProject() { disc.reset(); }

void MainComponent::newProject()
{
    clearProject();
    tableModel->updateContent();
    totalLengthLabel.setText ("00:00:00", juce::dontSendNotification);
    updateCDTextDisplay (true);
    lastPosition = -1.0;
    updateRowAndTime();
    clearPlaylist();
    getTemporaryFolder().getChildFile (scratchAudioName()).deleteFile();
    undoManager.clearUndoHistory();
    testCdBurned = false;
}

int MainComponent::checkDisc()
{
    return DiscCheck::check (disc, UserInteraction::current(), [this] { mcnEditor.setHighlightedRegion ({ 12, 13 }); });
}

bool MainComponent::exportDDP (juce::File folder)
{
    return disc.exportDDP (folder.getFullPathName(), disc.hasCDText(), cipher.get());
}

bool MainComponent::importDDP (juce::File folder)
{
    newProject();
    const auto read = disc.importDDP (folder, cipher.get());
    if (! read)
        clearProject();

    refreshTable();
    setHeader (false);
    updateCDTextDisplay (false);
    preparePlaylist();
    return read;
}

bool MainComponent::finishProject()
{
    if (projectLocked)
        return true;

    if (checkDisc() == 0)
        return false;

    auto& ui = UserInteraction::current();
    const auto temporary = getTemporaryFolder();

    // Room for the audio and data images and the small files, estimated from the disc's length.
    juce::int64 needed = (juce::int64) disc.discEnd->startTime.getTimeInFrames() * 2352 + (1 << 20);
    for (const auto* item : disc.dataItems)
        needed += (juce::int64) item->duration.getTimeInFrames() * 2048;

    if (temporary.getBytesFreeOnVolume() < needed)
    {
        ui.showError ("There is not enough free space in " + temporary.getFullPathName()
                      + " to write the master: " + juce::String (needed / (1 << 20) + 1) + " MB are needed.");
        return false;
    }

    auto folder = temporary.getChildFile (DDPCipher::makeRandomToken());
    while (folder.exists())
    {
        juce::Thread::sleep (2);
        folder = temporary.getChildFile (DDPCipher::makeRandomToken());
    }

    if (! folder.createDirectory())
    {
        ui.showError ("The folder " + folder.getFullPathName() + " for the master could not be created.");
        return false;
    }

    const auto previous = exportFolder;
    exportFolder = folder;

    if (! exportDDP (exportFolder) || ! importDDP (exportFolder))
        return false;

    if (previous != juce::File() && previous.isDirectory())
        previous.deleteRecursively();
    temporary.getChildFile (scratchAudioName()).deleteFile();
    startButton.setEnabled (false);
    return true;
}

bool MainComponent::importTrack (int row)
{
    const auto n = disc.getItemSize();
    auto p = n;

    if (row >= 0)
    {
        const auto track = disc.getItem (row)->trackNumber;
        if (track != disc.getItem (n - 1)->trackNumber)
            for (int i = n - 1; i >= 2; --i)
                if (disc.getItem (i - 1)->trackNumber == track)
                {
                    p = i;
                    break;
                }
    }

    FileChooserRequest chooser;
    chooser.title = "Open one or more files...";
    chooser.patterns = "*.wav;*.aif;*.aiff;*.aifc;*.flac";
    chooser.multipleFiles = true;

    auto files = UserInteraction::current().chooseFilesToOpen (chooser);
    if (files.isEmpty())
        return false;

    FileNameElementComparator<juce::File> byName;
    files.sort (byName);

    const auto itemsBefore = disc.replaceByCopies (disc.items);
    const auto dataBefore = disc.replaceByCopies (disc.dataItems);
    const auto leadOutBefore = *disc.audioLeadOut;
    const auto leadInBefore = *disc.dataLeadIn;
    const auto rowsBefore = n + disc.dataItems.size();

    for (const auto& file : files)
    {
        if (file.existsAsFile())
            disc.addAudioFile (file, p);
        else
            UserInteraction::current().showError ("File not found: " + file.getFileName() + ".");
    }

    const bool added = disc.getItemSize() + disc.dataItems.size() != rowsBefore;

    if (added)
    {
        perform (new IndexItemChangeAction (disc.audioLeadOut, leadOutBefore, *disc.audioLeadOut, this), "Add file(s)",
                 true);
        perform (new IndexItemChangeAction (disc.dataLeadIn, leadInBefore, *disc.dataLeadIn, this), {}, false);
        perform (new IndexItemsChangeAction (&disc.items, itemsBefore, disc.items, this), {}, false);
        perform (new IndexItemsChangeAction (&disc.dataItems, dataBefore, disc.dataItems, this), {}, false);
    }
    else
    {
        *disc.audioLeadOut = leadOutBefore;
        *disc.dataLeadIn = leadInBefore;
        disc.items = itemsBefore;
        disc.dataItems = dataBefore;
    }

    // Once, for the lists as they stand now (the actions above only ask for it).
    preparePlaylist();
    return added;
}

bool MainComponent::importAudioDisc (juce::File)
{
    newProject();
    // Copying a CD needs an optical drive reached through the disc engine; none is available.
    UserInteraction::current().showError ("No CD/DVD/BD devices are available.");
    refreshTable();
    setHeader (false);
    updateCDTextDisplay (false);
    preparePlaylist();
    return false;
}

bool MainComponent::exportAudioDisc()
{
    // Burning needs an optical drive reached through the disc engine; none is available.
    UserInteraction::current().showError ("No CD/DVD/BD devices are available.");
    return false;
}

void MainComponent::deleteIndex (int row)
{
    auto& ui = UserInteraction::current();
    if (row < 1)
    {
        ui.showError ("You can not delete this index.");
        return;
    }

    if (row >= disc.getItemSize() || ! ui.askYesNo ("Are you sure you want to delete this index?"))
        return;

    const auto before = disc.replaceByCopies (disc.items);
    if (disc.getItem (row)->indexNumber == 0)
        if (auto* next = disc.getNextItem (row))
            next->indexOffset = 0;

    disc.removeItem (row);
    perform (new IndexItemsChangeAction (&disc.items, before, disc.items, this), "Delete index", true);
}

void MainComponent::deleteTrack (int row)
{
    auto& ui = UserInteraction::current();
    const auto question = [] (int track)
    { return "Are you sure you want\n\nto delete track " + juce::String (track) + "?"; };

    if (row < disc.getItemSize())
    {
        const auto before = disc.replaceByCopies (disc.items);
        const auto track = disc.getItem (row)->trackNumber;

        if (! ui.askYesNo (question (track)))
        {
            disc.items = before;
            return;
        }

        int first = -1, count = 0;
        for (int i = 0; i < disc.items.size(); ++i)
            if (disc.items[i]->trackNumber == track)
            {
                first = first < 0 ? i : first;
                ++count;
            }

        if (first >= 0)
            disc.items.removeRange (first, count);

        perform (new IndexItemsChangeAction (&disc.items, before, disc.items, this), "Delete audio track", true);
        return;
    }

    if (disc.dataItems.isEmpty())
        return;

    const auto before = disc.replaceByCopies (disc.dataItems);
    const auto track = disc.dataItems.getFirst()->trackNumber;

    if (! ui.askYesNo (question (track)))
    {
        disc.dataItems = before;
        return;
    }

    auto leadOut = *disc.audioLeadOut;
    leadOut.duration = CDDuration();
    auto leadIn = *disc.dataLeadIn;
    leadIn.duration = CDDuration();
    perform (new IndexItemChangeAction (disc.audioLeadOut, *disc.audioLeadOut, leadOut, this), "Delete data track",
             true);
    perform (new IndexItemChangeAction (disc.dataLeadIn, *disc.dataLeadIn, leadIn, this), {}, false);

    disc.dataItems.removeIf ([track] (IndexItem* item) { return item->trackNumber == track; });
    perform (new IndexItemsChangeAction (&disc.dataItems, before, disc.dataItems, this), {}, false);
}

void MainComponent::addPause (int row, CDDuration)
{
    if (row < 1 || row >= disc.getItemSize() || disc.getItem (row)->indexNumber != 1
        || disc.getItem (row - 1)->trackNumber == disc.getItem (row)->trackNumber)
        return;

    const auto before = disc.replaceByCopies (disc.items);
    auto& trackStart = *disc.getItem (row);

    // The pause is always 150 frames, and takes over the track's ISRC.
    disc.insertPause (row, trackStart.trackNumber, 150, trackStart.isrc);
    trackStart.isrc = {};
    perform (new IndexItemsChangeAction (&disc.items, before, disc.items, this), "Insert pause", true);
}

//==================================================================================================
void MainComponent::stopPreviewForStep()
{
    if (transport.isPlaying())
    {
        lastPosition = transport.getCurrentPosition();
        transport.stop();
    }
}

void MainComponent::setEditingLocked (bool locked)
{
    projectLocked = locked;
    for (auto* field : { &albumTitleEditor, &albumPerformerEditor, &mcnEditor })
        field->setReadOnly (locked);
    multiDiscToggle.setEnabled (! locked);
}

void MainComponent::afterStep()
{
    refreshTable();
    updateCDTextDisplay (false);
}

std::optional<int> MainComponent::askForSlider (const juce::String& title, const juce::String& message,
                                                AlertSlider slider)
{
    AlertRequest request;
    request.icon = MessageIcon::question;
    request.title = title;
    request.message = message;
    request.slider = slider;
    request.buttons = { { "Ok", 1, AlertButton::Key::none }, { "Cancel", 0, AlertButton::Key::none } };

    const auto reply = UserInteraction::current().runAlert (request);
    if (reply.result != 1)
        return std::nullopt;
    return (int) reply.sliderValue;
}

void MainComponent::stepOne()
{
    stopPreviewForStep();
    bool added = false;

    if (masterType == 1 || ! client.isComplete())
    {
        if (! ClientInformation::ask (client))
            return;

        getFTPproperties();
        newProject();
    }

    if (masterType == 1)
    {
        added = importAudioDisc (getTemporaryFolder());
    }
    else
    {
        auto& settings = StoredSettings::getInstance()->getProps();
        const auto seconds =
            askForSlider ("Pause", "Set the pause in seconds to add before the track(s)",
                          { 0.0, 4.0, 1.0, settings.getValue ("defaultpause", "150").getIntValue() / 75.0 });
        if (! seconds.has_value())
            return;

        settings.setValue ("defaultpause", *seconds * 75);
        added = importTrack (selectedRow());
    }

    if (added)
    {
        burnButton.setEnabled (true);
        uploadButton.setEnabled (true);
    }

    setEditingLocked (false);
    afterStep();
    mcnEditor.setVisible (mcnEditor.getText().trim().isNotEmpty());
}

void MainComponent::stepTwo()
{
    stopPreviewForStep();

    if (! finishProject() || ! exportAudioDisc())
        return;

    testCdBurned = true;
    setEditingLocked (true);
    startButton.setEnabled (false);
    burnButton.setEnabled (false);
    recommendLink.setEnabled (false);
    afterStep();
}

void MainComponent::stepThree()
{
    stopPreviewForStep();
    auto& ui = UserInteraction::current();

    if (! testCdBurned
        && ! ui.askOkCancel (
            MessageIcon::warning, "Warning!",
            "You have chosen to skip Step 2. We strongly advise you to either burn a test CD or preview your loaded master before proceeding.",
            juce::translate ("Ignore"), juce::translate ("Cancel")))
        return;

    if (! finishProject())
        return;

    if (multiDiscToggle.getToggleState()
        && ! askForSlider ("Multi-disc", "Set the current disc number", { 1.0, 100.0, 1.0, 1.0 }).has_value())
        return;

    // The transfer to the plant follows here once the upload is in place; until then the master
    // stays in the export folder and the project stays open.
    afterStep();
}

void MainComponent::buttonClicked (juce::Button* button)
{
    if (button == &startButton)
        stepOne();
    else if (button == &burnButton)
        stepTwo();
    else if (button == &uploadButton)
        stepThree();
    else if (button == &recommendLink)
        showBubbleMessage (
            &recommendLink,
            "It is strongly recommended to burn a test CD and listening it through completely before uploading the master.\n\nThis is the best way to detect any errors and ensures an error free transfer to the factory.");
    else if (button == &playButton)
        playClicked();
    else if (button == &previousButton || button == &nextButton)
    {
        // Within 250 ms of the press a callback is a click; the repeats of a held button, and its
        // release after them, are scan steps.
        const bool isScan = juce::Time::getMillisecondCounter() - skipPressTime > 250;
        if (! isScan && isHeld (*button))
            return; // an early repeat: the click comes with the release

        if (button == &previousButton)
            previousClicked (isScan);
        else
            nextClicked (isScan);
    }
}

void MainComponent::buttonStateChanged (juce::Button* button)
{
    if (button != &previousButton && button != &nextButton)
        return;

    const bool down = button->getState() == juce::Button::buttonDown;
    if (down && pressedSkipButton != button)
        skipPressTime = juce::Time::getMillisecondCounter();

    if (down)
        pressedSkipButton = button;
    else if (pressedSkipButton == button)
        pressedSkipButton = nullptr;
}

// Held by the user, by mouse or by its arrow key; a button that only flashes down for a click
// triggered from elsewhere is not.
bool MainComponent::isHeld (const juce::Button& skipButton) const
{
    const auto key = &skipButton == &previousButton ? juce::KeyPress::leftKey : juce::KeyPress::rightKey;
    return skipButton.isMouseButtonDown() || (skipButton.isDown() && juce::KeyPress::isKeyCurrentlyDown (key));
}

//==================================================================================================
void MainComponent::updateCDTextDisplay (bool clear)
{
    const auto show = [] (juce::TextEditor& field, const juce::String& text)
    {
        field.setText (text, false);
        field.setCaretPosition (0);
        field.setTooltip (text);
    };

    show (albumTitleEditor, clear ? juce::String() : disc.title);
    show (albumPerformerEditor, clear ? juce::String() : disc.performer);
    show (mcnEditor, clear ? juce::String() : disc.mcn);
}

namespace
{
bool isMarkedInvalid (const juce::TextEditor& field)
{
    return field.findColour (juce::TextEditor::focusedOutlineColourId)
           != juce::LookAndFeel::getDefaultLookAndFeel().findColour (juce::TextEditor::focusedOutlineColourId);
}

void markValid (juce::TextEditor& field, bool valid)
{
    field.setColour (
        juce::TextEditor::focusedOutlineColourId,
        valid ? juce::LookAndFeel::getDefaultLookAndFeel().findColour (juce::TextEditor::focusedOutlineColourId)
              : juce::Colours::red);
}

bool isDigits (const juce::String& text, int count)
{
    return text.length() == count && text.containsOnly ("0123456789");
}
} // namespace

void MainComponent::textEditorTextChanged (juce::TextEditor& field)
{
    if (&field == &albumTitleEditor || &field == &albumPerformerEditor)
    {
        const bool valid = TextPatterns::isValidCDText (field.getText());
        markValid (field, valid);
        if (valid)
            setHeader (false);
        return;
    }

    if (&field != &mcnEditor)
        return;

    const auto digits = field.getText().removeCharacters ("-");

    if (digits.isEmpty() || isDigits (digits, 13))
    {
        markValid (field, true);
        setHeader (false);
        lastMcnDigits = digits;
        return;
    }

    markValid (field, false);
    const bool twelfthJustTyped = isDigits (digits, 12) && lastMcnDigits.length() <= 11;
    lastMcnDigits = digits;

    if (twelfthJustTyped)
    {
        // The EAN-13 check digit completes the number; it is selected so that the user sees it.
        field.setText (digits + juce::String (DiscCheck::eanCheckDigit (digits)), true);
        field.setHighlightedRegion ({ 12, 13 });
    }
}

void MainComponent::textEditorFocusLost (juce::TextEditor& field)
{
    if (&field != &albumTitleEditor && &field != &albumPerformerEditor && &field != &mcnEditor)
        return;

    if (isMarkedInvalid (field))
    {
        field.grabKeyboardFocus(); // an invalid text cannot be left
        return;
    }

    const auto commit = [this] (juce::TextEditor& editor, juce::String& target, const char* name)
    {
        if (editor.getText() != target)
            perform (new DiscCDTextStringChangeAction (&target, target, editor.getText(), this), name, true);
    };

    commit (albumTitleEditor, disc.title, "Change disc title");
    commit (albumPerformerEditor, disc.performer, "Change disc performer");
    commit (mcnEditor, disc.mcn, "Change disc MCN");

    if (&field == &mcnEditor)
        field.setHighlightedRegion ({ 0, 0 });
    field.setTooltip (field.getText());
}

void MainComponent::textEditorReturnKeyPressed (juce::TextEditor&) { grabKeyboardFocus(); }

void MainComponent::textEditorEscapeKeyPressed (juce::TextEditor&) {}

//==================================================================================================
juce::StringArray MainComponent::getMenuBarNames() { return { "Tools", "Edit", "Help" }; }

juce::PopupMenu MainComponent::getMenuForIndex (int index, const juce::String&)
{
    juce::PopupMenu menu;
    if (mainWindow == nullptr)
        return menu;

    auto* commands = &mainWindow->getCommandManager();
    switch (index)
    {
        case 0:
            menu.addCommandItem (commands, audioSettingsCommand);
            break;
        case 1:
            menu.addCommandItem (commands, undoCommand);
            menu.addCommandItem (commands, redoCommand);
            break;
        case 2:
            menu.addCommandItem (commands, instructionsCommand);
            menu.addCommandItem (commands, aboutCommand);
            break;
        default:
            break;
    }
    return menu;
}

void MainComponent::menuItemSelected (int, int) {}

juce::ApplicationCommandTarget* MainComponent::getNextCommandTarget() { return findFirstTargetParentComponent(); }

void MainComponent::getAllCommands (juce::Array<juce::CommandID>& commands)
{
    commands.addArray ({ audioSettingsCommand, instructionsCommand, aboutCommand, undoCommand, redoCommand });
}

void MainComponent::getCommandInfo (juce::CommandID id, juce::ApplicationCommandInfo& info)
{
    const bool idle = ! isTimerRunning(); // every command waits while the preview plays
    const auto command = juce::ModifierKeys::commandModifier;

    switch (id)
    {
        case audioSettingsCommand:
            info.setInfo ("Audio Settings", "Change audio settings", "General", 0);
            info.setActive (idle);
            break;
        case instructionsCommand:
            info.setInfo ("Instructions", "Download Instruction Pdf", "General", 0);
            info.setActive (idle);
            break;
        case aboutCommand:
            info.setInfo ("About", "Show about box", "General", 0);
            info.setActive (idle);
            break;
        case undoCommand:
            info.setInfo ("Undo", "Undoes the last operation.", "General", 0);
            info.setActive (idle && undoManager.canUndo());
            info.addDefaultKeypress ('z', command);
            break;
        case redoCommand:
            info.setInfo ("Redo", "Redoes the last operation.", "General", 0);
            info.setActive (idle && undoManager.canRedo());
            info.addDefaultKeypress ('z', command | juce::ModifierKeys::shiftModifier);
            info.addDefaultKeypress ('y', command);
            break;
        default:
            break;
    }
}

bool MainComponent::perform (const juce::ApplicationCommandTarget::InvocationInfo& invocation)
{
    auto& ui = UserInteraction::current();

    switch (invocation.commandID)
    {
        case audioSettingsCommand:
        {
            // The selector sizes itself to its controls; the dialog keeps its own size.
            juce::Component holder;
            juce::AudioDeviceSelectorComponent selector (deviceManager, 0, 0, 2, 2, false, false, true, false);
            holder.setSize (500, 450);
            holder.addAndMakeVisible (selector);
            selector.setBounds (holder.getLocalBounds());
            ui.runDialog ({ "Audio Settings", &holder, juce::Colour (0xfff0f0f0), true, false, this });

            auto& settings = StoredSettings::getInstance()->getProps();
            const auto state = deviceManager.createStateXml();
            settings.setValue ("audioDeviceState", state != nullptr ? state->toString() : juce::String());
            settings.saveIfNeeded();
            return true;
        }
        case instructionsCommand:
        {
            const juce::URL instructions (Branding::instructionsUrl);
            if (isWellFormedWebAddress (instructions))
                ui.openUrl (instructions);
            return true;
        }
        case aboutCommand:
        {
            AboutDialog about;
            ui.runDialog ({ "About", &about, juce::Colour (0xfff0f0f0), true, false, this });
            return true;
        }
        case undoCommand:
            undoManager.undo();
            return true;
        case redoCommand:
            undoManager.redo();
            return true;
        default:
            return false;
    }
}

bool MainComponent::keyPressed (const juce::KeyPress&) { return false; }

//==================================================================================================
bool MainComponent::hasAudio() const { return ! disc.items.isEmpty(); }

int MainComponent::selectedRow() const
{
    return tableModel->getNumSelectedRows() > 0 ? tableModel->getSelectedRow() : -1;
}

void MainComponent::selectRowAndShow (int row, bool deselectOthers)
{
    tableModel->selectRow (row, false, deselectOthers);
}

bool MainComponent::preparePlaylist()
{
    playlistRebuild.cancelPendingUpdate();
    clearPlaylist();
    const auto complete = addPlaylistSources();
    keepTransportOnSelection();
    return complete;
}

bool MainComponent::addPlaylistSources()
{
    const auto addSilence = [this] (juce::int64 samples)
    {
        if (samples <= 0)
            return;

        DummyAudioFormat silence;
        auto* reader = silence.createReaderFor (nullptr, false);
        reader->lengthInSamples = samples;
        transport.addSource (new posSource { new juce::AudioFormatReaderSource (reader, true), 0, samples },
                             readAheadSamples, &previewThread, reader->sampleRate, 1.0);
    };

    int carry = 0;
    const auto finalRow = disc.getItemSize() - 1;

    for (int row = 0; row <= finalRow && hasAudio(); ++row)
    {
        const auto& item = *disc.getItem (row);
        const auto samples = SampleLayout::layoutItem (item, carry);

        addSilence (samples.silenceBefore);

        if (item.isSilence())
        {
            addSilence (samples.count);
        }
        else
        {
            const juce::File file (item.getFullPath());
            if (! file.existsAsFile())
            {
                UserInteraction::current().showError ("File " + item.getFullPath() + " does not exist.");
                return false;
            }

            if (auto* reader = formatManager.createReaderFor (file.createInputStream()))
                transport.addSource (new posSource { new juce::AudioFormatReaderSource (reader, true),
                                                     samples.sourceStart, samples.sourceStart + samples.count },
                                     readAheadSamples, &previewThread, reader->sampleRate, 1.0);
        }

        if (row == finalRow)
            addSilence (SampleLayout::paddingAfterLastItem (carry));
    }

    return true;
}

// Playback ends with a fade-out before the records go; without it the transport would still count
// as playing with nothing to play.
void MainComponent::clearPlaylist()
{
    transport.stop();
    transport.deleteSources();
}

// A new playlist starts at the disc's start, but the selection decides where playback begins.
void MainComponent::keepTransportOnSelection()
{
    if (updatePositionNeeded())
        moveTransportTo (disc.getItem (selectedRow())->startTime.getTimeInFrames() / 75.0);

    if (! isTimerRunning())
        updateRowAndTime();
}

// Disc times are whole frames, but f ÷ 75 seconds is seldom exact in binary: a time computed from
// frames may fall a hair short of its first sample, and a position read back a hair short of its
// frame. Both conversions allow for that rounding, far below a sample.
int MainComponent::positionInFrames() const
{
    return (int) std::floor (transport.getCurrentPosition() * 75.0 + 1.0e-6);
}

void MainComponent::moveTransportTo (double seconds) { transport.setPosition (seconds + 1.0e-9); }

// The item that plays at the frame: the first whose span reaches beyond it, else the last.
int MainComponent::rowAtFrame (int frame) const
{
    const auto last = disc.getItemSize() - 1;
    for (int row = 0; row < last; ++row)
        if (disc.getItem (row)->getEndFrame() > frame)
            return row;

    return last;
}

int MainComponent::updateRowAndTime()
{
    if (! hasAudio())
    {
        positionLabel.setText ("00:00", juce::dontSendNotification);
        positionSlider.setValue (0.0);
        return 0;
    }

    const auto a = positionInFrames();
    auto b = selectedRow();

    if (transport.isPlaying())
    {
        const auto playingRow = rowAtFrame (a);
        if (b != playingRow)
            selectRowAndShow (playingRow, false);
        b = playingRow;
    }
    else if (b < 0 || b >= disc.getItemSize())
    {
        b = rowAtFrame (a); // no audio row selected: the item at the position
    }

    const auto& item = *disc.getItem (b);
    const auto rel = a - (item.startTime.getTimeInFrames() + item.indexOffset);
    positionLabel.setText (CDDuration (std::abs (rel)).toString().substring (0, 5), juce::dontSendNotification);

    const auto span = item.indexOffset + item.duration.getTimeInFrames();
    positionSlider.setValue (span > 0 ? (double) rel / span : 0.0);
    return rel;
}

void MainComponent::showPosition()
{
    updateRowAndTime();
    lastRow = selectedRow();
}

void MainComponent::timerCallback()
{
    showPosition();

    if (transport.isPlaying())
    {
        playButton.setTooltip ("Pause playback of selected index");
        if (! playButton.getToggleState())
            playButton.setToggleState (true, juce::dontSendNotification);
    }
    else
    {
        playButton.setTooltip ("Play selected index");
        playButton.setToggleState (false, juce::dontSendNotification);
        stopTimer();
    }

    playButton.repaint();
}

void MainComponent::startPlayback()
{
    if (! hasAudio() || selectedRow() >= disc.getItemSize() || transport.isPlaying())
        return;

    startTimer (40);
    transport.start();
}

void MainComponent::setPosition (double seconds)
{
    const auto row = selectedRow();
    if (! hasAudio() || row >= disc.getItemSize())
        return;

    const bool wasPlaying = transport.isPlaying();
    if (wasPlaying)
        transport.stop();

    if (seconds < 0.0)
        seconds = row <= 0 ? 0.0 : disc.getItem (row)->startTime.getTimeInFrames() / 75.0;

    moveTransportTo (seconds);
    if (wasPlaying)
        startPlayback();

    if (! isTimerRunning())
        showPosition();
}

void MainComponent::settrackPosition (double fraction)
{
    const auto row = selectedRow();
    if (! hasAudio() || row < 0 || row >= disc.getItemSize())
        return;

    const bool wasPlaying = transport.isPlaying();
    if (wasPlaying)
        transport.stop();

    const auto& item = *disc.getItem (row);
    const auto start = item.startTime.getTimeInFrames();
    const auto span = item.indexOffset + item.duration.getTimeInFrames();

    double frames = start + span * fraction;
    if (fraction >= 1.0)
        frames = span < 2 ? start : start + span - 1; // the item's last frame

    moveTransportTo (frames / 75.0);
    if (wasPlaying && fraction < 1.0)
        startPlayback();

    if (! isTimerRunning())
        showPosition();
}

bool MainComponent::updatePositionNeeded()
{
    const auto row = selectedRow();
    if (! hasAudio() || row < 0 || row >= disc.getItemSize())
        return false;

    const auto a = positionInFrames();
    const auto& item = *disc.getItem (row);
    return a < item.startTime.getTimeInFrames() || a >= item.getEndFrame();
}

void MainComponent::setTotalLength (CDDuration duration)
{
    totalLengthLabel.setText (duration.toString(), juce::dontSendNotification);
}

void MainComponent::playClicked()
{
    if (! hasAudio())
    {
        transport.stop();
        playButton.setToggleState (false, juce::dontSendNotification);
        return;
    }

    if (selectedRow() < 0)
    {
        int first = 0;
        if (disc.getItemSize() >= 2)
        {
            first = 1;
            for (int row = 1; row < disc.getItemSize(); ++row)
                if (disc.getItem (row)->indexNumber == 1)
                {
                    first = row;
                    break;
                }
        }
        selectRowAndShow (first, true);
    }

    if (transport.isPlaying())
    {
        transport.stop();
    }
    else if (const auto row = selectedRow(); row >= 0 && row < disc.getItemSize())
    {
        lastRow = row;

        if (transport.getTotalLength() == 0)
            preparePlaylist(); // the audio device stopped or changed, which empties the transport
        else if (positionInFrames() >= disc.getItem (disc.getItemSize() - 1)->getEndFrame())
            setPosition (-1.0); // played to the end: the selected item starts over

        startPlayback();
    }
    else
    {
        playButton.setToggleState (false, juce::dontSendNotification);
    }

    tableModel->updateContent();
    tableModel->repaint();
}

// Selecting the row moves the transport there (the table's selection handler); playback goes on
// from it.
void MainComponent::skipTo (int row)
{
    const auto from = selectedRow();
    selectRowAndShow (row, true);
    lastRow = from;

    if (transport.isPlaying() && updatePositionNeeded())
        setPosition (-1.0);
}

void MainComponent::previousClicked (bool isScan)
{
    if (isScan)
    {
        scan (false);
        return;
    }

    const auto row = selectedRow();
    if (! hasAudio() || row <= 0 || row >= disc.getItemSize())
        return;

    const auto start = disc.getItem (row)->startTime.getTimeInFrames() / 75.0;
    if (transport.getCurrentPosition() > start + 2.0)
    {
        setPosition (start);
        return;
    }

    if (disc.getItem (row)->trackNumber < 2)
        return;

    for (int r = row - 1; r >= 0; --r)
        if (disc.getItem (r)->indexNumber == 1)
        {
            skipTo (r);
            return;
        }
}

void MainComponent::nextClicked (bool isScan)
{
    if (isScan)
    {
        scan (true);
        return;
    }

    const auto row = selectedRow();
    const auto last = disc.getItemSize() - 1;
    if (! hasAudio() || row >= last
        || disc.getItem (juce::jmax (row, 0))->trackNumber >= disc.getItem (last)->trackNumber)
        return;

    for (int r = juce::jmax (row + 1, 0); r <= last; ++r)
        if (disc.getItem (r)->indexNumber == 1)
        {
            skipTo (r);
            return;
        }
}

void MainComponent::scan (bool forward)
{
    const auto row = selectedRow();
    if (! hasAudio() || row < 0 || row >= disc.getItemSize())
        return;

    const auto& item = *disc.getItem (row);
    const auto start = item.startTime.getTimeInFrames() / 75.0;
    const auto pos = transport.getCurrentPosition();

    if (! transport.isPlaying() && row != lastRow)
    {
        setPosition (start);
    }
    else if (forward)
    {
        const auto end = disc.getItem (disc.getItemSize() - 1)->getEndFrame();
        setPosition (pos < end / 75.0 - 1.0 ? pos + 1.0 : (end - 1) / 75.0);
    }
    else if (pos > 1.0)
    {
        setPosition (pos - 1.0);
    }
    else if (pos < 0.0)
    {
        setPosition (start);
    }

    if (! isTimerRunning())
        showPosition();
}
