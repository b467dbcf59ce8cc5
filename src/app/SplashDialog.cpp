#include "app/SplashDialog.h"

SplashDialog::SplashDialog()
{
    continueButton.setTooltip ("Continue");
    continueButton.addListener (this);
    addAndMakeVisible (continueButton);
    setSize (width, height);
}

SplashDialog::~SplashDialog() { continueButton.removeListener (this); }

void SplashDialog::paint (juce::Graphics& g) { g.fillAll (juce::Colours::white); }

void SplashDialog::resized() { continueButton.setBounds ((getWidth() - 150) / 2, 268, 150, 24); }

void SplashDialog::buttonClicked (juce::Button* button)
{
    if (button != &continueButton)
        return;

    if (auto* window = findParentComponentOfClass<juce::ResizableWindow>())
        window->setVisible (false);
}
