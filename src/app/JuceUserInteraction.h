#pragma once

#include "app/UserInteraction.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The user interaction of the running application: JUCE alert windows, native file choosers and
// modal progress windows. Calls from worker threads are carried out on the message thread while
// the worker waits.
class JuceUserInteraction : public UserInteraction
{
public:
    void showMessage (MessageIcon icon, const juce::String& title, const juce::String& text,
                      const juce::String& button) override;
    bool askOkCancel (MessageIcon icon, const juce::String& title, const juce::String& text,
                      const juce::String& okButton, const juce::String& cancelButton) override;
    AlertReply runAlert (const AlertRequest& request) override;
    juce::Array<juce::File> chooseFilesToOpen (const FileChooserRequest& request) override;
    bool runJob (BackgroundJob& job, const JobWindowOptions& options) override;
    void runDialog (const DialogRequest& request) override;
    bool openUrl (const juce::URL& url) override;

    static juce::MessageBoxIconType toIconType (MessageIcon icon);

    // Builds the alert window of a request, without running it.
    static std::unique_ptr<juce::AlertWindow> createAlertWindow (const AlertRequest& request);
};
