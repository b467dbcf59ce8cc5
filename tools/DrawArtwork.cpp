// Draws the program's embedded images into src/resources. Run by hand after changing the artwork:
//   build/tools/tavlo_draw_artwork src/resources
#include <juce_events/juce_events.h>
#include <juce_graphics/juce_graphics.h>

namespace
{
using namespace juce;

void savePng (const Image& image, const File& file)
{
    file.deleteFile();
    FileOutputStream out (file);
    PNGImageFormat png;
    if (! out.openedOk() || ! png.writeImageToStream (image, out))
        std::printf ("could not write %s\n", file.getFullPathName().toRawUTF8());
}

void drawGlyph (Graphics& g, const String& glyph, Rectangle<float> area, Colour colour)
{
    g.setColour (colour);
    g.setFont (Font (area.getHeight(), Font::bold));
    g.drawText (glyph, area, Justification::centred, false);
}

Image roundIcon (Colour top, Colour bottom, const String& glyph)
{
    Image image (Image::ARGB, 70, 70, true);
    Graphics g (image);
    const Rectangle<float> disc (5.0f, 5.0f, 60.0f, 60.0f);

    g.setColour (Colours::black.withAlpha (0.18f));
    g.fillEllipse (disc.translated (1.5f, 2.0f));
    g.setGradientFill (ColourGradient::vertical (top, disc.getY(), bottom, disc.getBottom()));
    g.fillEllipse (disc);
    g.setColour (bottom.darker (0.4f));
    g.drawEllipse (disc.reduced (0.5f), 1.0f);
    g.setGradientFill (ColourGradient::vertical (Colours::white.withAlpha (0.55f), disc.getY(),
                                                 Colours::white.withAlpha (0.0f), disc.getCentreY()));
    g.fillEllipse (disc.reduced (6.0f, 3.0f).withHeight (28.0f));
    drawGlyph (g, glyph, disc.reduced (10.0f), Colours::white);
    return image;
}

Image warningIcon()
{
    Image image (Image::ARGB, 70, 70, true);
    Graphics g (image);

    Path triangle;
    triangle.addTriangle (35.0f, 6.0f, 65.0f, 62.0f, 5.0f, 62.0f);
    triangle = triangle.createPathWithRoundedCorners (6.0f);

    g.setColour (Colours::black.withAlpha (0.18f));
    g.fillPath (triangle, AffineTransform::translation (1.5f, 2.0f));
    g.setGradientFill (ColourGradient::vertical (Colour (0xffffd84a), 6.0f, Colour (0xffe89a0c), 62.0f));
    g.fillPath (triangle);
    g.setColour (Colour (0xff9a5a00));
    g.strokePath (triangle, PathStrokeType (1.2f));
    drawGlyph (g, "!", { 20.0f, 20.0f, 30.0f, 40.0f }, Colour (0xff3a2a00));
    return image;
}
// The plant's logo: a disc with its label ring, and the plant's name.
Image plantLogo()
{
    Image image (Image::ARGB, 299, 200, true);
    Graphics g (image);

    const Rectangle<float> disc (24.0f, 30.0f, 110.0f, 110.0f);
    g.setGradientFill (ColourGradient (Colour (0xffe9eef5), disc.getX(), disc.getY(), Colour (0xff8fa3bd),
                                       disc.getRight(), disc.getBottom(), false));
    g.fillEllipse (disc);
    for (int ring = 0; ring < 6; ++ring)
    {
        g.setColour (Colours::white.withAlpha (0.25f));
        g.drawEllipse (disc.reduced (8.0f + ring * 5.0f), 0.8f);
    }
    g.setGradientFill (ColourGradient (Colour (0xff1f6fb2), disc.getCentreX(), disc.getY() + 30.0f, Colour (0xff0b3a66),
                                       disc.getCentreX(), disc.getBottom() - 30.0f, false));
    g.fillEllipse (disc.reduced (34.0f));
    g.setColour (Colours::white);
    g.fillEllipse (disc.withSizeKeepingCentre (12.0f, 12.0f));
    g.setColour (Colour (0xff0b3a66));
    g.drawEllipse (disc, 1.5f);

    g.setColour (Colour (0xff0b3a66));
    g.setFont (Font (40.0f, Font::bold));
    g.drawText ("ORVANE", 140, 58, 150, 44, Justification::centredLeft, false);
    g.setColour (Colour (0xff1f6fb2));
    g.setFont (Font (15.0f, Font::bold));
    g.drawText ("DISC MANUFACTURING", 142, 100, 155, 20, Justification::centredLeft, false);
    g.setColour (Colour (0xff7d8b99));
    g.setFont (Font (13.0f, Font::italic));
    g.drawText ("Demo Plant", 142, 120, 155, 18, Justification::centredLeft, false);

    g.setColour (Colour (0xff1f6fb2));
    g.fillRect (24.0f, 168.0f, 251.0f, 3.0f);
    return image;
}

// The maker's logo: a sound wave inside a rounded badge, and the maker's name.
Image makerLogo()
{
    Image image (Image::ARGB, 300, 200, true);
    Graphics g (image);

    const Rectangle<float> badge (20.0f, 40.0f, 100.0f, 100.0f);
    g.setGradientFill (
        ColourGradient::vertical (Colour (0xff3a3f47), badge.getY(), Colour (0xff15181d), badge.getBottom()));
    g.fillRoundedRectangle (badge, 18.0f);

    Path wave;
    for (int i = 0; i <= 80; ++i)
    {
        const auto x = badge.getX() + 10.0f + i;
        const auto envelope = std::sin ((float) i / 80.0f * MathConstants<float>::pi);
        const auto y = badge.getCentreY() - envelope * 30.0f * std::sin ((float) i * 0.35f);
        if (i == 0)
            wave.startNewSubPath (x, y);
        else
            wave.lineTo (x, y);
    }
    g.setGradientFill (
        ColourGradient::horizontal (Colour (0xfff2a33a), badge.getX(), Colour (0xffe0563b), badge.getRight()));
    g.strokePath (wave, PathStrokeType (3.0f, PathStrokeType::curved, PathStrokeType::rounded));

    g.setColour (Colour (0xff15181d));
    g.setFont (Font (34.0f, Font::bold));
    g.drawText ("KALMERA", 128, 62, 168, 44, Justification::centredLeft, false);
    g.setColour (Colour (0xffe0563b));
    g.setFont (Font (14.0f, Font::bold));
    g.drawText ("AUDIO ENGINEERING", 130, 104, 168, 20, Justification::centredLeft, false);
    return image;
}
} // namespace

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI gui;

    if (argc < 2)
    {
        std::printf ("usage: %s <resources folder>\n", argv[0]);
        return 1;
    }

    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    savePng (roundIcon (juce::Colour (0xff5a9bf0), juce::Colour (0xff1f5fbf), "i"),
             folder.getChildFile ("iconInformation.png"));
    savePng (roundIcon (juce::Colour (0xff6ccf7c), juce::Colour (0xff25853a), "?"),
             folder.getChildFile ("iconQuestion.png"));
    savePng (warningIcon(), folder.getChildFile ("iconWarning.png"));
    savePng (plantLogo(), folder.getChildFile ("logoDemo.png"));
    savePng (makerLogo(), folder.getChildFile ("logoKalmera.png"));
    return 0;
}
