#include "app/KalmeraLookAndFeel.h"

#include <BinaryData.h>

#include <mutex>

namespace
{
const juce::Colour blueColour (KalmeraLookAndFeel::blue);
const juce::Colour darkGreyColour (KalmeraLookAndFeel::darkGrey);

bool isToggledOrDown (juce::Button& button, bool isDown)
{
    return isDown || (button.getClickingTogglesState() && button.getToggleState());
}
} // namespace

KalmeraLookAndFeel* KalmeraLookAndFeel::getInstance()
{
    // Created on first use and kept until the program ends: components may still refer to it
    // while static destructors run.
    static std::once_flag once;
    static KalmeraLookAndFeel* instance = nullptr;
    std::call_once (once, [] { instance = new KalmeraLookAndFeel(); });
    return instance;
}

KalmeraLookAndFeel::KalmeraLookAndFeel()
{
    using namespace juce;

    const auto buttonFace = blueColour.darker (0.4f);

    setColour (PopupMenu::textColourId, Colours::black);
    setColour (PopupMenu::backgroundColourId, Colours::white);
    setColour (PopupMenu::highlightedTextColourId, Colours::white);
    setColour (PopupMenu::highlightedBackgroundColourId, blueColour);

    setColour (ToggleButton::textColourId, darkGreyColour.darker (0.4f));

    setColour (TextButton::buttonColourId, buttonFace);
    setColour (TextButton::buttonOnColourId, blueColour.brighter (0.25f));
    setColour (TextButton::textColourOffId, Colours::white.withAlpha (0.7f));
    setColour (TextButton::textColourOnId, Colours::white);

    setColour (TextEditor::backgroundColourId, Colours::white);
    setColour (TextEditor::textColourId, darkGreyColour);
    setColour (TextEditor::outlineColourId, Colour (0xffa0a0a0));
    setColour (TextEditor::focusedOutlineColourId, Colours::steelblue);
    setColour (TextEditor::shadowColourId, Colours::white.withAlpha (0.7f));
    setColour (TextEditor::highlightColourId, blueColour);
    setColour (TextEditor::highlightedTextColourId, Colours::white);

    setColour (Label::backgroundColourId, Colours::transparentBlack);
    setColour (Label::textColourId, darkGreyColour.darker (0.4f));

    setColour (ComboBox::textColourId, darkGreyColour);
    setColour (ComboBox::backgroundColourId, Colours::white);
    setColour (ComboBox::arrowColourId, buttonFace);

    setColour (Slider::thumbColourId, buttonFace);
    setColour (Slider::trackColourId, Colour (0x7fffffff));
    setColour (Slider::rotarySliderFillColourId, Colours::white);
    setColour (Slider::textBoxOutlineColourId, findColour (ComboBox::outlineColourId));

    setColour (AlertWindow::backgroundColourId, Colour (0xffededed));
    setColour (AlertWindow::textColourId, Colours::black);
    setColour (AlertWindow::outlineColourId, Colour (0xff666666));

    setColour (ProgressBar::backgroundColourId, Colours::white);
    setColour (ProgressBar::foregroundColourId, Colour (0xffaaaaee));

    setColour (ListBox::backgroundColourId, Colour (0xffaaaaff).brighter (1.0f));
    setColour (ListBox::outlineColourId, Colour (0xb2808080));
    setColour (ListBox::textColourId, Colours::black);
}

juce::Font KalmeraLookAndFeel::arial (float height, int styleFlags) { return juce::Font ("Arial", height, styleFlags); }

juce::Colour KalmeraLookAndFeel::createBaseColour (juce::Colour colour, bool isEnabled, bool isHighlighted, bool isDown)
{
    if (isDown)
        colour = colour.withMultipliedSaturation (0.9f);
    else if (isHighlighted)
        colour = colour.withMultipliedSaturation (1.3f);

    return isEnabled ? colour : colour.withMultipliedAlpha (0.5f);
}

//==================================================================================================
void KalmeraLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                               const juce::Colour& backgroundColour, bool isHighlighted, bool isDown)
{
    using namespace juce;

    const auto width = button.getWidth();
    const auto height = button.getHeight();
    const auto sunken = isToggledOrDown (button, isDown);
    const auto base = createBaseColour (backgroundColour, button.isEnabled(), isHighlighted, sunken);

    if (backgroundColour == Colour (flatGreen))
        g.setColour (base);
    else
        g.setGradientFill (ColourGradient::vertical (base.brighter (1.0f), 1.0f, base, (float) (height - 1)));

    g.fillRect (0, 0, width, height);

    g.setColour (base.brighter (0.75f));
    g.fillRect (1, 1, width - 2, 1);

    const auto topLeft = sunken ? Colours::grey : Colours::lightgrey;
    const auto bottomRight = sunken ? Colours::lightgrey : Colours::grey;
    const auto inset = sunken ? 0 : 1;

    g.setColour (topLeft);
    g.fillRect (0, 0, 1, height);
    g.fillRect (0, 0, width, 1);

    g.setColour (bottomRight);
    g.fillRect (width - 1, inset, 1, height - inset);
    g.fillRect (inset, height - 1, width - inset, 1);
}

