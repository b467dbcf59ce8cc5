#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A text button that draws a transport symbol instead of its text.
class TransportButton : public juce::TextButton
{
public:
    enum Shape
    {
        text = 0,
        play = 1,
        previous = 3,
        next = 4
    };

    TransportButton (const juce::String& name, int shape, const juce::String& tooltip);

    void paintButton (juce::Graphics&, bool isMouseOver, bool isButtonDown) override;


private:
    int shape;
};
