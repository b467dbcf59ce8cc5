#include "app/HyperlinkImage.h"

#include "app/UserInteraction.h"

HyperlinkImage::HyperlinkImage (const juce::String& name, const juce::URL& address)
    : juce::ImageComponent (name), url (address)
{
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
    setTooltip (url.toString (false));
}

void HyperlinkImage::mouseDown (const juce::MouseEvent&)
{
    if (isWellFormedWebAddress (url))
        UserInteraction::current().openUrl (url);
}
