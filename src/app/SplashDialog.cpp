#include "app/SplashDialog.h"

#include "app/Branding.h"

#include <BinaryData.h>

SplashDialog::SplashDialog()
    : logo ({}, juce::URL (Branding::plantWebPage)),
      logoImage (juce::ImageCache::getFromMemory (BinaryData::logoDemo_png, BinaryData::logoDemo_pngSize))
{
    heading.setText ("This software is presented to you by", juce::dontSendNotification);
    heading.setFont (juce::Font (15.0f, juce::Font::bold));
    heading.setJustificationType (juce::Justification::centred);
    heading.setEditable (false);
    addAndMakeVisible (heading);

    logo.setImage (logoImage);
    addAndMakeVisible (logo);

    continueButton.addListener (this);
    addAndMakeVisible (continueButton);

    setSize (width, height);
}

SplashDialog::~SplashDialog()
{
    continueButton.removeListener (this);
}

void SplashDialog::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
}

void SplashDialog::resized()
{
    heading.setBounds (12, 9, getWidth() - 24, 24);
    logo.setBounds ((getWidth() - logoImage.getWidth()) / 2, 33, logoImage.getWidth(), logoImage.getHeight());
    continueButton.setBounds ((getWidth() - 150) / 2, 268, 150, 24);
}

void SplashDialog::buttonClicked (juce::Button* button)
{
    if (button != &continueButton)
        return;

    if (auto* window = findParentComponentOfClass<juce::ResizableWindow>())
        window->setVisible (false);
}
