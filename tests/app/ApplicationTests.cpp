#include "app/JucesApplication.h"
#include "app/KalmeraLookAndFeel.h"
#include "app/MainWindow.h"
#include "app/SplashDialog.h"
#include "app/StoredSettings.h"
#include "editor/MainComponent.h"

#include "support/TestHelpers.h"
#include "support/XWindows.h"

#include <gtest/gtest.h>

namespace
{
template <typename ComponentType>
ComponentType* findOnDesktop()
{
    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
    {
        auto* top = desktop.getComponent (i);
        if (auto* found = dynamic_cast<ComponentType*> (top))
            return found;
        for (auto* child : top->getChildren())
            if (auto* found = dynamic_cast<ComponentType*> (child))
                return found;
        if (auto* window = dynamic_cast<juce::ResizableWindow*> (top))
            if (auto* found = dynamic_cast<ComponentType*> (window->getContentComponent()))
                return found;
    }
    return nullptr;
}

class HomeFolder
{
public:
    HomeFolder() : previous (juce::SystemStats::getEnvironmentVariable ("HOME", {}))
    {
        StoredSettings::deleteInstance();
        setenv ("HOME", folder.get().getFullPathName().toRawUTF8(), 1);
    }

    ~HomeFolder()
    {
        StoredSettings::deleteInstance();
        setenv ("HOME", previous.toRawUTF8(), 1);
    }

    juce::File settingsFile() const
    {
        return (folder / "Orvane_Inc._(Demo)_Tavlo").getChildFile ("Orvane_Inc.settings");
    }

    TestHelpers::TempFolder folder;
    juce::String previous;
};

TEST (Application, NameVersionAndSingleInstance)
{
    JucesApplication app;
    EXPECT_EQ (app.getApplicationName(), "Orvane Inc. (Demo) Tavlo");
    EXPECT_EQ (app.getApplicationVersion(), "3.0.1.0");
    EXPECT_FALSE (app.moreThanOneInstanceAllowed());
}

TEST (Application, StartsWithTheSplashThenTheMainWindowAndShutsDownInOrder)
{
    HomeFolder home;
    JucesApplication app;

    bool splashWasModal = false;
    bool mainWindowExistedDuringSplash = true;
    juce::Rectangle<int> splashWindowSize;
    bool mainWindowShownDuringQuestion = true;
    juce::String question;

    // The master type is asked once the splash is gone, before the main window is shown.
    std::function<void()> answerMasterType = [&]
    {
        auto* alert = dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent());
        if (alert == nullptr)
        {
            juce::Timer::callAfterDelay (50, answerMasterType);
            return;
        }

        question = alert->getName();
        auto* mainWindow = findOnDesktop<MainWindow>();
        mainWindowShownDuringQuestion = mainWindow != nullptr && mainWindow->isShowing();
        for (auto* child : alert->getChildren())
            if (auto* button = dynamic_cast<juce::TextButton*> (child))
                if (button->getButtonText() == "Individual Files (Wav, Aiff or Flac)")
                    button->triggerClick();
    };

    juce::Timer::callAfterDelay (300,
                                 [&]
                                 {
                                     auto* splash = findOnDesktop<SplashDialog>();
                                     ASSERT_NE (splash, nullptr);
                                     auto* splashWindow = splash->findParentComponentOfClass<juce::ResizableWindow>();
                                     splashWasModal = splashWindow != nullptr && splashWindow->isCurrentlyModal();
                                     if (splashWindow != nullptr)
                                         splashWindowSize = splashWindow->getLocalBounds();
                                     mainWindowExistedDuringSplash = findOnDesktop<MainWindow>() != nullptr;
                                     splash->getContinueButton().triggerClick();
                                     juce::Timer::callAfterDelay (100, answerMasterType);
                                 });

    app.initialise ({});

    EXPECT_TRUE (splashWasModal);
    EXPECT_FALSE (mainWindowExistedDuringSplash);
    EXPECT_EQ (splashWindowSize, juce::Rectangle<int> (487, 314));
    EXPECT_EQ (findOnDesktop<SplashDialog>(), nullptr);
    EXPECT_EQ (question, "Master Type");
    EXPECT_FALSE (mainWindowShownDuringQuestion);

