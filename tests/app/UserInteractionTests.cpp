#include "app/JuceUserInteraction.h"

#include "support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

namespace
{
TEST (UserInteraction, TheCommonBoxesCarryTheProgramsTitlesAndButtons)
{
    ScriptedUserInteraction ui;
    UserInteraction::current().showError ("Empty project.");
    UserInteraction::current().showWarning ("Careful.");
    ui.answerOkCancel (true);
    EXPECT_TRUE (UserInteraction::current().askYesNo ("Continue?"));

    const auto calls = ui.getCalls();
    ASSERT_EQ (calls.size(), 3u);
    EXPECT_EQ (calls[0].icon, MessageIcon::warning);
    EXPECT_EQ (calls[0].summary(), "Error!: Empty project.");
    EXPECT_EQ (calls[0].buttons, juce::StringArray ("OK"));
    EXPECT_EQ (calls[1].summary(), "Warning!: Careful.");
    EXPECT_EQ (calls[2].icon, MessageIcon::question);
    EXPECT_EQ (calls[2].title, "");
    EXPECT_EQ (calls[2].buttons, juce::StringArray ({ "Yes", "No" }));
}

TEST (UserInteraction, ScopedInteractionsNestAndRestore)
{
    ScriptedUserInteraction outer;
    {
        ScriptedUserInteraction inner;
        EXPECT_EQ (&UserInteraction::current(), &inner);
    }
    EXPECT_EQ (&UserInteraction::current(), &outer);
}

TEST (UserInteraction, AlertWindowsAreBuiltFromTheRequest)
{
    AlertRequest request;
    request.icon = MessageIcon::question;
    request.title = "Client Information";
    request.textFields = { { "jobsrv", "Job Number", "" }, { "email", "Email Address", "a@b.example" } };
    request.note = AlertNote { "A note.", 330, 72 };
    request.slider = AlertSlider { 0.0, 4.0, 1.0, 2.0 };
    request.buttons = { { "Ok", 1, AlertButton::Key::returnKey }, { "Cancel", 0, AlertButton::Key::escapeKey } };

    auto window = JuceUserInteraction::createAlertWindow (request);
    EXPECT_EQ (window->getName(), "Client Information");
    EXPECT_EQ (window->getAlertType(), juce::MessageBoxIconType::QuestionIcon);
    EXPECT_EQ (window->getNumButtons(), 2);
    EXPECT_EQ (window->getTextEditorContents ("email"), "a@b.example");
    EXPECT_NE (window->getTextEditor ("jobsrv"), nullptr);
    ASSERT_EQ (window->getNumCustomComponents(), 2);
    EXPECT_EQ (window->getCustomComponent (0)->getWidth(), 330);
    EXPECT_EQ (window->getCustomComponent (0)->getHeight(), 72);
    EXPECT_EQ (window->getCustomComponent (1)->getBounds().getWidth(), 240);

    auto* slider = dynamic_cast<juce::Slider*> (window->getCustomComponent (1)->getChildComponent (0));
    ASSERT_NE (slider, nullptr);
    EXPECT_EQ (slider->getValue(), 2.0);
    EXPECT_EQ (slider->getMaximum(), 4.0);
    EXPECT_EQ (slider->getBounds(), juce::Rectangle<int> (80, 0, 120, 16));

    for (int i = window->getNumCustomComponents(); --i >= 0;)
        delete window->removeCustomComponent (i);
}

class CountingJob : public BackgroundJob
{
public:
    void runJob (JobProgress& progress) override
    {
        for (int i = 0; i < 200 && ! progress.shouldExit(); ++i)
        {
            progress.setStatusMessage ("step " + juce::String (i));
            juce::Thread::sleep (1);
            steps = i + 1;
        }
    }

    std::atomic<int> steps { 0 };
};

TEST (UserInteraction, ScriptedJobsRunToTheirEndOrAreDismissed)
{
    ScriptedUserInteraction ui;
    JobWindowOptions window;
    window.title = "Please wait...";
    CountingJob job;
    EXPECT_TRUE (UserInteraction::current().runJob (job, window));
    EXPECT_EQ (job.steps, 200);

    CountingJob stopped;
    ui.dismissJobWhen ([] (const juce::String& status, double) { return status == "step 10"; });
    EXPECT_FALSE (UserInteraction::current().runJob (stopped, window));
    EXPECT_LT (stopped.steps, 200);
    EXPECT_EQ (ui.getCalls ("job").size(), 2u);
    EXPECT_EQ (ui.getCalls ("job")[0].title, "Please wait...");
}
} // namespace

namespace
{
// A job that reports from its own thread, as the DDP export does, then goes on.
class ReportingJob : public BackgroundJob
{
public:
    void runJob (JobProgress& progress) override
    {
        progress.setStatusMessage ("Writing image...");
        UserInteraction::current().showError ("Error writing data.");
        messageReturned = true;
        progress.setProgress (1.0);
    }

    std::atomic<bool> messageReturned { false };
};

// Presses the first button of whatever alert window is modal, once one is.
void pressAlertButtonWhenShown (std::function<void (juce::AlertWindow&)> check)
{
    juce::Timer::callAfterDelay (50,
                                 [check]
                                 {
                                     auto* modal = juce::Component::getCurrentlyModalComponent();
                                     auto* alert = dynamic_cast<juce::AlertWindow*> (modal);
                                     if (alert == nullptr || alert->getNumButtons() == 0)
                                     {
                                         pressAlertButtonWhenShown (check);
                                         return;
                                     }
                                     check (*alert);
                                     alert->exitModalState (0);
                                 });
}

TEST (JuceUserInteraction, AJobBehindAProgressWindowWaitsForItsMessagesToBeAnswered)
{
    JuceUserInteraction ui;
    ScopedUserInteraction installed (ui);

    juce::String shownTitle;
    pressAlertButtonWhenShown ([&] (juce::AlertWindow& alert) { shownTitle = alert.getName(); });

    ReportingJob job;
    JobWindowOptions window;
    window.title = "Please wait...";
    EXPECT_TRUE (ui.runJob (job, window));
    EXPECT_TRUE (job.messageReturned);
    EXPECT_EQ (shownTitle, "Error!");
}
} // namespace
