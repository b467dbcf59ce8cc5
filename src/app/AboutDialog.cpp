#include "app/AboutDialog.h"

#include "app/ApplicationInfo.h"

#include <BinaryData.h>

juce::String AboutDialog::makerNotice (int year)
{
    return juce::String (juce::CharPointer_UTF8 ("\xc2\xa9 ")) + juce::String (year) + " " + Branding::makerName;
}

AboutDialog::AboutDialog()
    : logo (juce::ImageCache::getFromMemory (BinaryData::logoKalmera_png, BinaryData::logoKalmera_pngSize))
{
    const auto setUp = [this] (juce::Label& label, const juce::String& text, bool bold)
    {
        label.setText (text, juce::dontSendNotification);
        label.setFont (juce::Font (15.0f, bold ? juce::Font::bold : juce::Font::plain));
        label.setJustificationType (juce::Justification::centred);
        label.setEditable (false);
        label.setColour (juce::Label::backgroundWhenEditingColourId, juce::Colours::transparentBlack);
        label.setColour (juce::TextEditor::backgroundColourId, juce::Colours::transparentBlack);
        addAndMakeVisible (label);
    };

    setUp (versionLabel, ApplicationInfo::name() + " Version " + ApplicationInfo::version(), false);
    setUp (noticeLabel, makerNotice (juce::Time::getCurrentTime().getYear()), false);
    setUp (nameLabel, ApplicationInfo::name(), true);
    setUp (poweredByLabel, "powered by", true);
    setUp (taglineLabel, "Professional Mastering Software", true);

    makerLink.setButtonText (Branding::makerName);
    makerLink.setURL (juce::URL (Branding::makerWebSite));
    makerLink.setFont (juce::Font (15.0f), false, juce::Justification::centred);
    addAndMakeVisible (makerLink);

    setSize (width, height);
}

void AboutDialog::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
    g.drawImageAt (logo, 24, (getHeight() - logo.getHeight()) / 2);
}

void AboutDialog::resized()
{
    const auto x = getWidth() / 2 + 12;
    const auto w = getWidth() / 2 - 24;

    versionLabel.setBounds (x, 24, w, 24);
    noticeLabel.setBounds (x, 56, w, 24);
    nameLabel.setBounds (x, 104, w, 24);
    poweredByLabel.setBounds (x, 136, w, 24);
    makerLink.setBounds (x, 168, w, 24);
    taglineLabel.setBounds (x, 200, w, 24);
}
