#include "app/JucesApplication.h"

#include "app/Branding.h"
#include "app/KalmeraLookAndFeel.h"
#include "app/MainWindow.h"
#include "app/SplashDialog.h"
#include "app/StoredSettings.h"

JucesApplication::JucesApplication() = default;
JucesApplication::~JucesApplication() = default;

const juce::String JucesApplication::getApplicationName() { return Branding::applicationName; }

const juce::String JucesApplication::getApplicationVersion() { return Branding::applicationVersion; }

bool JucesApplication::moreThanOneInstanceAllowed() { return false; }

void JucesApplication::initialise (const juce::String&)
{
    juce::LookAndFeel::setDefaultLookAndFeel (KalmeraLookAndFeel::getInstance());
    UserInteraction::setCurrent (&userInteraction);

    showSplash();

    mainWindow = std::make_unique<MainWindow> (getApplicationName());
    mainWindow->centreWithSize (921, 610);
    mainWindow->setVisible (true);
}

void JucesApplication::showSplash()
{
    SplashDialog splash;
    auto window = std::make_unique<SplashDialogWindow> (getApplicationName(), juce::Colours::white, true);
    window->setUsingNativeTitleBar (true);
    window->centreWithSize (487, 338);
    window->setContentNonOwned (&splash, true);
    window->setVisible (true);
    window->runModalLoop();
}

void JucesApplication::shutdown()
{
    mainWindow.reset();
    StoredSettings::deleteInstance();
    UserInteraction::setCurrent (nullptr);
}

void JucesApplication::anotherInstanceStarted (const juce::String&) {}
