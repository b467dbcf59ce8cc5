#include "disc/SampleLayout.h"

namespace SampleLayout
{
ItemSamples layoutItem (const IndexItem& item, int& carry)
{
    constexpr juce::int64 perFrame = CDDuration::samplesPerFrame;

    ItemSamples samples;
    samples.silenceBefore = item.indexOffset * perFrame;
    samples.sourceStart = item.fileOffset.getTimeInFrames() * perFrame;
    // An item shorter than the carry it receives (a zero-length index point) adds nothing.
    samples.count = juce::jmax ((juce::int64) 0, item.duration.getTimeInFrames() * perFrame + item.extraSamples - carry);
    carry = item.extraSamples;
    return samples;
}

juce::int64 paddingAfterLastItem (int carry)
{
    return carry >= 1 && carry < CDDuration::samplesPerFrame ? CDDuration::samplesPerFrame - carry : 0;
}
} // namespace SampleLayout
