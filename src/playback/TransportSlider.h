#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MainComponent;

// The position within the selected index item. While the user drags it, the preview timer may not
// move it; when the drag ends, playback seeks to where it was let go.
class TransportSlider : public juce::Slider
{
public:
    explicit TransportSlider (MainComponent* owner);

    void setValue (double newValue, juce::NotificationType notification = juce::sendNotificationAsync);

    void startedDragging() override;
    void stoppedDragging() override;


private:
    MainComponent* owner;
    bool dragging = false;
};
