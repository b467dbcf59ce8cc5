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
    return 0;
}
