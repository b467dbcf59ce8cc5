#include "playback/TransportButton.h"

TransportButton::TransportButton (const juce::String& name, int buttonShape, const juce::String& tooltip)
    : juce::TextButton (name, tooltip), shape (buttonShape)
{
    setButtonText ({});
}

void TransportButton::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    // A toggling button that is on is drawn pressed.
    const bool pressed = isButtonDown || (getClickingTogglesState() && getToggleState());
    auto& lf = getLookAndFeel();

    const auto background = findColour (getToggleState() ? buttonOnColourId : buttonColourId);
    lf.drawButtonBackground (g, *this, background, isMouseOver, pressed);

    if (shape == text)
    {
        lf.drawButtonText (g, *this, isMouseOver, pressed);
        return;
    }

    const auto w = (float) getWidth(), h = (float) getHeight();
    const auto shift = pressed ? -1.0f : 0.0f;
    const auto cx = w / 2.0f + shift, cy = h / 2.0f + shift;

    juce::Path path;

    if (shape == play)
    {
        const auto s = h * 0.25f, d = 1.2f * s;
        path.addTriangle (cx - d, cy - s, cx - d, cy + s, cx + d, cy);
    }
    else
    {
        const auto u = h / 6.0f, d = 1.2f * u;
        const auto direction = shape == previous ? 1.0f : -1.0f; // previous points left, next right

        for (auto offset : { u, -u })
        {
            const auto edge = cx + direction * d + offset;
            const auto tip = cx - direction * d + offset;
            path.addTriangle (edge, cy - u, edge, cy + u, tip, cy);
        }
    }

    g.setColour (findColour (pressed ? textColourOnId : textColourOffId));
    g.fillPath (path);
}
