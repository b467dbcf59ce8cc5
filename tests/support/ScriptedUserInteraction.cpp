#include "support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <atomic>

namespace
{
class ScriptedJobThread : public juce::Thread, public JobProgress
{
public:
    ScriptedJobThread (BackgroundJob& jobToRun, std::function<bool (const juce::String&, double)> predicate,
                       std::function<void (const juce::String&)> statusSink)
        : juce::Thread ("scripted job"), job (jobToRun), dismissWhen (std::move (predicate)),
          onStatus (std::move (statusSink))
    {
    }

    ~ScriptedJobThread() override { stopThread (20000); }

    void run() override
    {
        job.runJob (*this);
        finished = true;
    }

    void setProgress (double progress) override { check ({}, progress); }

    void setStatusMessage (const juce::String& text) override
    {
        onStatus (text);
        check (text, 0.0);
    }

    bool shouldExit() const override { return dismissed || threadShouldExit(); }

    std::atomic<bool> dismissed { false };
    std::atomic<bool> finished { false };

private:
    void check (const juce::String& status, double progress)
    {
        if (dismissWhen != nullptr && ! dismissed && dismissWhen (status, progress))
            dismissed = true;
    }

    BackgroundJob& job;
    std::function<bool (const juce::String&, double)> dismissWhen;
    std::function<void (const juce::String&)> onStatus;
};

juce::StringArray buttonTexts (const std::vector<AlertButton>& buttons)
{
    juce::StringArray texts;
    for (const auto& b : buttons)
        texts.add (b.text);
    return texts;
}
} // namespace

ScriptedUserInteraction::ScriptedUserInteraction() = default;

ScriptedUserInteraction::~ScriptedUserInteraction()
{
    EXPECT_EQ (unansweredCount(), 0) << "answers were queued that no call used";
}

void ScriptedUserInteraction::answerOkCancel (bool ok)
{
    const std::lock_guard<std::mutex> lock (mutex);
    okCancelAnswers.push_back (ok);
}

void ScriptedUserInteraction::answerAlert (AlertReply reply)
{
    const std::lock_guard<std::mutex> lock (mutex);
    alertAnswers.push_back (std::move (reply));
}

void ScriptedUserInteraction::answerAlert (int result)
{
    AlertReply reply;
    reply.result = result;
    answerAlert (reply);
}

void ScriptedUserInteraction::answerFiles (juce::Array<juce::File> files)
{
    const std::lock_guard<std::mutex> lock (mutex);
    fileAnswers.push_back (std::move (files));
}

void ScriptedUserInteraction::dismissJobWhen (std::function<bool (const juce::String&, double)> predicate)
{
    const std::lock_guard<std::mutex> lock (mutex);
    dismissPredicate = std::move (predicate);
}

std::vector<ScriptedUserInteraction::Call> ScriptedUserInteraction::getCalls() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return calls;
}

std::vector<ScriptedUserInteraction::Call> ScriptedUserInteraction::getCalls (const juce::String& kind) const
{
    std::vector<Call> result;
    for (auto& call : getCalls())
        if (call.kind == kind)
            result.push_back (call);
    return result;
}

juce::StringArray ScriptedUserInteraction::getSummaries() const
{
    juce::StringArray summaries;
    for (auto& call : getCalls())
        if (call.kind != "job")
            summaries.add (call.summary());
    return summaries;
}

juce::StringArray ScriptedUserInteraction::getJobStatuses() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return jobStatuses;
}

void ScriptedUserInteraction::clear()
{
    const std::lock_guard<std::mutex> lock (mutex);
    calls.clear();
    jobStatuses.clear();
}

int ScriptedUserInteraction::unansweredCount() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return (int) (okCancelAnswers.size() + alertAnswers.size() + fileAnswers.size());
}

void ScriptedUserInteraction::record (Call call)
{
    const std::lock_guard<std::mutex> lock (mutex);
    calls.push_back (std::move (call));
}

void ScriptedUserInteraction::showMessage (MessageIcon icon, const juce::String& title, const juce::String& text,
                                           const juce::String& button)
{
    record ({ "message", icon, title, text, { button }, {} });
}

bool ScriptedUserInteraction::askOkCancel (MessageIcon icon, const juce::String& title, const juce::String& text,
                                           const juce::String& okButton, const juce::String& cancelButton)
{
    record ({ "question", icon, title, text, { okButton, cancelButton }, {} });

    const std::lock_guard<std::mutex> lock (mutex);
    if (okCancelAnswers.empty())
    {
        ADD_FAILURE() << "unexpected question: " << text;
        return false;
    }

    const auto answer = okCancelAnswers.front();
    okCancelAnswers.pop_front();
    return answer;
}

AlertReply ScriptedUserInteraction::runAlert (const AlertRequest& request)
{
    record ({ "alert", request.icon, request.title, request.message, buttonTexts (request.buttons), request });

    const std::lock_guard<std::mutex> lock (mutex);
    if (alertAnswers.empty())
    {
        ADD_FAILURE() << "unexpected alert: " << request.title;
        return {};
    }

    auto answer = alertAnswers.front();
    alertAnswers.pop_front();
    return answer;
}

juce::Array<juce::File> ScriptedUserInteraction::chooseFilesToOpen (const FileChooserRequest& request)
{
    record ({ "files", MessageIcon::none, request.title, request.patterns, {}, {} });

    const std::lock_guard<std::mutex> lock (mutex);
    if (fileAnswers.empty())
    {
        ADD_FAILURE() << "unexpected file chooser: " << request.title;
        return {};
    }

    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

bool ScriptedUserInteraction::runJob (BackgroundJob& job, const JobWindowOptions& options)
{
    record ({ "job", MessageIcon::none, options.title, {}, {}, {} });

    std::function<bool (const juce::String&, double)> predicate;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        predicate = std::exchange (dismissPredicate, nullptr);
    }

    ScriptedJobThread thread (job, predicate,
                              [this] (const juce::String& status)
                              {
                                  const std::lock_guard<std::mutex> lock (mutex);
                                  jobStatuses.add (status);
                              });
    thread.startThread();

    auto* mm = juce::MessageManager::getInstanceWithoutCreating();
    const bool onMessageThread = mm != nullptr && mm->isThisTheMessageThread();

    while (thread.isThreadRunning() && ! thread.dismissed)
    {
        if (onMessageThread)
            mm->runDispatchLoopUntil (2);
        else
            juce::Thread::sleep (2);
    }

    if (thread.dismissed && ! thread.finished)
    {
        thread.signalThreadShouldExit();
        thread.waitForThreadToExit (options.stopTimeoutMs);
        return false;
    }

    thread.waitForThreadToExit (-1);
    return ! thread.dismissed;
}

void ScriptedUserInteraction::runDialog (const DialogRequest& request)
{
    record ({ "dialog", MessageIcon::none, request.title, {}, {}, {} });

    std::function<void (juce::Component&)> action;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        action = dialogAction;
    }

    if (action != nullptr && request.content != nullptr)
        action (*request.content);
}

bool ScriptedUserInteraction::openUrl (const juce::URL& url)
{
    record ({ "url", MessageIcon::none, {}, url.toString (true), {}, {} });
    return true;
}

void ScriptedUserInteraction::whileDialogIsOpen (std::function<void (juce::Component&)> action)
{
    const std::lock_guard<std::mutex> lock (mutex);
    dialogAction = std::move (action);
}
