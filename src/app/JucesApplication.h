#pragma once

#include "app/JuceUserInteraction.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class MainWindow;

class JucesApplication : public juce::JUCEApplication
{
public:
    JucesApplication();
    ~JucesApplication() override;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String& commandLine) override;

    MainWindow* getMainWindow() const { return mainWindow.get(); }

private:
    void showSplash();

    JuceUserInteraction userInteraction;
    std::unique_ptr<MainWindow> mainWindow;
};
