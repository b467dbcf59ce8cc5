#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The pack layout of CD-Text files (CDTEXT.BIN), shared by the codec of CDItem and its tests.
namespace CDText
{
constexpr int packSize = 18;
constexpr int headerSize = 4;
constexpr int dataSize = 12;
constexpr int crcOffset = headerSize + dataSize;
constexpr int sizeInformationPacks = 3;

// Longest character position a pack header can tell; longer runs are held at this value.
constexpr int maximumCharacterPosition = 15;

namespace PackType
{
constexpr std::uint8_t title = 0x80;
constexpr std::uint8_t performer = 0x81;
constexpr std::uint8_t songwriter = 0x82;
constexpr std::uint8_t composer = 0x83;
constexpr std::uint8_t arranger = 0x84;
constexpr std::uint8_t message = 0x85;
constexpr std::uint8_t identification = 0x86;
constexpr std::uint8_t genre = 0x87;
constexpr std::uint8_t sizeInformation = 0x8f;
} // namespace PackType

// Header byte 3: bit 7 flags double-byte characters, bits 6-4 the block, bits 3-0 the position.
constexpr std::uint8_t doubleByteFlag = 0x80;

using Pack = std::array<std::uint8_t, packSize>;

// The CRC a pack carries over its first 16 bytes: CRC-16 with polynomial 0x1021, initial value 0,
// most significant bit first, inverted (CRC-16/GSM).
std::uint16_t packCRC (const std::uint8_t* bytes, std::size_t count);

// Stores the CRC of bytes 0-15 in bytes 16 and 17, high byte first.
void sealPack (Pack& pack);

// Whether bytes 16 and 17 hold the CRC of bytes 0-15.
bool hasValidCRC (const Pack& pack);
} // namespace CDText
