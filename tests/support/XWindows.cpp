#include "support/XWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <functional>
#include <memory>

namespace XWindows
{
namespace
{
struct DisplayCloser
{
    void operator() (Display* d) const
    {
        if (d != nullptr)
            XCloseDisplay (d);
    }
};

using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

DisplayPtr openDisplay() { return DisplayPtr (XOpenDisplay (nullptr)); }

juce::String readTextProperty (Display* display, Window window, const char* propertyName)
{
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;

    const auto property = XInternAtom (display, propertyName, False);
    if (XGetWindowProperty (display, window, property, 0, 1024, False, AnyPropertyType, &type, &format, &count,
                            &remaining, &data)
            != Success
        || data == nullptr)
        return {};

    juce::String text (juce::CharPointer_UTF8 (reinterpret_cast<const char*> (data)), (size_t) count);
    XFree (data);
    return text;
}

juce::String windowTitle (Display* display, Window window)
{
    const auto title = readTextProperty (display, window, "_NET_WM_NAME");
    return title.isNotEmpty() ? title : readTextProperty (display, window, "WM_NAME");
}

void forEachVisibleTopLevel (Display* display, const std::function<void (Window, const XWindowAttributes&)>& fn)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;

    if (! XQueryTree (display, DefaultRootWindow (display), &root, &parent, &children, &count))
        return;

    for (unsigned int i = 0; i < count; ++i)
    {
        XWindowAttributes attributes;
        if (XGetWindowAttributes (display, children[i], &attributes) && attributes.map_state == IsViewable)
            fn (children[i], attributes);
    }

    if (children != nullptr)
        XFree (children);
}
} // namespace

bool displayAvailable() { return openDisplay() != nullptr; }

void createWindowManagerAtoms()
{
    // The connection stays open for the whole run: an X server without clients resets, and its
    // atoms go with it.
    static DisplayPtr display = openDisplay();
    if (display == nullptr)
        return;

    for (auto* name : { "WM_PROTOCOLS",
                        "WM_DELETE_WINDOW",
                        "WM_TAKE_FOCUS",
                        "WM_STATE",
                        "_NET_WM_PING",
                        "_NET_WM_NAME",
                        "_NET_WM_ICON_NAME",
                        "UTF8_STRING",
                        "_NET_WM_PID",
                        "_NET_WM_STATE",
                        "_NET_WM_STATE_HIDDEN",
                        "_NET_WM_STATE_FULLSCREEN",
                        "_NET_WM_ICON",
                        "_NET_WM_WINDOW_TYPE",
                        "_NET_WM_WINDOW_TYPE_NORMAL",
                        "_NET_WM_WINDOW_TYPE_DIALOG",
                        "_NET_WM_WINDOW_TYPE_COMBO",
                        "_NET_WM_WINDOW_TYPE_TOOLTIP",
                        "_NET_WM_WINDOW_TYPE_POPUP_MENU",
                        "_NET_FRAME_EXTENTS",
                        "_NET_REQUEST_FRAME_EXTENTS",
                        "_NET_ACTIVE_WINDOW",
                        "_NET_SUPPORTED",
                        "_MOTIF_WM_HINTS",
                        "_NET_WM_STATE_SKIP_TASKBAR",
                        "_NET_WM_STATE_ABOVE",
                        "_NET_WM_CM_S0",
                        "_NET_WM_FULLSCREEN_MONITORS" })
        XInternAtom (display.get(), name, False);

    XFlush (display.get());
}

unsigned long findWindow (const juce::String& title, int width, int height)
{
    auto display = openDisplay();
    if (display == nullptr)
        return 0;

    unsigned long found = 0;
    forEachVisibleTopLevel (display.get(),
                            [&] (Window w, const XWindowAttributes& a)
                            {
                                if (found == 0 && a.width == width && a.height == height
                                    && windowTitle (display.get(), w) == title)
                                    found = w;
                            });
    return found;
}

unsigned long findWindow (const juce::String& title)
{
    auto display = openDisplay();
    if (display == nullptr)
        return 0;

    unsigned long found = 0;
    forEachVisibleTopLevel (display.get(),
                            [&] (Window w, const XWindowAttributes&)
                            {
                                if (found == 0 && windowTitle (display.get(), w) == title)
                                    found = w;
                            });
    return found;
}

int countWindows (const juce::String& title)
{
    auto display = openDisplay();
    if (display == nullptr)
        return 0;

    int count = 0;
    forEachVisibleTopLevel (display.get(),
                            [&] (Window w, const XWindowAttributes&)
                            {
                                if (windowTitle (display.get(), w) == title)
                                    ++count;
                            });
    return count;
}

juce::String describeWindows()
{
    auto display = openDisplay();
    if (display == nullptr)
        return "no display";

    juce::StringArray lines;
    forEachVisibleTopLevel (display.get(),
                            [&] (Window w, const XWindowAttributes& a)
                            {
                                lines.add (windowTitle (display.get(), w) + " (" + juce::String (a.width) + " x "
                                           + juce::String (a.height) + ")");
                            });
    return lines.joinIntoString ("; ");
}

void click (unsigned long window, int x, int y)
{
    juce::ChildProcess xdotool;
    if (xdotool.start (juce::StringArray { "xdotool", "mousemove", "--window", juce::String ((juce::int64) window),
                                           juce::String (x), juce::String (y), "click", "1" }))
        xdotool.waitForProcessToFinish (10000);
}

void pressKeys (unsigned long window, const juce::StringArray& keys)
{
    const auto id = juce::String ((juce::int64) window);
    juce::StringArray args { "xdotool", "windowfocus", "--sync", id, "key" };
    args.addArray (keys);

    juce::ChildProcess xdotool;
    if (xdotool.start (args))
        xdotool.waitForProcessToFinish (10000);
}

namespace
{
// Sends a client message of that type to the window; the optional atom goes in its first data word.
void sendClientMessage (unsigned long window, const char* type, const char* atom = nullptr)
{
    auto display = openDisplay();
    if (display == nullptr)
        return;

    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom (display.get(), type, False);
    event.xclient.format = 32;
    if (atom != nullptr)
        event.xclient.data.l[0] = (long) XInternAtom (display.get(), atom, False);
    event.xclient.data.l[1] = CurrentTime;

    XSendEvent (display.get(), window, False, NoEventMask, &event);
    XFlush (display.get());
}
} // namespace

void poke (unsigned long window) { sendClientMessage (window, "TAVLO_WAKE_UP"); }

void requestClose (unsigned long window) { sendClientMessage (window, "WM_PROTOCOLS", "WM_DELETE_WINDOW"); }
} // namespace XWindows
