#pragma once

#include "app/UserInteraction.h"

#include <deque>
#include <functional>
#include <mutex>

// Records every call a user would see and answers from queues, so that a test can assert the exact
// texts of the program's messages. Thread-safe: jobs may show messages from their own thread.
class ScriptedUserInteraction : public UserInteraction
{
public:
    struct Call
    {
        juce::String kind; // "message", "question", "alert", "files", "job", "dialog", "url"
        MessageIcon icon = MessageIcon::none;
        juce::String title, text;
        juce::StringArray buttons;
        AlertRequest alert; // for "alert"

        // "title: text", the usual thing to compare.
        juce::String summary() const { return title + ": " + text; }
    };

    ScriptedUserInteraction();
    ~ScriptedUserInteraction() override;

    // Answers, consumed in order. A call without an answer queued fails the test.
    void answerOkCancel (bool ok);
    void answerAlert (AlertReply reply);
    void answerAlert (int result);
    void answerFiles (juce::Array<juce::File> files);

    // Dismisses the next job's window as soon as the predicate holds for a status message or
    // progress value that the job sets.
    void dismissJobWhen (std::function<bool (const juce::String& status, double progress)> predicate);

    std::vector<Call> getCalls() const;
    std::vector<Call> getCalls (const juce::String& kind) const;
    juce::StringArray getSummaries() const; // every call but jobs, as title: text
    juce::StringArray getJobStatuses() const;
    void clear();

    int unansweredCount() const;

    void showMessage (MessageIcon icon, const juce::String& title, const juce::String& text,
                      const juce::String& button) override;
    bool askOkCancel (MessageIcon icon, const juce::String& title, const juce::String& text,
                      const juce::String& okButton, const juce::String& cancelButton) override;
    AlertReply runAlert (const AlertRequest& request) override;
    juce::Array<juce::File> chooseFilesToOpen (const FileChooserRequest& request) override;
    bool runJob (BackgroundJob& job, const JobWindowOptions& options) override;
    void runDialog (const DialogRequest& request) override;
    bool openUrl (const juce::URL& url) override;

    // Called with the content of each dialog while it is "open", to act on it as a user would.
    void whileDialogIsOpen (std::function<void (juce::Component&)> action);

private:
    void record (Call call);

    mutable std::mutex mutex;
    std::vector<Call> calls;
    std::deque<bool> okCancelAnswers;
    std::deque<AlertReply> alertAnswers;
    std::deque<juce::Array<juce::File>> fileAnswers;
    std::function<bool (const juce::String&, double)> dismissPredicate;
    juce::StringArray jobStatuses;
    std::function<void (juce::Component&)> dialogAction;

    ScopedUserInteraction installed { *this };
};
