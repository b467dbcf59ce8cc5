#pragma once

#include <juce_core/juce_core.h>

// The ISO 9660 image of a data session, in a file of its own or inside a larger one (behind the data
// track's pregap, for instance). On a multi-session disc the sector addresses inside the image count
// from the start of the disc, so an image made to stand alone has to be rewritten for the sector at
// which its session begins.
//
// Operations that change a file either succeed completely or leave it as it was; after a false
// result getLastError() says why, in words for the user. Nothing is shown from here.
class ISOfile
{
public:
    explicit ISOfile (juce::String path);
    virtual ~ISOfile();

    // The image file worked on.
    juce::String path;

    // Position in the file of the first primary volume descriptor, or -1.
    long long getPrimVDpos();

    // By how many bytes the image's sector addresses (times 2,048) exceed the sectors' positions from
    // the image start: 0 for an image that stands alone, S * 2048 for one prepared to start at sector S.
    // -1 when it cannot be told.
    long long getISOoffset();

    // Rewrites every sector address of the image in place (path tables, directory records, Rock Ridge
    // entries, the El Torito boot catalog and its boot images): A becomes (A * 2048 - offset) / 2048.
    // The whole image is checked first; a damaged image, or one whose addresses would leave the disc,
    // is refused and the file stays as it was.
    bool modifyISOoffset (long long offset);

    // Appends the image that starts at byte `offset` of this file (its volume space size in sectors,
    // times 2,048 bytes) to `destination`. False unless every byte was copied; a failed copy takes
    // back what it appended.
    bool writeISO (juce::String destination, long long offset);

    // Why the last operation failed (empty after success).
    juce::String getLastError() const;

    // Each opens the file, reads or overwrites `count` bytes at `position`, and closes it again.
    // False when not all of them could be read or written; writing never makes a file longer.
    static bool openReadClose (juce::File file, long long position, int count, unsigned char* buffer);
    static bool openWriteClose (juce::File file, long long position, int count, unsigned char* buffer);

    // The 32-bit numbers of ISO 9660: both byte orders (8 bytes, read from the big-endian half),
    // little-endian and big-endian (4 bytes). Read as signed, written as the low 32 bits.
    static long long hex2int733 (const unsigned char* bytes);
    static long long hex2int731 (const unsigned char* bytes);
    static long long hex2int732 (const unsigned char* bytes);
    static void int2hex733 (unsigned char* out, long long value);
    static void int2hex731 (unsigned char* out, long long value);
    static void int2hex732 (unsigned char* out, long long value);

private:
    bool fail (const juce::String& reason);

    juce::String lastError;

    JUCE_DECLARE_NON_COPYABLE (ISOfile)
};
