#pragma once

#include <juce_core/juce_core.h>
#include <juce_graphics/juce_graphics.h>

namespace juce
{
class Component;
}

#include <optional>
#include <vector>

// Every message box, question, file chooser and modal progress job of the program goes through
// one UserInteraction. The application installs the one that opens real windows; tests install a
// scripted one that records each call and answers from a queue.

enum class MessageIcon
{
    none,
    information,
    question,
    warning
};

struct AlertButton
{
    enum class Key
    {
        none,
        returnKey,
        escapeKey
    };

    juce::String text;
    int result = 0;
    Key key = Key::none;
};

struct AlertTextField
{
    juce::String name, label, initialText;
};

// A horizontal slider with increment and decrement buttons, shown inside an alert.
struct AlertSlider
{
    double minimum = 0.0, maximum = 1.0, step = 1.0, value = 0.0;
};

// A centred note inside the alert, in a holder of its own size.
struct AlertNote
{
    juce::String text;
    int width = 0, height = 0;
};

struct AlertRequest
{
    MessageIcon icon = MessageIcon::none;
    juce::String title, message;
    std::vector<AlertTextField> textFields;
    std::optional<AlertNote> note;
    std::optional<AlertSlider> slider;
    std::vector<AlertButton> buttons;
};

struct AlertReply
{
    int result = 0;
    juce::StringPairArray fields; // text field name -> text as entered
    double sliderValue = 0.0;
};

// What a long job sees of the window that waits for it.
class JobProgress
{
public:
    virtual ~JobProgress() = default;
    virtual void setProgress (double progress) = 0; // 0..1, or -1 for a busy bar
    virtual void setStatusMessage (const juce::String& text) = 0;
    virtual bool shouldExit() const = 0;
};

class BackgroundJob
{
public:
    virtual ~BackgroundJob() = default;
    virtual void runJob (JobProgress& progress) = 0;
};

struct JobWindowOptions
{
    juce::String title;
    bool hasProgressBar = true;
    bool hasCancelButton = false;
    juce::String cancelButtonText;
    int stopTimeoutMs = 10000;
    int threadPriority = 5;
};

struct FileChooserRequest
{
    juce::String title;
    juce::String patterns;
    bool multipleFiles = false;
};

// A modal dialog window around a component of the caller's.
struct DialogRequest
{
    juce::String title;
    juce::Component* content = nullptr; // not owned; sized by the caller
    juce::Colour background;
    bool escapeKeyCloses = true;
    bool resizable = false;
    juce::Component* centreAround = nullptr;
};

class UserInteraction
{
public:
    virtual ~UserInteraction() = default;

    // A message box with a single button; returns when it is dismissed. May be called from any
    // thread: a worker waits until the user has answered.
    virtual void showMessage (MessageIcon icon, const juce::String& title, const juce::String& text,
                              const juce::String& button) = 0;

    // An OK/Cancel box: true for the first button.
    virtual bool askOkCancel (MessageIcon icon, const juce::String& title, const juce::String& text,
                              const juce::String& okButton, const juce::String& cancelButton) = 0;

    // A modal alert window with its own fields, slider or note.
    virtual AlertReply runAlert (const AlertRequest& request) = 0;

    // Returns the chosen files, or nothing when the chooser was cancelled.
    virtual juce::Array<juce::File> chooseFilesToOpen (const FileChooserRequest& request) = 0;

    // Runs the job on its own thread behind a modal progress window. True when the job ran to its
    // end; false when the window was dismissed first.
    virtual bool runJob (BackgroundJob& job, const JobWindowOptions& options) = 0;

    // Shows the component in a modal dialog window and returns when the window is closed.
    virtual void runDialog (const DialogRequest& request) = 0;

    // Opens an address in the default web browser; false when it could not be opened.
    virtual bool openUrl (const juce::URL& url) = 0;

    // The common boxes of the program.
    void showError (const juce::String& text);
    void showWarning (const juce::String& text);
    bool askYesNo (const juce::String& text);

    static UserInteraction& current();
    static void setCurrent (UserInteraction* interaction);
};

// An address a browser can open: a scheme and a host. (JUCE's own test only asks for some text.)
bool isWellFormedWebAddress (const juce::URL& url);

// Installs an interaction for the lifetime of the object and restores the previous one.
class ScopedUserInteraction
{
public:
    explicit ScopedUserInteraction (UserInteraction& interaction);
    ~ScopedUserInteraction();

private:
    UserInteraction* previous;
    JUCE_DECLARE_NON_COPYABLE (ScopedUserInteraction)
};
