#pragma once

#include "editor/CustomGrid.h"
#include "editor/CustomGridModel.h"
#include "editor/MainComponent.h"
#include "editor/TableEditor.h"

#include "support/DiscFixtures.h"
#include "support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

// The main screen driven in-process with the scripted user interaction: questions are answered
// from queues, buttons are clicked and the message loop runs as in the application.
class MainScreenFixture : public ::testing::Test
{
public:
    void SetUp() override;
    void TearDown() override;

    // Opens the screen, answering the master type question.
    MainComponent& open (int masterType = 0);

    static AlertReply clientReply (const juce::String& job, const juce::String& email);
    static AlertReply sliderReply (double value);

    // Step 1 of a files master: the client information when it is asked for, the pause, the files.
    void loadFiles (const juce::Array<juce::File>& files, double pauseSeconds = 2.0, bool expectClientQuestion = true);

    // WAV files of the given lengths in frames, made in the test folder.
    juce::Array<juce::File> makeFiles (std::initializer_list<int> frames);

    void click (juce::Button& button);

    CustomGridModel& table() { return screen->getTableModel(); }
    CustomGrid& grid() { return table().getGrid(); }
    CDItem& disc() { return screen->getDisc(); }

    // The cell editor of a table cell, laid out as the table shows it.
    TableEditor* cell (int row, int column);

    // Undo names from the oldest to the newest transaction.
    juce::StringArray undoNames();

    TestHelpers::TempFolder folder;
    juce::File temporary;
    juce::String previousTmp;
    ScriptedUserInteraction ui;
    std::unique_ptr<MainComponent> screen;
    int fileCount = 0;
};

// The main screen in a window of its own on the (virtual) display, so that keyboard focus moves as
// it does for a user.
class ShownMainScreenFixture : public MainScreenFixture
{
public:
    void TearDown() override;

    MainComponent& openShown (int masterType = 0);

    // Gives the cell the focus, types the text over what it holds and moves the focus away.
    void edit (int row, int column, const juce::String& text);
    void focus (juce::Component& component);

    // A mouse event on the component, as the table's cells receive them.
    static juce::MouseEvent mouseEvent (juce::Component& component, juce::ModifierKeys mods = {}, bool dragged = false);
};
