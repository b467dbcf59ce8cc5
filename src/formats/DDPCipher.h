#pragma once

#include <juce_cryptography/juce_cryptography.h>

// The control files of a DDP image (DDPID, DDPMS, PQDESCR) are stored enciphered with a key that
// exists only for one run of the program: Blowfish over each whole 8-byte block, both halves read
// and stored little-endian. A trailing part shorter than a block stays plain.
namespace DDPCipher
{
// Eight lowercase hexadecimal characters from a random number: the run's key and the names of
// export folders.
juce::String makeRandomToken();

// A cipher with a fresh key for this run.
std::unique_ptr<juce::BlowFish> makeRunCipher();

void encipher (void* data, size_t size, const juce::BlowFish& cipher);
void decipher (void* data, size_t size, const juce::BlowFish& cipher);

// Deciphers blocks counted from the start of the data; used while reading a file in pieces whose
// sizes are multiples of eight.
void decipher (juce::MemoryBlock& data, const juce::BlowFish& cipher);
} // namespace DDPCipher
