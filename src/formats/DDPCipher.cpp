#include "formats/DDPCipher.h"

namespace DDPCipher
{
namespace
{
void storeLittleEndian (juce::uint8* bytes, juce::uint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = (juce::uint8) (value >> (8 * i));
}

template <typename Operation>
void forEachBlock (void* data, size_t size, Operation&& operation)
{
    auto* bytes = static_cast<juce::uint8*> (data);

    for (size_t i = 0; i + 8 <= size; i += 8)
    {
        auto left = juce::ByteOrder::littleEndianInt (bytes + i);
        auto right = juce::ByteOrder::littleEndianInt (bytes + i + 4);
        operation (left, right);
        storeLittleEndian (bytes + i, left);
        storeLittleEndian (bytes + i + 4, right);
    }
}
} // namespace

juce::String makeRandomToken()
{
    juce::Random random (juce::Time::currentTimeMillis());
    const auto text = juce::String (random.nextInt());

    // Each character as a 32-bit little-endian code point.
    juce::MemoryBlock block;
    for (auto c : text)
    {
        juce::uint8 bytes[4];
        storeLittleEndian (bytes, (juce::uint32) c);
        block.append (bytes, 4);
    }

    return juce::MD5 (block).toHexString().substring (0, 8);
}

std::unique_ptr<juce::BlowFish> makeRunCipher()
{
    const auto key = makeRandomToken();
    return std::make_unique<juce::BlowFish> (key.toRawUTF8(), 8);
}

void encipher (void* data, size_t size, const juce::BlowFish& cipher)
{
    forEachBlock (data, size, [&] (juce::uint32& left, juce::uint32& right) { cipher.encrypt (left, right); });
}

void decipher (void* data, size_t size, const juce::BlowFish& cipher)
{
    forEachBlock (data, size, [&] (juce::uint32& left, juce::uint32& right) { cipher.decrypt (left, right); });
}

void decipher (juce::MemoryBlock& data, const juce::BlowFish& cipher)
{
    decipher (data.getData(), data.getSize(), cipher);
}
} // namespace DDPCipher
