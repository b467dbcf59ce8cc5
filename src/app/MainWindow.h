#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class MainComponent;

// The one top-level window: hosts the main screen with its menu bar, tooltips and keyboard
// commands.
class MainWindow : public juce::DocumentWindow
{
public:
    explicit MainWindow (const juce::String& name);
    ~MainWindow() override;

    void closeButtonPressed() override;

    juce::ApplicationCommandManager& getCommandManager() { return *commandManager; }
    MainComponent* getMainComponent() const;

private:
    std::unique_ptr<juce::TooltipWindow> tooltipWindow;
    std::unique_ptr<juce::ApplicationCommandManager> commandManager;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
};

// Hosts the splash panel modally before the main window exists.
class SplashDialogWindow : public juce::ResizableWindow
{
public:
    using juce::ResizableWindow::ResizableWindow;
    ~SplashDialogWindow() override = default;
};
