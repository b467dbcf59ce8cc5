#pragma once

#include "disc/CDItem.h"

#include "support/TestHelpers.h"

// Discs built the way a user builds them: WAV files written by JUCE's writer, added through the
// program's own intake, numbered as the table numbers them.
namespace DiscFixtures
{
// The value of sample i of channel ch in the WAV file made with this seed.
int sampleOf (int seed, juce::int64 sample, int channel);

// A 16-bit stereo 44.1 kHz WAV file of that many samples.
juce::File makeWav (const juce::File& folder, const juce::String& name, juce::int64 samples, int seed);

// Sets the pause and index offset that intake gives added files (in frames).
void setIntakeDefaults (int pause, int offset);

// Adds the files to the end of the disc and numbers it.
void addFiles (CDItem& disc, const juce::Array<juce::File>& files);

// Appends a bare row (no file behind it) with these numbers and length in frames.
IndexItem* addRow (CDItem& disc, int track, int index, int frames = 300);

// Numbers the disc as the track table does after every edit.
void renumber (CDItem& disc);

// The file deciphered with the key the way the DDP control files are stored: Blowfish over
// 8-byte blocks, halves little-endian.
juce::MemoryBlock decipherFile (const juce::File& file, const juce::BlowFish& cipher);
void encipherInto (const juce::File& file, const juce::String& text, const juce::BlowFish& cipher);

// What md5sum prints for the data.
juce::String md5sum (const juce::File& file);
juce::String md5sum (const juce::MemoryBlock& data);
} // namespace DiscFixtures