    auto* window = app.getMainWindow();
    ASSERT_NE (window, nullptr);
    EXPECT_TRUE (window->isVisible());
    EXPECT_EQ (window->getName(), "Orvane Inc. (Demo) Tavlo");
    EXPECT_EQ (window->getWidth(), 921);
    EXPECT_EQ (window->getHeight(), 610);
    EXPECT_TRUE (window->isUsingNativeTitleBar());
    EXPECT_TRUE (window->isResizable());
    ASSERT_NE (window->getConstrainer(), nullptr);
    EXPECT_EQ (window->getConstrainer()->getMinimumWidth(), 800);
    EXPECT_EQ (window->getConstrainer()->getMinimumHeight(), 600);
    ASSERT_NE (window->getMainComponent(), nullptr);
    EXPECT_EQ (window->getMainComponent()->getStartButton().getButtonText(), "Load Files");
    EXPECT_NE (window->getMenuBarComponent(), nullptr);
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), KalmeraLookAndFeel::getInstance());

    app.shutdown();
    EXPECT_EQ (app.getMainWindow(), nullptr);
    EXPECT_TRUE (home.settingsFile().existsAsFile());
}

//==================================================================================================
// The real program in its own process, driven like a user would under the virtual X server.
class RunningApplication
{
public:
    explicit RunningApplication (const juce::File& home) : homeFolder (home) {}

    ~RunningApplication()
    {
        if (process.isRunning())
            process.kill();
    }

    bool start() { return launch (process); }

    bool launch (juce::ChildProcess& child) const
    {
        return child.start (juce::StringArray { "env", "HOME=" + homeFolder.getFullPathName(), TAVLO_APP_PATH }, 0);
    }

    juce::ChildProcess process;
    juce::File homeFolder;
};

TEST (Application, RunsAsOneInstanceAndQuitsWhenTheWindowCloses)
{
    if (! XWindows::displayAvailable())
        GTEST_SKIP() << "needs an X display";

    TestHelpers::TempFolder home;
    RunningApplication app (home.get());
    ASSERT_TRUE (app.start());

    const juce::String title ("Orvane Inc. (Demo) Tavlo");

    // The splash comes first, alone.
    unsigned long splash = 0;
    ASSERT_TRUE (TestHelpers::pumpUntil ([&] { return (splash = XWindows::findWindow (title, 487, 314)) != 0; }, 20000))
        << XWindows::describeWindows();
    EXPECT_EQ (XWindows::findWindow (title, 921, 610), 0u);

    // What the display sends may wait in the program's Xlib queue until more arrives: poke it until
    // the program has acted.
    EXPECT_TRUE (TestHelpers::pumpUntil (
        [&]
        {
            if (XWindows::findWindow (title, 487, 314) != 0)
                XWindows::click (splash, (487 - 150) / 2 + 75, 268 + 12);
            XWindows::poke (splash);
            TestHelpers::pumpMessages (300);
            return XWindows::findWindow ("Master Type") != 0;
        },
        20000));

    // Then the master type, answered from the keyboard.
    unsigned long masterType = 0;
    ASSERT_TRUE (
        TestHelpers::pumpUntil ([&] { return (masterType = XWindows::findWindow ("Master Type")) != 0; }, 20000))
        << XWindows::describeWindows();
    // Keys typed before the window takes them are lost: type until the question is answered.
    EXPECT_TRUE (TestHelpers::pumpUntil (
        [&]
        {
            XWindows::pressKeys (masterType, { "Tab", "Return" });
            XWindows::poke (masterType);
            TestHelpers::pumpMessages (300);
            return XWindows::findWindow ("Master Type") == 0;
        },
        20000));

    unsigned long mainWindow = 0;
    ASSERT_TRUE (
        TestHelpers::pumpUntil ([&] { return (mainWindow = XWindows::findWindow (title, 921, 610)) != 0; }, 20000))
        << XWindows::describeWindows();

    // A second launch ends at once and opens nothing.
    juce::ChildProcess second;
    ASSERT_TRUE (app.launch (second));
    EXPECT_TRUE (second.waitForProcessToFinish (60000));
    EXPECT_EQ (XWindows::countWindows (title), 1);

    XWindows::requestClose (mainWindow);
    EXPECT_TRUE (TestHelpers::pumpUntil (
        [&]
        {
            XWindows::poke (mainWindow);
            return app.process.waitForProcessToFinish (300);
        },
        60000));

    const auto settings = (home / "Orvane_Inc._(Demo)_Tavlo").getChildFile ("Orvane_Inc.settings");
    ASSERT_TRUE (settings.existsAsFile());
    auto xml = juce::parseXML (settings);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getNumChildElements(), 7);
}
} // namespace