juce::Font KalmeraLookAndFeel::getTextButtonFont (juce::TextButton&, int) { return arial (15.0f, juce::Font::bold); }

void KalmeraLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool isDown)
{
    using namespace juce;

    const auto font = getTextButtonFont (button, button.getHeight());
    g.setFont (font);
    g.setColour (button.findColour (button.getToggleState() ? TextButton::textColourOnId : TextButton::textColourOffId)
                     .withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f));

    const int shift = isToggledOrDown (button, isDown) ? 2 : 0;
    const int yIndent = jmin (2, button.proportionOfHeight (0.3f));
    const int cornerSize = jmin (button.getHeight(), button.getWidth()) / 2;
    const int fontHeight = roundToInt (font.getHeight() * 0.6f);
    const int leftIndent = jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnLeft() ? 4 : 2));
    const int rightIndent = jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnRight() ? 4 : 2));

    const int left = leftIndent - shift;
    const int top = yIndent - shift;
    const int textWidth = button.getWidth() - left - rightIndent;

    if (textWidth > 0)
        g.drawFittedText (button.getButtonText(), left, top, textWidth, button.getHeight() - top - yIndent,
                          Justification::centred, 2, 0.7f);
}

void KalmeraLookAndFeel::drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool isHighlighted,
                                           bool isDown)
{
    using namespace juce;

    const auto width = button.getWidth();
    const auto height = button.getHeight();

    if (button.hasKeyboardFocus (true))
    {
        g.setColour (button.findColour (TextEditor::focusedOutlineColourId));
        g.drawRect (0, 0, width, height);
    }

    const auto tickSize = (float) jmin (20, height - 4);
    drawTickBox (g, button, 4.0f, ((float) height - tickSize) * 0.5f, tickSize, tickSize, button.getToggleState(),
                 button.isEnabled(), isHighlighted, isDown);

    if (! button.isEnabled())
        g.setOpacity (0.5f);

    g.setFont (arial (jmin (15.0f, (float) height * 0.6f)));

    const auto textX = (int) tickSize + 5;
    const auto textWidth = width - (int) tickSize - 7;
    const auto alpha = button.isEnabled() ? 1.0f : 0.5f;

    g.setColour (Colours::lightgrey.withMultipliedAlpha (alpha));
    g.drawFittedText (button.getButtonText(), textX, 5, textWidth, height - 8, Justification::centredLeft, 10, 0.7f);

    g.setColour (button.findColour (ToggleButton::textColourId).withMultipliedAlpha (alpha));
    g.drawFittedText (button.getButtonText(), textX, 4, textWidth, height - 8, Justification::centredLeft, 10, 0.7f);
}

//==================================================================================================
void KalmeraLookAndFeel::fillTextEditorBackground (juce::Graphics& g, int width, int height, juce::TextEditor& editor)
{
    g.setColour (editor.findColour (juce::TextEditor::backgroundColourId));
    g.fillRect (0, 0, width, height);
}

void KalmeraLookAndFeel::drawTextEditorStyleFrame (juce::Graphics& g, int width, int height, juce::Colour outline,
                                                   juce::Colour shadow)
{
    g.setColour (outline);
    g.drawRect (0, 0, width, height);

    g.setColour (shadow);
    g.fillRect (1, height - 2, width - 2, 1);
    g.fillRect (width - 2, 1, 1, height - 2);
}

void KalmeraLookAndFeel::drawTextEditorOutline (juce::Graphics& g, int width, int height, juce::TextEditor& editor)
{
    using namespace juce;

    if (! editor.isEnabled())
        return;

    if (editor.hasKeyboardFocus (true) && ! editor.isReadOnly())
    {
        g.setColour (editor.findColour (TextEditor::focusedOutlineColourId));
        g.drawRect (0, 0, width, height, 2);
        return;
    }

    drawTextEditorStyleFrame (g, width, height, editor.findColour (TextEditor::outlineColourId),
                              editor.findColour (TextEditor::shadowColourId));
}

