#pragma once

#include "disc/IndexItem.h"

// How the items lay their samples into the continuous audio of the disc. Source files need not be
// whole frames long: an item's last samples may reach into the next item's first frame (the carry),
// and the next item gives up as many samples so that the disc stays on its frame grid. The DDP
// image, the preview and the test CD all follow this one rule.
namespace SampleLayout
{
struct ItemSamples
{
    juce::int64 silenceBefore = 0; // the index offset
    juce::int64 sourceStart = 0; // first source sample (audio items)
    juce::int64 count = 0; // samples of the item itself: source audio, or silence for a pause
};

// The samples of an item that follows one whose audio reached carry samples into this item; carry
// becomes this item's own.
ItemSamples layoutItem (const IndexItem& item, int& carry);

// Silence that completes the disc's last frame after the last item.
juce::int64 paddingAfterLastItem (int carry);
} // namespace SampleLayout
