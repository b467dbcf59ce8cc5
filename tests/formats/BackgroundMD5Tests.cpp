#include "formats/BackgroundMD5.h"

#include "support/DiscFixtures.h"

#include <gtest/gtest.h>

using DiscFixtures::md5sum;
using TestHelpers::TempFolder;

TEST (BackgroundMD5, DigestsEveryByteWrittenThroughItsStreamsInOrder)
{
    TempFolder temp;
    const auto file = temp / "image";
    juce::MemoryBlock all;
    juce::Random random (3);
    BackgroundMD5 digest;

    // Writes smaller than, exactly as large as and larger than the blocks handed to the hashing,
    // through three streams one after the other; the last is closed without a flush.
    for (int stream = 0; stream < 3; ++stream)
    {
        auto out = digest.writeThrough (file.createOutputStream (32768));
        for (const auto size : { 1, 4095, 1 << 20, 3 * (1 << 20) + 17, 65536 })
        {
            juce::MemoryBlock data ((size_t) size);
            random.fillBitsRandomly (data.getData(), data.getSize());
            ASSERT_TRUE (out->write (data.getData(), data.getSize()));
            all.append (data.getData(), data.getSize());
        }
        if (stream < 2)
            out->flush();
    }

    EXPECT_EQ (digest.getTotalBytes(), (juce::int64) all.getSize());
    EXPECT_EQ (file.getSize(), (juce::int64) all.getSize());
    EXPECT_EQ (md5sum (file), md5sum (all));
    EXPECT_EQ (digest.finish(), md5sum (file));
    EXPECT_EQ (digest.finish(), md5sum (file)) << "asked again, the same digest";
}

TEST (BackgroundMD5, WhatCouldNotBeWrittenIsNotCountedAndAnAbandonedDigestEnds)
{
    auto digest = std::make_unique<BackgroundMD5>();
    auto out = digest->writeThrough (juce::File ("/dev/full").createOutputStream (32768));
    ASSERT_NE (out, nullptr);

    juce::MemoryBlock data ((size_t) 2 << 20, true);
    EXPECT_FALSE (out->write (data.getData(), data.getSize()));
    EXPECT_EQ (digest->getTotalBytes(), 0);

    // The export stops here: the digest goes without being finished.
    out.reset();
    digest.reset();
}