//==================================================================================================
juce::Font KalmeraLookAndFeel::getLabelFont (juce::Label& label)
{
    auto font = label.getFont();
    font.setTypefaceName ("Arial");
    return font;
}

void KalmeraLookAndFeel::drawLabel (juce::Graphics& g, juce::Label& label)
{
    using namespace juce;

    g.fillAll (label.findColour (Label::backgroundColourId));

    const auto outline = label.findColour (Label::outlineColourId);

    if (label.isBeingEdited())
    {
        if (label.isEnabled())
        {
            g.setColour (outline);
            g.drawRect (label.getLocalBounds());
        }
        return;
    }

    const auto font = getLabelFont (label);
    const auto alpha = label.isEnabled() ? 1.0f : 0.5f;
    const auto textArea = getLabelBorderSize (label).subtractedFrom (label.getLocalBounds());
    const auto lines = jmax (1, (int) ((float) textArea.getHeight() / font.getHeight()));
    const auto textColour = label.findColour (Label::textColourId);

    g.setFont (font);

    if (label.isEditableOnSingleClick() || label.isEditableOnDoubleClick())
    {
        drawTextEditorStyleFrame (g, label.getWidth(), label.getHeight(), findColour (TextEditor::outlineColourId),
                                  findColour (TextEditor::shadowColourId));
    }
    else
    {
        // The embossed shadow fades with the text: a label whose text is invisible casts none.
        g.setColour (Colours::lightgrey.withMultipliedAlpha (alpha * textColour.getFloatAlpha()));
        g.drawFittedText (label.getText(), textArea.translated (0, 1), label.getJustificationType(), lines,
                          label.getMinimumHorizontalScale());
    }

    g.setColour (textColour.withMultipliedAlpha (alpha));
    g.drawFittedText (label.getText(), textArea, label.getJustificationType(), lines,
                      label.getMinimumHorizontalScale());

    g.setColour (outline.withMultipliedAlpha (alpha));
    g.drawRect (label.getLocalBounds());
}

//==================================================================================================
juce::Font KalmeraLookAndFeel::getMenuBarFont (juce::MenuBarComponent&, int, const juce::String&)
{
    return juce::Font (16.0f);
}

void KalmeraLookAndFeel::drawMenuBarBackground (juce::Graphics& g, int width, int height, bool, juce::MenuBarComponent&)
{
    g.setGradientFill (
        juce::ColourGradient::vertical (juce::Colour (0xff5d5d5d), 0.0f, juce::Colour (0xff414141), (float) height));
    g.fillRect (0, 0, width, height);
}

void KalmeraLookAndFeel::drawMenuBarItem (juce::Graphics& g, int width, int height, int itemIndex,
                                          const juce::String& itemText, bool isMouseOverItem, bool isMenuOpen, bool,
                                          juce::MenuBarComponent& menuBar)
{
    using namespace juce;

    if (menuBar.isEnabled() && (isMenuOpen || isMouseOverItem))
    {
        g.setGradientFill (ColourGradient::vertical (Colour (0xff5d5d5d).brighter (0.4f), 0.0f,
                                                     Colour (0xff414141).brighter (0.4f), (float) height));
        g.fillRect (0, 0, width, height);
    }

    g.setColour (Colours::white);
    g.setFont (getMenuBarFont (menuBar, itemIndex, itemText));
    g.drawFittedText (itemText, 0, 0, width, height, Justification::centred, 1);
}

//==================================================================================================
juce::Font KalmeraLookAndFeel::getPopupMenuFont() { return juce::Font (16.0f); }

void KalmeraLookAndFeel::drawPopupMenuBackground (juce::Graphics& g, int, int)
{
    g.fillAll (findColour (juce::PopupMenu::backgroundColourId));
}

