#pragma once

#include "support/TestHelpers.h"

// ISO 9660 images made and read by the usual tools, to hold the program's image handling against them.
namespace IsoTools
{
// "xorriso -as mkisofs" with a fixed date, and genisoimage; both quiet, options appended.
juce::StringArray xorriso (const juce::StringArray& options);
juce::StringArray genisoimage (const juce::StringArray& options);

// Runs the image maker on the tree, writing the image.
void makeImage (juce::StringArray command, const juce::File& tree, const juce::File& image);

// What the tool printed; a failure of the tool fails the test.
juce::String toolOutput (const juce::StringArray& command);

// Extracts the tree xorriso sees in a session that starts at sector `start` ("any": Rock Ridge,
// "norock": Joliet, "ecma119": plain ISO 9660).
juce::File extract (const TestHelpers::TempFolder& temp, const juce::File& image, long long start,
                    const juce::String& readFs, const juce::String& name);

// diff -r of two trees (Rock Ridge's "rr_moved" aside).
void expectSameTree (const juce::File& expected, const juce::File& actual);

// isoinfo on a session that starts at sector `start`.
juce::String isoinfo (const juce::File& image, long long start, const juce::String& options);
} // namespace IsoTools
