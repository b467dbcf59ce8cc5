#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The elapsed-time display of the preview, drawn as a small glossy panel.
class PositionLabel : public juce::Label
{
public:
    PositionLabel (const juce::String& name, const juce::String& initialText);

    void paint (juce::Graphics&) override;
};