void KalmeraLookAndFeel::drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area, bool isSeparator,
                                            bool isActive, bool isHighlighted, bool isTicked, bool hasSubMenu,
                                            const juce::String& text, const juce::String& shortcutKeyText,
                                            const juce::Drawable* icon, const juce::Colour* textColour)
{
    using namespace juce;

    if (isSeparator)
    {
        g.setColour (Colour (0x33000000));
        g.fillRect (area.getX() + 5, area.getY() + area.getHeight() / 2, area.getWidth() - 10, 1);
        return;
    }

    auto r = area.reduced (1);

    if (isHighlighted)
    {
        const auto highlight = findColour (PopupMenu::highlightedBackgroundColourId);
        g.setGradientFill (
            ColourGradient::vertical (highlight.brighter (1.0f), (float) r.getY(), highlight, (float) r.getBottom()));
        g.fillRect (r);
        g.setColour (highlight.brighter (0.5f));
        g.fillRect (r.getX(), r.getY(), r.getWidth(), 1);
        g.setColour (findColour (PopupMenu::highlightedTextColourId));
    }
    else
    {
        g.setColour (textColour != nullptr ? *textColour : findColour (PopupMenu::textColourId));
    }

    if (! isActive)
        g.setOpacity (0.3f);

    auto font = getPopupMenuFont();
    const auto maxFontHeight = (float) area.getHeight() / 1.3f;
    if (font.getHeight() > maxFontHeight)
        font.setHeight (maxFontHeight);
    g.setFont (font);

    const auto iconArea = r.removeFromLeft ((r.getHeight() * 5) / 4).reduced (3).toFloat();

    if (icon != nullptr)
    {
        icon->drawWithin (g, iconArea, RectanglePlacement::centred | RectanglePlacement::onlyReduceInSize, 1.0f);
    }
    else if (isTicked)
    {
        const auto tick = getTickShape (1.0f);
        g.fillPath (tick, tick.getTransformToScaleToFit (iconArea, true));
    }

    if (hasSubMenu)
    {
        const auto arrowH = 0.6f * getPopupMenuFont().getAscent();
        const auto x = (float) r.removeFromRight ((int) arrowH).getX();
        const auto halfH = (float) r.getCentreY();

        Path arrow;
        arrow.addTriangle (x, halfH - arrowH * 0.5f, x, halfH + arrowH * 0.5f, x + arrowH * 0.6f, halfH);
        g.fillPath (arrow);
    }

    r.removeFromRight (3);
    g.drawFittedText (text, r, Justification::centredLeft, 1);

    if (shortcutKeyText.isNotEmpty())
    {
        auto shortcutFont = font;
        shortcutFont.setHeight (font.getHeight() * 0.75f);
        shortcutFont.setHorizontalScale (0.95f);
        g.setFont (shortcutFont);
        g.drawText (shortcutKeyText, r, Justification::centredRight, true);
    }
}

//==================================================================================================
void KalmeraLookAndFeel::drawTableHeaderBackground (juce::Graphics& g, juce::TableHeaderComponent& header)
{
    using namespace juce;

    const auto area = header.getLocalBounds();
    const auto middle = (float) area.getHeight() / 2.0f;
    const Colour mid (0xffe8e8e8);

    g.fillAll (Colours::white);
    g.setGradientFill (ColourGradient::vertical (Colours::white, 0.0f, mid, middle));
    g.fillRect (area.withHeight (area.getHeight() / 2));
    g.setGradientFill (ColourGradient::vertical (mid, middle, Colours::white, (float) area.getHeight()));
    g.fillRect (area.withTrimmedTop (area.getHeight() / 2));

    g.setColour (Colour (0xffc0c0c0));
    g.fillRect (area.withTop (area.getBottom() - 1));

    for (int i = header.getNumColumns (true); --i >= 0;)
        g.fillRect (header.getColumnPosition (i).removeFromRight (1));
}

void KalmeraLookAndFeel::drawTableHeaderColumn (juce::Graphics& g, juce::TableHeaderComponent&,
                                                const juce::String& columnName, int, int width, int height,
                                                bool isMouseOver, bool isMouseDown, int columnFlags)
{
    using namespace juce;

    if (isMouseDown)
        g.fillAll (Colour (0x8899aadd));
    else if (isMouseOver)
        g.fillAll (Colour (0x5599aadd));

    Rectangle<int> area (width, height);
    area.reduce (4, 0);

    if ((columnFlags & (TableHeaderComponent::sortedForwards | TableHeaderComponent::sortedBackwards)) != 0)
    {
        Path sortArrow;
        sortArrow.addTriangle (0.0f, 0.0f, 0.5f,
                               (columnFlags & TableHeaderComponent::sortedForwards) != 0 ? -0.8f : 0.8f, 1.0f, 0.0f);
        g.setColour (Colour (0x99000000));
        g.fillPath (sortArrow,
                    sortArrow.getTransformToScaleToFit (area.removeFromRight (height / 2).reduced (2).toFloat(), true));
    }

    g.setColour (Colours::black);
    g.setFont (arial ((float) height * 0.5f));
    g.drawFittedText (columnName, area, Justification::centredLeft, 1);
}

