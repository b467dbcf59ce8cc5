#include "editor/MainComponent.h"

#include "app/MainWindow.h"
#include "app/StoredSettings.h"

MainComponent::MainComponent (MainWindow* window)
    : mainWindow (window), appName (juce::JUCEApplication::getInstance() != nullptr
                                        ? juce::JUCEApplication::getInstance()->getApplicationName()
                                        : juce::String())
{
    StoredSettings::getInstance();
    setSize (921, 610);
}

MainComponent::~MainComponent() = default;

void MainComponent::setHeader (bool)
{
    if (auto* top = getTopLevelComponent(); top != nullptr && top != this)
        top->setName (appName);
    else if (mainWindow != nullptr)
        mainWindow->setName (appName);
}

juce::StringArray MainComponent::getMenuBarNames() { return { "Tools", "Edit", "Help" }; }

juce::PopupMenu MainComponent::getMenuForIndex (int, const juce::String&) { return {}; }

void MainComponent::menuItemSelected (int, int) {}

juce::ApplicationCommandTarget* MainComponent::getNextCommandTarget() { return findFirstTargetParentComponent(); }

void MainComponent::getAllCommands (juce::Array<juce::CommandID>&) {}

void MainComponent::getCommandInfo (juce::CommandID, juce::ApplicationCommandInfo&) {}

bool MainComponent::perform (const juce::ApplicationCommandTarget::InvocationInfo&) { return false; }
