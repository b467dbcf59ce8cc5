#include "support/IsoTools.h"

#include <gtest/gtest.h>

namespace IsoTools
{
juce::StringArray xorriso (const juce::StringArray& options)
{
    juce::StringArray arguments { "env", "SOURCE_DATE_EPOCH=1700000000", "xorriso", "-as", "mkisofs", "-quiet" };
    arguments.addArray (options);
    return arguments;
}

juce::StringArray genisoimage (const juce::StringArray& options)
{
    juce::StringArray arguments { "genisoimage", "-quiet" };
    arguments.addArray (options);
    return arguments;
}

void makeImage (juce::StringArray command, const juce::File& tree, const juce::File& image)
{
    command.addArray ({ "-o", image.getFullPathName(), tree.getFullPathName() });
    juce::String output;
    ASSERT_EQ (TestHelpers::runTool (command, &output), 0) << command.joinIntoString (" ") << "\n"
                                                           << output.substring (0, 2000);
}

juce::String toolOutput (const juce::StringArray& command)
{
    juce::String output;
    EXPECT_EQ (TestHelpers::runTool (command, &output), 0) << command.joinIntoString (" ") << "\n"
                                                           << output.substring (0, 2000);
    return output;
}

juce::File extract (const TestHelpers::TempFolder& temp, const juce::File& image, long long start,
                    const juce::String& readFs, const juce::String& name)
{
    const auto out = temp / name;
    toolOutput ({ "xorriso", "-osirrox", "on", "-read_fs", readFs, "-displacement", juce::String (-start), "-indev",
                  image.getFullPathName(), "-extract", "/", out.getFullPathName() });
    return out;
}

void expectSameTree (const juce::File& expected, const juce::File& actual)
{
    juce::String output;
    EXPECT_EQ (TestHelpers::runTool ({ "diff", "-r", "--no-dereference", "-x", "rr_moved", expected.getFullPathName(),
                                       actual.getFullPathName() },
                                     &output),
               0)
        << output;
}

juce::String isoinfo (const juce::File& image, long long start, const juce::String& options)
{
    juce::StringArray command { "isoinfo", "-i", image.getFullPathName(), "-N", juce::String (start) };
    command.addTokens (options, false);
    return toolOutput (command);
}
} // namespace IsoTools
