#pragma once

#include "app/Branding.h"

#include <juce_events/juce_events.h>

// The running application's name and version; the branding's values where no application object
// exists (the headless tests).
namespace ApplicationInfo
{
inline juce::String name()
{
    auto* app = juce::JUCEApplicationBase::getInstance();
    return app != nullptr ? app->getApplicationName() : juce::String (Branding::applicationName);
}

inline juce::String version()
{
    auto* app = juce::JUCEApplicationBase::getInstance();
    return app != nullptr ? app->getApplicationVersion() : juce::String (Branding::applicationVersion);
}
} // namespace ApplicationInfo
