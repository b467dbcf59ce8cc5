#include "playback/TransportSlider.h"

#include "editor/MainComponent.h"

TransportSlider::TransportSlider (MainComponent* ownerScreen)
    : juce::Slider (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox), owner (ownerScreen)
{
    setRange (0.0, 1.0, 0.0);
}

void TransportSlider::setValue (double newValue, juce::NotificationType notification)
{
    if (! dragging)
        juce::Slider::setValue (newValue, notification);
}

void TransportSlider::startedDragging()
{
    dragging = true;
}

void TransportSlider::stoppedDragging()
{
    dragging = false;
    if (owner != nullptr)
        owner->settrackPosition (getValue());
}
