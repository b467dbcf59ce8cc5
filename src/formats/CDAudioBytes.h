#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <optional>

// Sources whose samples are stored exactly as a CD audio image stores them (16-bit stereo,
// little-endian, interleaved): raw CD audio, and the usual WAV file. Their bytes can go into the
// image as they are, without being decoded and encoded again.
namespace CDAudioBytes
{
// The position in the source's bytes of its first sample, when the reader made for it shows samples
// stored that way and agrees with the bytes found there; nothing otherwise.
std::optional<juce::int64> findFirstSample (juce::InputStream& source, juce::AudioFormatReader& reader);
} // namespace CDAudioBytes
