#include "app/JuceUserInteraction.h"

namespace
{
// Runs fn on the message thread and waits for it; a message box raised by a worker thread blocks
// that worker until it is dismissed.
void callOnMessageThread (const std::function<void()>& fn)
{
    auto* mm = juce::MessageManager::getInstance();

    if (mm->isThisTheMessageThread())
    {
        fn();
        return;
    }

    mm->callFunctionOnMessageThread (
        [] (void* f) -> void*
        {
            (*static_cast<const std::function<void()>*> (f))();
            return nullptr;
        },
        const_cast<std::function<void()>*> (&fn));
}

juce::KeyPress toKeyPress (AlertButton::Key key)
{
    switch (key)
    {
        case AlertButton::Key::returnKey:
            return juce::KeyPress (juce::KeyPress::returnKey);
        case AlertButton::Key::escapeKey:
            return juce::KeyPress (juce::KeyPress::escapeKey);
        case AlertButton::Key::none:
        default:
            return {};
    }
}

// A slider with increment and decrement buttons, placed in a holder as the alert shows it.
class SliderHolder : public juce::Component
{
public:
    explicit SliderHolder (const AlertSlider& settings)
    {
        slider.setSliderStyle (juce::Slider::IncDecButtons);
        slider.setIncDecButtonsMode (juce::Slider::incDecButtonsDraggable_AutoDirection);
        slider.setTextBoxStyle (juce::Slider::TextBoxRight, false, 50, 16);
        slider.setRange (settings.minimum, settings.maximum, settings.step);
        slider.setValue (settings.value, juce::dontSendNotification);
        slider.setBounds (80, 0, 120, 16);
        addAndMakeVisible (slider);
        setSize (240, 16);
    }

    juce::Slider slider;
};

class NoteHolder : public juce::Component
{
public:
    NoteHolder (const juce::String& text, int width, int height)
    {
        label.setText (text, juce::dontSendNotification);
        label.setJustificationType (juce::Justification::centred);
        label.setEditable (false);
        label.setBounds (0, 0, width, height);
        addAndMakeVisible (label);
        setSize (width, height);
    }

    juce::Label label;
};

class ProgressWindowJob : public juce::ThreadWithProgressWindow, public JobProgress
{
public:
    ProgressWindowJob (BackgroundJob& jobToRun, const JobWindowOptions& options)
        : juce::ThreadWithProgressWindow (options.title, options.hasProgressBar, options.hasCancelButton,
                                          options.stopTimeoutMs, options.cancelButtonText),
          job (jobToRun)
    {
    }

    void run() override { job.runJob (*this); }

    void setProgress (double newProgress) override { juce::ThreadWithProgressWindow::setProgress (newProgress); }
    void setStatusMessage (const juce::String& text) override
    {
        juce::ThreadWithProgressWindow::setStatusMessage (text);
    }
    bool shouldExit() const override { return threadShouldExit(); }

private:
    BackgroundJob& job;
};
} // namespace

juce::MessageBoxIconType JuceUserInteraction::toIconType (MessageIcon icon)
{
    switch (icon)
    {
        case MessageIcon::information:
            return juce::MessageBoxIconType::InfoIcon;
        case MessageIcon::question:
            return juce::MessageBoxIconType::QuestionIcon;
        case MessageIcon::warning:
            return juce::MessageBoxIconType::WarningIcon;
        case MessageIcon::none:
        default:
            return juce::MessageBoxIconType::NoIcon;
    }
}

void JuceUserInteraction::showMessage (MessageIcon icon, const juce::String& title, const juce::String& text,
                                       const juce::String& button)
{
    callOnMessageThread ([&] { juce::AlertWindow::showMessageBox (toIconType (icon), title, text, button); });
}

bool JuceUserInteraction::askOkCancel (MessageIcon icon, const juce::String& title, const juce::String& text,
                                       const juce::String& okButton, const juce::String& cancelButton)
{
    bool ok = false;
    callOnMessageThread (
        [&] { ok = juce::AlertWindow::showOkCancelBox (toIconType (icon), title, text, okButton, cancelButton); });
    return ok;
}

std::unique_ptr<juce::AlertWindow> JuceUserInteraction::createAlertWindow (const AlertRequest& request)
{
    auto window = std::make_unique<juce::AlertWindow> (request.title, request.message, toIconType (request.icon));

    for (const auto& field : request.textFields)
        window->addTextEditor (field.name, field.initialText, field.label);

    if (request.note.has_value())
    {
        const auto width = request.note->width > 0 ? request.note->width : window->getWidth();
        window->addCustomComponent (new NoteHolder (request.note->text, width, request.note->height));
    }

    if (request.slider.has_value())
        window->addCustomComponent (new SliderHolder (*request.slider));

    for (const auto& button : request.buttons)
        window->addButton (button.text, button.result, toKeyPress (button.key));

    return window;
}

AlertReply JuceUserInteraction::runAlert (const AlertRequest& request)
{
    AlertReply reply;

    callOnMessageThread (
        [&]
        {
            auto window = createAlertWindow (request);
            reply.result = window->runModalLoop();

            for (const auto& field : request.textFields)
                reply.fields.set (field.name, window->getTextEditorContents (field.name));

            for (int i = 0; i < window->getNumCustomComponents(); ++i)
                if (auto* holder = dynamic_cast<SliderHolder*> (window->getCustomComponent (i)))
                    reply.sliderValue = holder->slider.getValue();

            for (int i = window->getNumCustomComponents(); --i >= 0;)
                delete window->removeCustomComponent (i);
        });

    return reply;
}

juce::Array<juce::File> JuceUserInteraction::chooseFilesToOpen (const FileChooserRequest& request)
{
    juce::Array<juce::File> files;

    callOnMessageThread (
        [&]
        {
            juce::FileChooser chooser (request.title, {}, request.patterns, true);
            const auto chosen =
                request.multipleFiles ? chooser.browseForMultipleFilesToOpen() : chooser.browseForFileToOpen();
            if (chosen)
                files = chooser.getResults();
        });

    return files;
}

bool JuceUserInteraction::runJob (BackgroundJob& job, const JobWindowOptions& options)
{
    bool finished = false;
    callOnMessageThread (
        [&]
        {
            ProgressWindowJob window (job, options);
            finished = window.runThread (juce::Thread::Priority::normal);
        });
    return finished;
}

void JuceUserInteraction::runDialog (const DialogRequest& request)
{
    callOnMessageThread (
        [&]
        {
            juce::DialogWindow::LaunchOptions options;
            options.dialogTitle = request.title;
            options.content.setNonOwned (request.content);
            options.dialogBackgroundColour = request.background;
            options.escapeKeyTriggersCloseButton = request.escapeKeyCloses;
            options.resizable = request.resizable;
            options.componentToCentreAround = request.centreAround;
            options.useNativeTitleBar = true;
            options.runModal();
        });
}

bool JuceUserInteraction::openUrl (const juce::URL& url)
{
    return url.launchInDefaultBrowser();
}
