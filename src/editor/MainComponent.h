#pragma once

#include "disc/CDItem.h"
#include "disc/DiscView.h"
#include "playback/MultipleAudioTransportSource.h"
#include "playback/PositionLabel.h"
#include "playback/TransportButton.h"
#include "playback/TransportSlider.h"
#include "upload/ClientInformation.h"

#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_extra/juce_gui_extra.h>

class CustomGridModel;
class MainWindow;

// The one screen of the application. It owns the disc, the undo history, the preview chain, the
// track table and the disc fields, and leads the user through three steps: load the master, burn a
// test CD, upload the master.
class MainComponent : public juce::Component,
                      public juce::Button::Listener,
                      public juce::TextEditor::Listener,
                      public juce::MenuBarModel,
                      public juce::ApplicationCommandTarget,
                      public juce::Timer,
                      public juce::DragAndDropContainer,
                      public DiscView
{
public:
    explicit MainComponent (MainWindow* window);
    ~MainComponent() override;

    //==============================================================================================
    // Project operations.
    void newProject();
    void clearProject();
    bool finishProject();
    bool importTrack (int row);
    bool importAudioDisc (juce::File folder);
    bool exportAudioDisc();
    bool importDDP (juce::File folder);
    bool exportDDP (juce::File folder);
    void deleteIndex (int row);
    void deleteTrack (int row);
    void addPause (int row, CDDuration length);
    void refreshTable();
    void setHeader (bool);
    void showBubbleMessage (juce::Component* target, const juce::String& text);
    bool perform (juce::UndoableAction* action, const juce::String& name, bool newTransaction);
    int checkDisc();
    bool getFTPproperties();

    // DiscView
    void itemsChanged() override;
    void discTextsChanged() override;

    //==============================================================================================
    // Disc fields and commands.
    void updateCDTextDisplay (bool clear);
    void textEditorTextChanged (juce::TextEditor&) override;
    void textEditorFocusLost (juce::TextEditor&) override;
    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void textEditorEscapeKeyPressed (juce::TextEditor&) override;

    enum CommandIDs
    {
        audioSettingsCommand = 0x2000,
        instructionsCommand = 0x2001,
        aboutCommand = 0x2002,
        undoCommand = 0x2003,
        redoCommand = 0x2004
    };

    juce::StringArray getMenuBarNames() override;
    juce::PopupMenu getMenuForIndex (int index, const juce::String& name) override;
    void menuItemSelected (int, int) override;

    juce::ApplicationCommandTarget* getNextCommandTarget() override;
    void getAllCommands (juce::Array<juce::CommandID>&) override;
    void getCommandInfo (juce::CommandID, juce::ApplicationCommandInfo&) override;
    bool perform (const juce::ApplicationCommandTarget::InvocationInfo&) override;
    bool keyPressed (const juce::KeyPress&) override;

    //==============================================================================================
    // Preview.
    bool preparePlaylist();
    void startPlayback();
    void setPosition (double seconds);
    void settrackPosition (double fraction);
    bool updatePositionNeeded();
    int updateRowAndTime();
    // Shows the transport position in the table, the label and the slider, and remembers the row.
    void showPosition();
    void timerCallback() override;
    void setTotalLength (CDDuration duration);

    //==============================================================================================
    void buttonClicked (juce::Button*) override;
    void buttonStateChanged (juce::Button*) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    // The parts a user sees and tests drive.
    CDItem& getDisc() { return disc; }
    CustomGridModel& getTableModel() { return *tableModel; }
    juce::UndoManager& getUndoManager() { return undoManager; }
    MultipleAudioTransportSource& getTransport() { return transport; }
    juce::AudioDeviceManager& getDeviceManager() { return deviceManager; }
    juce::BlowFish& getCipher() { return *cipher; }
    juce::TextButton& getStartButton() { return startButton; }
    juce::TextButton& getBurnButton() { return burnButton; }
    juce::TextButton& getUploadButton() { return uploadButton; }
    TransportButton& getPlayButton() { return playButton; }
    TransportButton& getPreviousButton() { return previousButton; }
    TransportButton& getNextButton() { return nextButton; }
    TransportSlider& getPositionSlider() { return positionSlider; }
    juce::ToggleButton& getMultiDiscToggle() { return multiDiscToggle; }
    juce::HyperlinkButton& getRecommendLink() { return recommendLink; }
    juce::TextEditor& getAlbumTitleEditor() { return albumTitleEditor; }
    juce::TextEditor& getAlbumPerformerEditor() { return albumPerformerEditor; }
    juce::TextEditor& getMcnEditor() { return mcnEditor; }
    juce::Label& getTotalLengthLabel() { return totalLengthLabel; }
    juce::Label& getPositionLabel() { return positionLabel; }
    const juce::File& getExportFolder() const { return exportFolder; }
    const ClientDetails& getClientDetails() const { return client; }
    juce::BubbleMessageComponent* getBubble() const { return bubble.get(); }

    int masterType = 0; // 1: an audio CD; 0: a set of audio files
    bool projectLocked = false;
    bool testCdBurned = false;
    double lastPosition = -1.0;
    int lastRow = -1;

    juce::String ftpHost, ftpPort, ftpUser, ftpPassword, ftpDirectory, remoteActivityUrl;

    static juce::File getTemporaryFolder();

private:
    void askMasterType();
    void createDiscFields();
    void createTransportControls();
    void createStepControls();
    void setUpAudio();
    void stopPreviewForStep();
    void stepOne();
    void stepTwo();
    void stepThree();
    std::optional<int> askForSlider (const juce::String& title, const juce::String& message, AlertSlider slider);
    void setEditingLocked (bool locked);
    void afterStep();
    bool hasAudio() const;
    int selectedRow() const;
    void selectRowAndShow (int row, bool deselectOthers);
    void playClicked();
    void previousClicked (bool isScan);
    void nextClicked (bool isScan);
    void scan (bool forward);
    void skipTo (int row);
    bool isHeld (const juce::Button& skipButton) const;

    bool addPlaylistSources();
    void clearPlaylist();
    void keepTransportOnSelection();
    int positionInFrames() const;
    void moveTransportTo (double seconds);
    int rowAtFrame (int frame) const;

    // Preview output chain: declared first, so that it goes last.
    juce::AudioDeviceManager deviceManager;
    juce::AudioSourcePlayer audioSourcePlayer;
    MultipleAudioTransportSource transport;
    juce::AudioFormatManager formatManager;
    bool playerAttached = false;

    MainWindow* mainWindow;
    ClientDetails client;

    juce::TextEditor albumTitleEditor, albumPerformerEditor, mcnEditor;
    juce::Label albumTitleLabel, albumPerformerLabel, mcnLabel;
    juce::Label totalLengthLabel, totalLengthCaption;
    PositionLabel positionLabel { "positionLabel", "00:00" };
    TransportSlider positionSlider { this };
    juce::Label poweredByLabel;
    juce::HyperlinkButton makerLink;
    TransportButton previousButton { "previousButton", TransportButton::previous,
                                     "Previous track or scan backward when held" };
    TransportButton playButton { "playButton", TransportButton::play, "Play selected index" };
    TransportButton nextButton { "nextButton", TransportButton::next, "Next track or scan forward when held" };
    std::unique_ptr<CustomGridModel> tableModel;
    juce::TextButton startButton, burnButton, uploadButton;
    juce::Label startLabel, burnLabel, uploadLabel;
    juce::ToggleButton multiDiscToggle;
    juce::HyperlinkButton recommendLink;
    juce::Label previewHintLabel;

    juce::String appName;
    CDItem disc;
    juce::UndoManager undoManager { 30000, 30 };
    juce::String lastMcnDigits;
    juce::TimeSliceThread previewThread { "audio file preview" };
    juce::File exportFolder;
    std::unique_ptr<juce::BlowFish> cipher;
    std::unique_ptr<juce::BubbleMessageComponent> bubble;

    // Click versus scan on the previous and next buttons: when the one last pressed went down. The
    // time stays after the release, for the callback that comes with it.
    const juce::Button* pressedSkipButton = nullptr;
    juce::uint32 skipPressTime = 0;

    // Runs a function once on the message thread after any number of requests in one turn of the
    // message loop.
    class CoalescedCall : public juce::AsyncUpdater
    {
    public:
        explicit CoalescedCall (std::function<void()> functionToCall) : function (std::move (functionToCall)) {}
        void handleAsyncUpdate() override { function(); }

    private:
        std::function<void()> function;
    };

    // One edit may change several lists and undo replays all of its actions: the playlist is built
    // once after them. Last member, so that no rebuild comes while the others go.
    CoalescedCall playlistRebuild { [this] { preparePlaylist(); } };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
