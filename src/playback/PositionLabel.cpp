#include "playback/PositionLabel.h"

PositionLabel::PositionLabel (const juce::String& name, const juce::String& initialText)
    : juce::Label (name, initialText)
{
}

void PositionLabel::paint (juce::Graphics& g)
{
    const auto w = getWidth(), h = getHeight();
    const auto base = getLookAndFeel().findColour (juce::ListBox::backgroundColourId);

    g.setGradientFill (juce::ColourGradient::vertical (base.darker (0.5f), 0.0f, base.brighter (1.0f), (float) h));
    g.fillAll();

    auto textFont = getFont();
    textFont.setTypefaceName ("Arial");
    g.setFont (textFont);
    g.setColour (findColour (textColourId));

    const auto area = getBorderSize().subtractedFrom (getLocalBounds());
    g.drawFittedText (getText(), area, getJustificationType(), juce::jmax (1, (int) ((float) h / textFont.getHeight())),
                      getMinimumHorizontalScale());

    g.setColour (findColour (outlineColourId));
    g.drawRect (getLocalBounds());

    g.setColour (juce::Colours::white);
    g.fillRect (1, h - 1, w - 1, 1);
    g.fillRect (w - 1, 1, 1, h - 1);

    g.setColour (base.withMultipliedAlpha (0.3f));
    g.fillRect (1, 1, w - 2, h / 2 - 2);
}
