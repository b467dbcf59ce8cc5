#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MainWindow;

// The one screen of the application, the content of the main window.
class MainComponent : public juce::Component, public juce::MenuBarModel, public juce::ApplicationCommandTarget
{
public:
    explicit MainComponent (MainWindow* window);
    ~MainComponent() override;

    // The window title: the application's name.
    void setHeader (bool);

    juce::StringArray getMenuBarNames() override;
    juce::PopupMenu getMenuForIndex (int index, const juce::String& name) override;
    void menuItemSelected (int, int) override;

    juce::ApplicationCommandTarget* getNextCommandTarget() override;
    void getAllCommands (juce::Array<juce::CommandID>&) override;
    void getCommandInfo (juce::CommandID, juce::ApplicationCommandInfo&) override;
    bool perform (const juce::ApplicationCommandTarget::InvocationInfo&) override;

private:
    MainWindow* mainWindow;
    juce::String appName;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
