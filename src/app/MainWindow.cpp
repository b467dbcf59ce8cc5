#include "app/MainWindow.h"

#include "editor/MainComponent.h"

MainWindow::MainWindow (const juce::String& name)
    : juce::DocumentWindow (name, juce::Colours::lightgrey, juce::DocumentWindow::allButtons, true)
{
    tooltipWindow = std::make_unique<juce::TooltipWindow> (nullptr, 700);
    commandManager = std::make_unique<juce::ApplicationCommandManager>();

    setResizable (true, true);
    setResizeLimits (800, 600, 32768, 32768);
    setUsingNativeTitleBar (true);

    auto* mainComponent = new MainComponent (this);

    commandManager->registerAllCommandsForTarget (mainComponent);
    commandManager->registerAllCommandsForTarget (juce::JUCEApplication::getInstance());
    addKeyListener (commandManager->getKeyMappings());

    setContentOwned (mainComponent, false);

    setMenuBar (mainComponent);
    mainComponent->setApplicationCommandManagerToWatch (commandManager.get());

    mainComponent->setHeader (false);
    setVisible (true);
}

MainWindow::~MainWindow()
{
    setMenuBar (nullptr);
    removeKeyListener (commandManager->getKeyMappings());
    clearContentComponent();
    commandManager.reset();
    tooltipWindow.reset();
}

void MainWindow::closeButtonPressed() { juce::JUCEApplication::getInstance()->systemRequestedQuit(); }

MainComponent* MainWindow::getMainComponent() const { return dynamic_cast<MainComponent*> (getContentComponent()); }