//==================================================================================================
void KalmeraLookAndFeel::drawLinearSliderBackground (juce::Graphics& g, int x, int y, int width, int height, float,
                                                     float, float, juce::Slider::SliderStyle, juce::Slider& slider)
{
    using namespace juce;

    const auto thickness = (float) (getSliderThumbRadius (slider) - 2);
    Rectangle<float> bar;

    if (slider.isHorizontal())
        bar = { (float) x, (float) y + ((float) height - thickness) * 0.5f, (float) width, thickness };
    else
        bar = { (float) x + ((float) width - thickness) * 0.5f, (float) y, thickness, (float) height };

    const auto r = bar.getSmallestIntegerContainer();

    g.setColour (Colour (0xaaffffff));
    g.fillRect (r);
    g.setColour (Colours::white);
    g.fillRect (r.getX() + 1, r.getBottom(), r.getWidth(), 1);
    g.fillRect (r.getRight(), r.getY() + 1, 1, r.getHeight());
    g.setColour (Colour (0xff999999));
    g.drawRect (r);
}

void KalmeraLookAndFeel::drawLinearSliderThumb (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                                float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle style,
                                                juce::Slider& slider)
{
    using namespace juce;

    const auto radius = (float) (getSliderThumbRadius (slider) - 2);
    const auto colour = createBaseColour (slider.findColour (Slider::thumbColourId), slider.isEnabled(),
                                          slider.isMouseOverOrDragging(), slider.isMouseButtonDown());
    const auto outline = slider.isEnabled() ? 0.8f : 0.3f;

    if (style == Slider::LinearHorizontal || style == Slider::LinearVertical || style == Slider::LinearBar)
    {
        const auto kx = style == Slider::LinearVertical ? (float) x + (float) width * 0.5f : sliderPos;
        const auto ky = style == Slider::LinearVertical ? sliderPos : (float) y + (float) height * 0.5f;
        drawGlassSphere (g, kx - radius, ky - radius, radius * 2.0f, colour, outline);
        return;
    }

    if (style == Slider::ThreeValueVertical)
        drawGlassSphere (g, (float) x + (float) width * 0.5f - radius, sliderPos - radius, radius * 2.0f, colour,
                         outline);
    else if (style == Slider::ThreeValueHorizontal)
        drawGlassSphere (g, sliderPos - radius, (float) y + (float) height * 0.5f - radius, radius * 2.0f, colour,
                         outline);

    if (style == Slider::TwoValueVertical || style == Slider::ThreeValueVertical)
    {
        const auto px = jmax (0.0f, (float) x + (float) width * 0.5f - radius * 2.0f);
        drawGlassPointer (g, px, minSliderPos - radius, radius * 2.0f, colour, outline, 1);
        drawGlassPointer (g, px, maxSliderPos - radius, radius * 2.0f, colour, outline, 3);
    }
    else if (style == Slider::TwoValueHorizontal || style == Slider::ThreeValueHorizontal)
    {
        const auto py = jmax (0.0f, (float) y + (float) height * 0.5f - radius * 2.0f);
        drawGlassPointer (g, minSliderPos - radius, py, radius * 2.0f, colour, outline, 2);
        drawGlassPointer (g, maxSliderPos - radius, py, radius * 2.0f, colour, outline, 4);
    }
}

//==================================================================================================
juce::Image KalmeraLookAndFeel::getAlertIcon (juce::MessageBoxIconType type)
{
    switch (type)
    {
        case juce::MessageBoxIconType::InfoIcon:
            return juce::ImageCache::getFromMemory (BinaryData::iconInformation_png,
                                                    BinaryData::iconInformation_pngSize);
        case juce::MessageBoxIconType::QuestionIcon:
            return juce::ImageCache::getFromMemory (BinaryData::iconQuestion_png, BinaryData::iconQuestion_pngSize);
        case juce::MessageBoxIconType::WarningIcon:
            return juce::ImageCache::getFromMemory (BinaryData::iconWarning_png, BinaryData::iconWarning_pngSize);
        case juce::MessageBoxIconType::NoIcon:
        default:
            return {};
    }
}

void KalmeraLookAndFeel::drawAlertBox (juce::Graphics& g, juce::AlertWindow& alert,
                                       const juce::Rectangle<int>& textArea, juce::TextLayout& textLayout)
{
    using namespace juce;

    g.fillAll (alert.findColour (AlertWindow::backgroundColourId));

    const auto icon = getAlertIcon (alert.getAlertType());
    const auto iconWidth = icon.isValid() ? icon.getWidth() : 0;

    if (icon.isValid())
        g.drawImageAt (icon, 5, 5);

    g.setColour (alert.findColour (AlertWindow::textColourId));
    textLayout.draw (g, textArea.withTrimmedLeft (iconWidth).toFloat());

    g.setColour (alert.findColour (AlertWindow::outlineColourId));
    g.drawRect (0, 0, alert.getWidth(), alert.getHeight());
}
