#pragma once

#include <juce_core/juce_core.h>

// Finds and drives top-level windows of other processes on the X display, as a user would.
namespace XWindows
{
bool displayAvailable();

// A display without a window manager lacks the atoms a window manager would create, and JUCE only
// looks up atoms that exist when it starts. Creating them first lets a program started afterwards
// take part in the usual protocols (closing a window, for one).
void createWindowManagerAtoms();

// A visible top-level window with the title and size, or 0.
unsigned long findWindow (const juce::String& title, int width, int height);
unsigned long findWindow (const juce::String& title);
int countWindows (const juce::String& title);

// Every visible top-level window as "title (w x h)", for failure messages.
juce::String describeWindows();

void click (unsigned long window, int x, int y);

// Gives the window the keyboard focus and types the keys (xdotool key names).
void pressKeys (unsigned long window, const juce::StringArray& keys);

// Sends the window's owner a message it ignores. Events that Xlib has already read for the owner
// wait in its queue until the connection next has data: this wakes it up.
void poke (unsigned long window);

// What the window manager sends when the user clicks a window's close button.
void requestClose (unsigned long window);
} // namespace XWindows
