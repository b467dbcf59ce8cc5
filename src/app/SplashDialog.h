#pragma once

#include "app/HyperlinkImage.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The panel shown modally before the main window: it names the plant that hands the program to its
// customers and shows the plant's logo, which links to the plant's web page. "Continue" hides the
// window that holds it, which ends its modal loop.
class SplashDialog : public juce::Component, public juce::Button::Listener
{
public:
    static constexpr int width = 487;
    static constexpr int height = 314;

    SplashDialog();
    ~SplashDialog() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    juce::TextButton& getContinueButton() { return continueButton; }
    HyperlinkImage& getLogo() { return logo; }
    juce::Label& getHeading() { return heading; }

private:
    juce::TooltipWindow tooltips { nullptr, 700 };
    juce::Label heading;
    HyperlinkImage logo;
    juce::Image logoImage;
    juce::TextButton continueButton { "Continue", "Continue" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SplashDialog)
};
