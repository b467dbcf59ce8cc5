#include "app/KalmeraLookAndFeel.h"

#include "support/TestHelpers.h"

#include <gtest/gtest.h>

namespace
{
KalmeraLookAndFeel& lf() { return *KalmeraLookAndFeel::getInstance(); }

juce::Image paintButton (juce::TextButton& button)
{
    button.setLookAndFeel (&lf());
    return TestHelpers::snapshot (button);
}

// Leftmost column that holds a pixel darker than the threshold, inside the area.
int leftmostDarkColumn (const juce::Image& image, juce::Rectangle<int> area, float brightnessBelow)
{
    for (int x = area.getX(); x < area.getRight(); ++x)
        for (int y = area.getY(); y < area.getBottom(); ++y)
            if (image.getPixelAt (x, y).getBrightness() < brightnessBelow)
                return x;
    return -1;
}

TEST (KalmeraLookAndFeel, IsOneInstanceWithTheColourTable)
{
    EXPECT_EQ (KalmeraLookAndFeel::getInstance(), &lf());

    const juce::Colour blue (0xff3875d7), darkGrey (0xff545454);
    EXPECT_EQ (lf().findColour (juce::TextButton::buttonColourId), blue.darker (0.4f));
    EXPECT_EQ (lf().findColour (juce::TextButton::buttonOnColourId), blue.brighter (0.25f));
    EXPECT_EQ (lf().findColour (juce::Label::textColourId), darkGrey.darker (0.4f));
    EXPECT_EQ (lf().findColour (juce::TextEditor::focusedOutlineColourId), juce::Colours::steelblue);
    EXPECT_EQ (lf().findColour (juce::AlertWindow::backgroundColourId), juce::Colour (0xffededed));
    EXPECT_EQ (lf().findColour (juce::ListBox::backgroundColourId), juce::Colour (0xffaaaaff).brighter (1.0f));
    EXPECT_EQ (lf().findColour (juce::Slider::thumbColourId), blue.darker (0.4f));
    EXPECT_EQ (lf().findColour (juce::PopupMenu::highlightedBackgroundColourId), blue);
}

TEST (KalmeraLookAndFeel, ADisabledTextButtonShowsFaceAndTextAtHalfAlpha)
{
    juce::TextButton enabledButton ("Start"), disabledButton ("Start");
    for (auto* b : { &enabledButton, &disabledButton })
        b->setSize (120, 26);
    disabledButton.setEnabled (false);

    const auto enabledImage = paintButton (enabledButton);
    const auto disabledImage = paintButton (disabledButton);

    // The face, away from frame and text.
    const auto enabledFace = enabledImage.getPixelAt (6, 20);
    const auto disabledFace = disabledImage.getPixelAt (6, 20);
    EXPECT_EQ (enabledFace.getAlpha(), 255);
    EXPECT_NEAR (disabledFace.getAlpha(), 128, 2);

    // The text alone, on a transparent image.
    auto textAlpha = [] (juce::TextButton& button)
    {
        juce::Image image (juce::Image::ARGB, button.getWidth(), button.getHeight(), true);
        juce::Graphics g (image);
        lf().drawButtonText (g, button, false, false);
        int maxAlpha = 0;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                maxAlpha = juce::jmax (maxAlpha, (int) image.getPixelAt (x, y).getAlpha());
        return maxAlpha;
    };
    EXPECT_NEAR (textAlpha (enabledButton), 178, 3); // white at 0.7
    EXPECT_NEAR (textAlpha (disabledButton), 89, 3);
}

TEST (KalmeraLookAndFeel, OnlyTheStepGreenGetsAFlatFace)
{
    auto faceTopAndBottom = [] (juce::Colour colour)
    {
        juce::TextButton button;
        button.setSize (120, 26);
        button.setColour (juce::TextButton::buttonColourId, colour);
        const auto image = paintButton (button);
        return std::pair { image.getPixelAt (6, 3), image.getPixelAt (6, 22) };
    };

    const auto [greenTop, greenBottom] = faceTopAndBottom (juce::Colour (0xff00863e));
    EXPECT_EQ (greenTop, greenBottom);
    EXPECT_EQ (greenTop, juce::Colour (0xff00863e));

    for (auto colour : { juce::Colour (0xff00863f), juce::Colour (0xff3875d7).darker (0.4f) })
    {
        const auto [top, bottom] = faceTopAndBottom (colour);
        EXPECT_GT (top.getBrightness(), bottom.getBrightness() + 0.05f) << colour.toDisplayString (true);
    }
}

TEST (KalmeraLookAndFeel, AButtonDrawsARaisedOrSunkenFrame)
{
    juce::TextButton button;
    button.setSize (60, 20);
    auto image = paintButton (button);
    EXPECT_EQ (image.getPixelAt (0, 10), juce::Colours::lightgrey);
    EXPECT_EQ (image.getPixelAt (59, 10), juce::Colours::grey);

    button.setClickingTogglesState (true);
    button.setToggleState (true, juce::dontSendNotification);
    image = paintButton (button);
    EXPECT_EQ (image.getPixelAt (0, 10), juce::Colours::grey);
    EXPECT_EQ (image.getPixelAt (59, 10), juce::Colours::lightgrey);
}

TEST (KalmeraLookAndFeel, MessageBoxTextMovesRightByTheIcon)
{
    auto leftmostText = [] (juce::MessageBoxIconType type)
    {
        juce::AlertWindow alert ("", "", type);
        alert.setSize (420, 140);

        juce::AttributedString text;
        text.append ("Message text", juce::Font (16.0f), juce::Colours::black);
        text.setJustification (juce::Justification::topLeft);
        juce::TextLayout layout;
        layout.createLayout (text, 300.0f);

        juce::Image image (juce::Image::ARGB, 420, 140, true);
        juce::Graphics g (image);
        const juce::Rectangle<int> textArea (10, 100, 400, 30); // below any icon
        lf().drawAlertBox (g, alert, textArea, layout);
        return leftmostDarkColumn (image, textArea.reduced (1), 0.3f);
    };

    const auto withoutIcon = leftmostText (juce::MessageBoxIconType::NoIcon);
    const auto withIcon = leftmostText (juce::MessageBoxIconType::WarningIcon);
    EXPECT_NEAR (withoutIcon, 10, 2);
    EXPECT_EQ (withIcon - withoutIcon, 70);
}

TEST (KalmeraLookAndFeel, MessageBoxIconsAreDrawnAtTheirSize)
{
    for (auto type : { juce::MessageBoxIconType::InfoIcon, juce::MessageBoxIconType::QuestionIcon,
                       juce::MessageBoxIconType::WarningIcon })
    {
        const auto icon = KalmeraLookAndFeel::getAlertIcon (type);
        ASSERT_TRUE (icon.isValid());
        EXPECT_EQ (icon.getBounds(), juce::Rectangle<int> (70, 70));
    }
    EXPECT_FALSE (KalmeraLookAndFeel::getAlertIcon (juce::MessageBoxIconType::NoIcon).isValid());
}

TEST (KalmeraLookAndFeel, MenuBarIsADarkGradient)
{
    juce::MenuBarComponent bar;
    bar.setSize (200, 24);
    juce::Image image (juce::Image::ARGB, 200, 24, true);
    juce::Graphics g (image);
    lf().drawMenuBarBackground (g, 200, 24, false, bar);

    EXPECT_NEAR (image.getPixelAt (100, 0).getRed(), 0x5d, 2);
    EXPECT_NEAR (image.getPixelAt (100, 23).getRed(), 0x41, 2);
}

TEST (KalmeraLookAndFeel, TextEditorOutlineAndShadow)
{
    juce::TextEditor editor;
    editor.setLookAndFeel (&lf());
    editor.setSize (100, 24);

    juce::Image image (juce::Image::ARGB, 100, 24, true);
    juce::Graphics g (image);
    lf().drawTextEditorOutline (g, 100, 24, editor);
    EXPECT_EQ (image.getPixelAt (0, 12), juce::Colour (0xffa0a0a0));
    EXPECT_EQ (image.getPixelAt (98, 12).getAlpha(), juce::Colours::white.withAlpha (0.7f).getAlpha());

    juce::Image disabledImage (juce::Image::ARGB, 100, 24, true);
    juce::Graphics g2 (disabledImage);
    editor.setEnabled (false);
    lf().drawTextEditorOutline (g2, 100, 24, editor);
    EXPECT_EQ (disabledImage.getPixelAt (0, 12).getAlpha(), 0); // no outline when disabled
    editor.setLookAndFeel (nullptr);
}
} // namespace
