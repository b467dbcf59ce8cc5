#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The application's appearance: a light window body with dark grey text, blue buttons and
// selection, a dark gradient menu bar, and message boxes with the program's own icons.
class KalmeraLookAndFeel : public juce::LookAndFeel_V3
{
public:
    static KalmeraLookAndFeel* getInstance();

    static constexpr juce::uint32 blue = 0xff3875d7;
    static constexpr juce::uint32 darkGrey = 0xff545454;
    // Buttons of exactly this colour are drawn with a flat face.
    static constexpr juce::uint32 flatGreen = 0xff00863e;

    static juce::Font arial (float height, int styleFlags = juce::Font::plain);

    // The face colour of a button or slider thumb in its current state.
    static juce::Colour createBaseColour (juce::Colour colour, bool isEnabled, bool isHighlighted, bool isDown);

    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour, bool isHighlighted,
                               bool isDown) override;
    juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;
    void drawButtonText (juce::Graphics&, juce::TextButton&, bool isHighlighted, bool isDown) override;
    void drawToggleButton (juce::Graphics&, juce::ToggleButton&, bool isHighlighted, bool isDown) override;

    void fillTextEditorBackground (juce::Graphics&, int width, int height, juce::TextEditor&) override;
    void drawTextEditorOutline (juce::Graphics&, int width, int height, juce::TextEditor&) override;

    juce::Font getLabelFont (juce::Label&) override;
    void drawLabel (juce::Graphics&, juce::Label&) override;

    juce::Font getMenuBarFont (juce::MenuBarComponent&, int itemIndex, const juce::String& itemText) override;
    void drawMenuBarBackground (juce::Graphics&, int width, int height, bool isMouseOverBar,
                                juce::MenuBarComponent&) override;
    void drawMenuBarItem (juce::Graphics&, int width, int height, int itemIndex, const juce::String& itemText,
                          bool isMouseOverItem, bool isMenuOpen, bool isMouseOverBar, juce::MenuBarComponent&) override;

    juce::Font getPopupMenuFont() override;
    void drawPopupMenuBackground (juce::Graphics&, int width, int height) override;
    void drawPopupMenuItem (juce::Graphics&, const juce::Rectangle<int>& area, bool isSeparator, bool isActive,
                            bool isHighlighted, bool isTicked, bool hasSubMenu, const juce::String& text,
                            const juce::String& shortcutKeyText, const juce::Drawable* icon,
                            const juce::Colour* textColour) override;

    void drawTableHeaderBackground (juce::Graphics&, juce::TableHeaderComponent&) override;
    void drawTableHeaderColumn (juce::Graphics&, juce::TableHeaderComponent&, const juce::String& columnName,
                                int columnId, int width, int height, bool isMouseOver, bool isMouseDown,
                                int columnFlags) override;

    void drawLinearSliderBackground (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                                     float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                                     juce::Slider&) override;
    void drawLinearSliderThumb (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                                float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                                juce::Slider&) override;

    void drawAlertBox (juce::Graphics&, juce::AlertWindow&, const juce::Rectangle<int>& textArea,
                       juce::TextLayout&) override;

    // The message-box icon of a kind, 70 x 70; invalid for no icon.
    static juce::Image getAlertIcon (juce::MessageBoxIconType type);

private:
    KalmeraLookAndFeel();

    void drawTextEditorStyleFrame (juce::Graphics&, int width, int height, juce::Colour outline, juce::Colour shadow);

    JUCE_DECLARE_NON_COPYABLE (KalmeraLookAndFeel)
};
