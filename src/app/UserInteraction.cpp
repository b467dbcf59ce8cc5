#include "app/UserInteraction.h"

#include <atomic>

namespace
{
std::atomic<UserInteraction*> currentInteraction { nullptr };
}

void UserInteraction::showError (const juce::String& text) { showMessage (MessageIcon::warning, "Error!", text, "OK"); }

void UserInteraction::showWarning (const juce::String& text)
{
    showMessage (MessageIcon::warning, "Warning!", text, "OK");
}

bool UserInteraction::askYesNo (const juce::String& text)
{
    return askOkCancel (MessageIcon::question, {}, text, juce::translate ("Yes"), juce::translate ("No"));
}

bool isWellFormedWebAddress (const juce::URL& url)
{
    const auto scheme = url.getScheme();
    return (scheme == "http" || scheme == "https") && url.getDomain().isNotEmpty()
           && ! url.toString (true).containsAnyOf (" \t\r\n");
}

UserInteraction& UserInteraction::current()
{
    auto* interaction = currentInteraction.load();
    jassert (interaction != nullptr); // the application or the test installs one before use
    return *interaction;
}

void UserInteraction::setCurrent (UserInteraction* interaction) { currentInteraction = interaction; }

ScopedUserInteraction::ScopedUserInteraction (UserInteraction& interaction)
    : previous (currentInteraction.exchange (&interaction))
{
}

ScopedUserInteraction::~ScopedUserInteraction() { currentInteraction = previous; }
