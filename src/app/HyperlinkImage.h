#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// An image that opens a web address when it is clicked; the address is its tooltip.
class HyperlinkImage : public juce::ImageComponent
{
public:
    HyperlinkImage (const juce::String& name, const juce::URL& url);

    void mouseDown (const juce::MouseEvent&) override;

    const juce::URL& getURL() const { return url; }

private:
    juce::URL url;
};
