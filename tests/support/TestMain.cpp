#include "app/KalmeraLookAndFeel.h"
#include "support/XWindows.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <X11/Xlib.h>

#include <cstdlib>

int main (int argc, char** argv)
{
    // Tests never touch the real home folder: each run gets a fresh one.
    char homeTemplate[] = "/tmp/tavlo-test-home-XXXXXX";
    const char* home = mkdtemp (homeTemplate);
    if (home == nullptr)
        return 1;
    setenv ("HOME", home, 1);

    // The application ignores X errors (a display without a window manager lacks some of the
    // atoms JUCE asks for); so do the tests, which open windows in-process.
    XSetErrorHandler ([] (Display*, XErrorEvent*) { return 0; });
    XWindows::createWindowManagerAtoms();

    ::testing::InitGoogleTest (&argc, argv);

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI gui;
        juce::LookAndFeel::setDefaultLookAndFeel (KalmeraLookAndFeel::getInstance());
        result = RUN_ALL_TESTS();
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    }

    juce::File (home).deleteRecursively();
    return result;
}
