#include "formats/ISOfile.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace
{
constexpr long long sectorSize = 2048;
constexpr long long descriptorSetStart = 16 * sectorSize;
constexpr int chunkSize = 1 << 20;

// Addresses are 32-bit numbers read as signed: nothing beyond this is a sector of a disc.
constexpr long long largestAddress = 0x7fffffff;

// No directory, path table or continuation area of a real disc comes near this size.
constexpr long long largestStructure = 64LL << 20;

namespace VolumeDescriptor
{
constexpr int type = 0, identifier = 1, volumeSpaceSize = 80, pathTableSize = 132, rootRecord = 156, rootExtent = 158;
constexpr unsigned char primary = 1, supplementary = 2, terminator = 255;
} // namespace VolumeDescriptor

// El Torito: a boot record volume descriptor points at the boot catalog, whose 32-byte entries
// point at the boot images.
namespace BootRecord
{
constexpr unsigned char type = 0;
constexpr int systemIdentifier = 7, systemIdentifierLength = 32, catalogPointer = 71;
// The boot system identifier El Torito boot records carry, padded with zeros or spaces.
constexpr char elTorito[] = { 'E', 'L', ' ', 'T', 'O', 'R', 'I', 'T', 'O', ' ', 'S', 'P',
                              'E', 'C', 'I', 'F', 'I', 'C', 'A', 'T', 'I', 'O', 'N' };
} // namespace BootRecord

namespace BootCatalog
{
constexpr int entrySize = 32, loadAddress = 8;
constexpr unsigned char validationEntry = 1, bootable = 0x88, notBootable = 0, moreSections = 0x90, finalSection = 0x91,
                        extension = 0x44, extensionFollows = 0x20;
} // namespace BootCatalog

namespace DirectoryRecord
{
constexpr int length = 0, attributeRecordLength = 1, extent = 2, dataLength = 10, flags = 25, identifierLength = 32,
              identifier = 33, smallest = 34;
constexpr unsigned char directoryFlag = 2;
} // namespace DirectoryRecord

enum class Encoding
{
    bothByteOrders,
    littleEndian,
    bigEndian
};

int sizeOf (Encoding encoding) { return encoding == Encoding::bothByteOrders ? 8 : 4; }

long long decode (const unsigned char* field, Encoding encoding)
{
    switch (encoding)
    {
        case Encoding::littleEndian:
            return ISOfile::hex2int731 (field);
        case Encoding::bigEndian:
            return ISOfile::hex2int732 (field);
        case Encoding::bothByteOrders:
            break;
    }
    return ISOfile::hex2int733 (field);
}

void encode (unsigned char* field, Encoding encoding, long long value)
{
    switch (encoding)
    {
        case Encoding::littleEndian:
            ISOfile::int2hex731 (field, value);
            return;
        case Encoding::bigEndian:
            ISOfile::int2hex732 (field, value);
            return;
        case Encoding::bothByteOrders:
            ISOfile::int2hex733 (field, value);
            return;
    }
}

// A both-byte-order number whose halves disagree would be read differently by different systems.
bool isConsistent (const unsigned char* field, Encoding encoding)
{
    return encoding != Encoding::bothByteOrders || ISOfile::hex2int731 (field) == ISOfile::hex2int732 (field + 4);
}

bool isVolumeDescriptor (const unsigned char* sector)
{
    return std::memcmp (sector + VolumeDescriptor::identifier, "CD001", 5) == 0;
}

int readFully (juce::InputStream& in, unsigned char* buffer, int count)
{
    int done = 0;

    while (done < count)
    {
        const auto got = in.read (buffer + done, count - done);
        if (got <= 0)
            break;
        done += got;
    }

    return done;
}

// Calls `visit` for the chunks of the file from `start` on, each read in one go, until it returns true.
template <typename Visitor>
bool scanChunks (const juce::File& file, long long start, Visitor&& visit)
{
    juce::FileInputStream in (file);
    if (! in.openedOk() || ! in.setPosition (start))
        return false;

    std::vector<unsigned char> chunk ((size_t) chunkSize);

    for (auto position = start;; position += chunkSize)
    {
        const auto got = readFully (in, chunk.data(), chunkSize);
        if (visit (position, chunk.data(), got))
            return true;
        if (got < chunkSize)
            return false;
    }
}

long long findPrimaryDescriptor (const juce::File& file)
{
    long long found = -1;

    scanChunks (file, 0,
                [&] (long long position, const unsigned char* bytes, int count)
                {
                    for (int at = 0; at + 6 <= count; at += 16)
                    {
                        if (bytes[at] == VolumeDescriptor::primary && isVolumeDescriptor (bytes + at))
                        {
                            found = position + at;
                            return true;
                        }
                    }
                    return false;
                });

    return found;
}

// A directory record of the form the "." (identifier 0) and ".." (identifier 1) entries have.
bool isOwnOrParentEntry (const unsigned char* sector, int available, int at, unsigned char identifier, long long extent)
{
    using namespace DirectoryRecord;

    if (at + smallest > available)
        return false;

    const int recordLength = sector[at + length];
    return recordLength >= smallest && at + recordLength <= available && sector[at + identifierLength] == 1
           && sector[at + DirectoryRecord::identifier] == identifier && (sector[at + flags] & directoryFlag) != 0
           && ISOfile::hex2int733 (sector + at + DirectoryRecord::extent) == extent;
}

// The root directory begins with its own entry followed by its parent's, which is itself.
bool isRootDirectoryStart (const unsigned char* sector, int available, long long rootAddress)
{
    return isOwnOrParentEntry (sector, available, 0, 0, rootAddress)
           && isOwnOrParentEntry (sector, available, sector[0], 1, rootAddress);
}

// The displacement of the image whose primary volume descriptor lies at `primaryPosition`.
std::optional<long long> findDisplacement (const juce::File& file, long long primaryPosition)
{
    if (primaryPosition < descriptorSetStart)
        return {};

    unsigned char descriptor[sectorSize];
    if (! ISOfile::openReadClose (file, primaryPosition, (int) sectorSize, descriptor))
        return {};

    const auto rootAddress = ISOfile::hex2int733 (descriptor + VolumeDescriptor::rootExtent);
    if (rootAddress < 0)
        return {};

    std::optional<long long> displacement;

    scanChunks (file, primaryPosition,
                [&] (long long position, const unsigned char* bytes, int count)
                {
                    for (int at = 0; at < count; at += (int) sectorSize)
                    {
                        if (isRootDirectoryStart (bytes + at, std::min (count - at, (int) sectorSize), rootAddress))
                        {
                            displacement =
                                primaryPosition + rootAddress * sectorSize - descriptorSetStart - (position + at);
                            return true;
                        }
                    }
                    return false;
                });

    return displacement;
}

bool takeBackAppended (const juce::File& file, long long originalSize)
{
    juce::FileOutputStream out (file);
    return out.openedOk() && out.setPosition (originalSize) && out.truncate().wasOk() && file.getSize() == originalSize;
}

juce::String quoted (const juce::String& text) { return "\"" + text + "\""; }

juce::String noImageMessage (const juce::String& path)
{
    return "The file " + quoted (path) + " holds no ISO 9660 image (no primary volume descriptor was found).";
}

juce::String noRootMessage (const juce::String& path)
{
    return "The root directory of the ISO 9660 image in " + quoted (path) + " could not be found.";
}

juce::String cannotMoveMessage (const juce::String& path, long long offset)
{
    return "The ISO 9660 image in " + quoted (path) + " cannot be moved by " + juce::String (offset)
           + " bytes: its sector addresses would leave the disc. It was left unchanged.";
}

//==============================================================================
// Rewrites the sector addresses of one image in two passes: the first reads every structure, checks
// it and works out the new bytes of every address; only when all of that succeeded does the second
// write them, and it puts the old bytes back if a write fails.
class AddressRewrite
{
public:
    AddressRewrite (const juce::String& imagePath, long long primaryDescriptorPosition, long long imageDisplacement,
                    long long addressOffset)
        : path (imagePath), file (imagePath), fileSize (file.getSize()), primaryPosition (primaryDescriptorPosition),
          imageStart (primaryDescriptorPosition - descriptorSetStart), displacement (imageDisplacement),
          offset (addressOffset)
    {
    }

    bool plan()
    {
        for (auto position = primaryPosition;; position += sectorSize)
        {
            if (position + sectorSize > fileSize)
                return damaged ("its volume descriptor set has no terminator");

            Block descriptor;
            if (! read (position, sectorSize, descriptor, "its volume descriptor set"))
                return false;

            if (! isVolumeDescriptor (descriptor.bytes.data()))
                return damaged ("its volume descriptor set has no terminator");

            const auto type = descriptor.bytes[VolumeDescriptor::type];
            if (type == VolumeDescriptor::terminator)
                break;

            if (type == VolumeDescriptor::primary || type == VolumeDescriptor::supplementary)
            {
                if (! planVolume (descriptor))
                    return false;
            }
            else if (type == BootRecord::type && isElToritoRecord (descriptor))
            {
                if (! planBootCatalog (descriptor))
                    return false;
            }
            // Partition descriptors and boot records of other systems are passed over.
        }

        return planPendingStructures();
    }

    bool apply()
    {
        std::vector<Block> written;

        for (auto patch = patches.begin(); patch != patches.end();)
        {
            auto end = patch;
            auto blockEnd = patch->first;

            // Neighbouring fields go out in one write, so a directory costs one write, not one per entry.
            while (end != patches.end() && end->first - blockEnd < sectorSize
                   && end->first + end->second.size - patch->first <= chunkSize)
            {
                blockEnd = std::max (blockEnd, end->first + end->second.size);
                ++end;
            }

            Block original;
            original.position = patch->first;
            original.bytes.resize ((size_t) (blockEnd - patch->first));
            if (! ISOfile::openReadClose (file, original.position, (int) original.bytes.size(), original.bytes.data()))
                return restore (written, "could not be read");

            auto changed = original.bytes;
            for (; patch != end; ++patch)
                std::memcpy (changed.data() + (patch->first - original.position), patch->second.bytes,
                             (size_t) patch->second.size);

            if (changed != original.bytes)
            {
                written.push_back (original);
                if (! ISOfile::openWriteClose (file, original.position, (int) changed.size(), changed.data()))
                    return restore (written, "could not be written");
            }
        }

        return true;
    }

    juce::String problem;

private:
    struct Block
    {
        long long position = 0;
        std::vector<unsigned char> bytes;
    };

    struct Patch
    {
        int size = 0;
        Encoding encoding = Encoding::bothByteOrders;
        unsigned char bytes[8] = {};
    };

    // System Use Sharing Protocol entries (Rock Ridge) of one directory tree: whether its records carry
    // them, and how many bytes of each system use area come before them.
    struct Tree
    {
        long long rootAddress = 0;
        bool sharesSystemUse = false;
        int skip = 0;
    };

    struct PendingDirectory
    {
        long long address;
        Tree tree;
    };

    struct PendingArea
    {
        long long position, length;
    };

    bool planVolume (const Block& descriptor)
    {
        if (descriptor.bytes[VolumeDescriptor::rootRecord] < DirectoryRecord::smallest)
            return damaged ("a volume descriptor has no root directory record");

        Tree tree;
        if (! relocate (descriptor, VolumeDescriptor::rootExtent, Encoding::bothByteOrders, tree.rootAddress)
            || ! readSystemUseSharing (tree))
            return false;

        pendingDirectories.push_back ({ tree.rootAddress, tree });

        long long tableSize = 0;
        if (! readNumber (descriptor, VolumeDescriptor::pathTableSize, tableSize))
            return false;

        // L table, optional L table, M table, optional M table; a location of 0 means "none" and stays 0.
        const std::pair<int, Encoding> tables[] = { { 140, Encoding::littleEndian },
                                                    { 144, Encoding::littleEndian },
                                                    { 148, Encoding::bigEndian },
                                                    { 152, Encoding::bigEndian } };

        for (const auto& [at, encoding] : tables)
        {
            long long location = 0;
            if (decode (descriptor.bytes.data() + at, encoding) == 0)
                continue;
            if (! relocate (descriptor, at, encoding, location)
                || ! planPathTable (location, tableSize, encoding, tree))
                return false;
        }

        return true;
    }

    static bool isElToritoRecord (const Block& descriptor)
    {
        const auto* identifier = descriptor.bytes.data() + BootRecord::systemIdentifier;
        const auto length = sizeof (BootRecord::elTorito);
        return std::memcmp (identifier, BootRecord::elTorito, length) == 0
               && std::all_of (identifier + length, identifier + BootRecord::systemIdentifierLength,
                               [] (unsigned char c) { return c == 0 || c == ' '; });
    }

    // The catalog: a validation entry, the initial entry, then sections, each a header followed by
    // its entries (and their extension records); the final section's header says it is the last.
    bool planBootCatalog (const Block& bootRecord)
    {
        using namespace BootCatalog;

        long long address = 0;
        if (! relocate (bootRecord, BootRecord::catalogPointer, Encoding::littleEndian, address))
            return false;

        Block catalog;
        catalog.position = positionOf (address);
        if (! readCatalogEntry (catalog, 1))
            return false;
        if (! isValidationEntry (catalog.bytes.data()))
            return damaged ("its El Torito boot catalog has no valid validation entry");

        int index = 1;
        if (! planBootEntry (catalog, index))
            return false;

        for (auto header = moreSections; header == moreSections;)
        {
            if (! readCatalogEntry (catalog, ++index))
                return false;

            const auto* entry = catalog.bytes.data() + index * entrySize;
            header = entry[0];
            if (header != moreSections && header != finalSection)
                break; // no (further) sections

            const int count = entry[2] | (entry[3] << 8);
            for (int i = 0; i < count; ++i)
                if (! readCatalogEntry (catalog, ++index) || ! planBootEntry (catalog, index))
                    return false;
        }

        return true;
    }

    static bool isValidationEntry (const unsigned char* entry)
    {
        unsigned int sum = 0;
        for (int i = 0; i < BootCatalog::entrySize; i += 2)
            sum += (unsigned int) (entry[i] | (entry[i + 1] << 8));

        return entry[0] == BootCatalog::validationEntry && entry[30] == 0x55 && entry[31] == 0xaa
               && (sum & 0xffff) == 0;
    }

    // Relocates the load address of the boot entry at `index` and steps over the extension records
    // that follow it.
    bool planBootEntry (Block& catalog, int& index)
    {
        using namespace BootCatalog;

        const auto at = index * entrySize;
        const auto indicator = catalog.bytes[(size_t) at];
        if (indicator != bootable && indicator != notBootable)
            return damaged ("an entry of its El Torito boot catalog is invalid");

        // A load address of 0 (the system area) points at no boot image and stays 0.
        if (ISOfile::hex2int731 (catalog.bytes.data() + at + loadAddress) != 0)
        {
            long long image = 0;
            if (! relocate (catalog, at + loadAddress, Encoding::littleEndian, image))
                return false;

            const auto position = positionOf (image);
            if (position < 0 || position >= fileSize)
                return damaged ("a boot image lies outside the file");
        }

        for (auto flags = catalog.bytes[(size_t) at + 1]; (flags & extensionFollows) != 0;)
        {
            if (! readCatalogEntry (catalog, ++index))
                return false;
            const auto* record = catalog.bytes.data() + index * entrySize;
            if (record[0] != extension)
                return damaged ("an entry of its El Torito boot catalog is invalid");
            flags = record[1];
        }

        return true;
    }

    // Makes sure the catalog's entry `index` has been read, reading it a sector at a time.
    bool readCatalogEntry (Block& catalog, int index)
    {
        const auto needed = (long long) (index + 1) * BootCatalog::entrySize;
        if (needed <= (long long) catalog.bytes.size())
            return true;

        Block next;
        if (! read (catalog.position + (long long) catalog.bytes.size(), sectorSize, next,
                    "its El Torito boot catalog"))
            return false;

        catalog.bytes.insert (catalog.bytes.end(), next.bytes.begin(), next.bytes.end());
        return true;
    }

    bool planPathTable (long long location, long long size, Encoding encoding, const Tree& tree)
    {
        if (! walkedTables.insert ({ positionOf (location), encoding }).second)
            return true;

        Block table;
        if (! read (positionOf (location), size, table, "a path table"))
            return false;

        for (long long at = 0; at < size;)
        {
            const int identifierLength = table.bytes[(size_t) at];
            if (identifierLength == 0)
                break;

            const auto recordLength = 8 + identifierLength + (identifierLength & 1);
            if (at + recordLength > size)
                return damaged ("a path table runs past its end");

            long long directory = 0;
            if (! relocate (table, (int) at + 2, encoding, directory))
                return false;

            pendingDirectories.push_back ({ directory, tree });
            at += recordLength;
        }

        return true;
    }

    bool planPendingStructures()
    {
        while (! pendingDirectories.empty() || ! pendingAreas.empty())
        {
            if (! pendingAreas.empty())
            {
                const auto area = pendingAreas.back();
                pendingAreas.pop_back();
                if (! planContinuationArea (area))
                    return false;
                continue;
            }

            const auto directory = pendingDirectories.back();
            pendingDirectories.pop_back();
            if (! planDirectory (directory))
                return false;
        }

        return true;
    }

    bool planDirectory (const PendingDirectory& directory)
    {
        using namespace DirectoryRecord;

        const auto position = positionOf (directory.address);
        if (! walkedDirectories.insert (position).second)
            return true;

        FirstRecord own;
        if (! readFirstRecord (directory.address, own))
            return false;

        if (! isOwnOrParentEntry (own.bytes, own.count, 0, 0, directory.address)
            || ! isConsistent (own.bytes + extent, Encoding::bothByteOrders))
            return damaged ("a directory does not start with its own entry");

        const auto size = ISOfile::hex2int733 (own.bytes + dataLength);
        if (! isConsistent (own.bytes + dataLength, Encoding::bothByteOrders) || size < smallest)
            return damaged ("a directory has an invalid size");

        Block records;
        if (! read (position, size, records, "a directory"))
            return false;

        for (long long sector = 0; sector < size; sector += sectorSize)
        {
            const auto sectorEnd = std::min (sector + sectorSize, size);

            // A record never crosses into the next sector; the rest of a sector after the last one is zero.
            for (auto at = sector; at < sectorEnd;)
            {
                const int recordLength = records.bytes[(size_t) at];
                if (recordLength == 0)
                    break;

                if (recordLength < smallest)
                    return damaged ("a directory record is too short");
                if (at + recordLength > sectorEnd)
                    return damaged ("a directory record crosses the end of its sector");

                const auto isRootsOwnEntry = at == 0 && directory.address == directory.tree.rootAddress;
                if (! planRecord (records, (int) at, recordLength, directory.tree, isRootsOwnEntry))
                    return false;

                at += recordLength;
            }
        }

        return true;
    }

    bool planRecord (const Block& records, int at, int recordLength, const Tree& tree, bool isRootsOwnEntry)
    {
        using namespace DirectoryRecord;

        const auto* record = records.bytes.data() + at;
        const int nameLength = record[identifierLength];
        if (identifier + nameLength > recordLength)
            return damaged ("a directory record is shorter than its name");

        long long address = 0;
        if (! relocate (records, at + extent, Encoding::bothByteOrders, address))
            return false;

        const auto isOwnOrParent = nameLength == 1 && record[identifier] <= 1;

        if ((record[flags] & directoryFlag) != 0)
        {
            if (! isOwnOrParent)
                pendingDirectories.push_back ({ address, tree });
        }
        else if (! fileDataLiesInside (record, address))
        {
            return damaged ("the data of a file lies outside the file");
        }

        if (! tree.sharesSystemUse)
            return true;

        // The system use area follows the name and its padding byte; the skip of the "SP" entry
        // applies everywhere except in the entry that holds it.
        const auto systemUseStart =
            identifier + nameLength + (nameLength % 2 == 0 ? 1 : 0) + (isRootsOwnEntry ? 0 : tree.skip);
        return planSystemUse (records, at + systemUseStart, at + recordLength);
    }

    bool fileDataLiesInside (const unsigned char* record, long long address) const
    {
        const auto length = ISOfile::hex2int733 (record + DirectoryRecord::dataLength);
        if (length == 0)
            return true;

        const auto start = positionOf (address);
        return length > 0 && start >= 0
               && start + record[DirectoryRecord::attributeRecordLength] * sectorSize + length <= fileSize;
    }

    // Rock Ridge entries that hold sector addresses: "CE" (where the entries continue), "CL" (where a
    // deep directory was moved) and "PL" (its real parent).
    bool planSystemUse (const Block& block, int start, int end)
    {
        for (auto at = start; at + 4 <= end;)
        {
            const auto* entry = block.bytes.data() + at;
            const int entryLength = entry[2];
            if (entryLength < 4 || at + entryLength > end)
                break;

            const auto isEntry = [entry] (const char* signature)
            { return entry[0] == signature[0] && entry[1] == signature[1]; };

            if (isEntry ("ST"))
                break;

            long long address = 0;

            if (isEntry ("CE") && entryLength >= 28)
            {
                long long areaOffset = 0, areaLength = 0;
                if (! relocate (block, at + 4, Encoding::bothByteOrders, address)
                    || ! readNumber (block, at + 12, areaOffset) || ! readNumber (block, at + 20, areaLength))
                    return false;

                pendingAreas.push_back ({ positionOf (address) + areaOffset, areaLength });
            }
            else if ((isEntry ("CL") || isEntry ("PL")) && entryLength >= 12)
            {
                if (! relocate (block, at + 4, Encoding::bothByteOrders, address))
                    return false;
            }

            at += entryLength;
        }

        return true;
    }

    bool planContinuationArea (const PendingArea& area)
    {
        if (! walkedAreas.insert (area.position).second)
            return true;

        Block entries;
        return read (area.position, area.length, entries, "a Rock Ridge continuation area")
               && planSystemUse (entries, 0, (int) area.length);
    }

    // The first record of a directory, its own entry: at most 255 bytes.
    struct FirstRecord
    {
        unsigned char bytes[255] = {};
        int count = 0;
    };

    bool readFirstRecord (long long address, FirstRecord& record)
    {
        const auto position = positionOf (address);
        if (position < 0 || position + DirectoryRecord::smallest > fileSize)
            return damaged ("a directory lies outside the file");

        record.count = (int) std::min<long long> (sizeof (record.bytes), fileSize - position);
        return ISOfile::openReadClose (file, position, record.count, record.bytes) || unreadable();
    }

    // The "SP" entry at the start of the root's own entry's system use area tells that the tree uses
    // the System Use Sharing Protocol.
    bool readSystemUseSharing (Tree& tree)
    {
        using namespace DirectoryRecord;

        FirstRecord own;
        if (! readFirstRecord (tree.rootAddress, own))
            return false;

        const int recordLength = std::min<int> (own.bytes[length], own.count);
        const int nameLength = own.bytes[identifierLength];
        const auto at = identifier + nameLength + (nameLength % 2 == 0 ? 1 : 0);
        if (at + 7 > recordLength)
            return true;

        const auto* entry = own.bytes + at;
        tree.sharesSystemUse =
            entry[0] == 'S' && entry[1] == 'P' && entry[2] >= 7 && entry[4] == 0xbe && entry[5] == 0xef;
        tree.skip = tree.sharesSystemUse ? entry[6] : 0;
        return true;
    }

    // Works out the new bytes of the address at `at` in `block` and gives the old address.
    bool relocate (const Block& block, int at, Encoding encoding, long long& oldAddress)
    {
        const auto* field = block.bytes.data() + at;
        oldAddress = decode (field, encoding);

        if (! isConsistent (field, encoding) || oldAddress < 0)
            return damaged ("it holds an invalid sector address");

        const auto newAddress = (oldAddress * sectorSize - offset) / sectorSize;
        if (newAddress < 0 || newAddress > largestAddress)
            return outOfRange();

        Patch patch;
        patch.size = sizeOf (encoding);
        patch.encoding = encoding;
        encode (patch.bytes, encoding, newAddress);
        return addPatch (block.position + at, patch);
    }

    bool addPatch (long long position, const Patch& patch)
    {
        const auto next = patches.lower_bound (position);

        // A structure reached twice (a volume descriptor sharing another's tables, a directory listed
        // twice) has its addresses rewritten once.
        if (next != patches.end() && next->first == position && next->second.size == patch.size
            && next->second.encoding == patch.encoding)
            return true;

        const auto overlapsNext = next != patches.end() && next->first < position + patch.size;
        const auto overlapsPrevious =
            next != patches.begin() && std::prev (next)->first + std::prev (next)->second.size > position;
        if (overlapsNext || overlapsPrevious)
            return damaged ("two of its structures overlap");

        patches.emplace (position, patch);
        return true;
    }

    bool readNumber (const Block& block, int at, long long& value)
    {
        const auto* field = block.bytes.data() + at;
        value = ISOfile::hex2int733 (field);
        if (! isConsistent (field, Encoding::bothByteOrders) || value < 0)
            return damaged ("it holds an invalid number");
        return true;
    }

    // Reads a structure of the image. Every byte of a sound image belongs to one structure at most, so
    // reading more than the file holds means structures that overlap or lead round in a loop.
    bool read (long long position, long long length, Block& block, const juce::String& what)
    {
        if (length < 0 || length > largestStructure)
            return damaged (what + " has an impossible size");
        if (position < 0 || position > fileSize - length)
            return damaged (what + " lies outside the file");

        bytesExamined += length;
        if (bytesExamined > fileSize)
            return damaged ("its structures overlap or lead round in a loop");

        block.position = position;
        block.bytes.resize ((size_t) length);
        return ISOfile::openReadClose (file, position, (int) length, block.bytes.data()) || unreadable();
    }

    long long positionOf (long long address) const { return imageStart + address * sectorSize - displacement; }

    // Puts the old bytes back where they are no longer there (a failed write may have left them intact).
    bool restore (std::vector<Block>& written, const juce::String& what)
    {
        auto restored = true;

        for (auto& block : written)
        {
            std::vector<unsigned char> now (block.bytes.size());
            const auto intact =
                ISOfile::openReadClose (file, block.position, (int) now.size(), now.data()) && now == block.bytes;
            if (! intact)
                restored = ISOfile::openWriteClose (file, block.position, (int) block.bytes.size(), block.bytes.data())
                           && restored;
        }

        problem = "The ISO 9660 image in " + quoted (path) + " " + what + ". "
                  + (restored ? "It was left unchanged." : "It could not be restored and is now damaged.");
        return false;
    }

    bool damaged (const juce::String& detail)
    {
        problem = "The ISO 9660 image in " + quoted (path) + " is damaged: " + detail + ". It was left unchanged.";
        return false;
    }

    bool unreadable()
    {
        problem = "The ISO 9660 image in " + quoted (path) + " could not be read. It was left unchanged.";
        return false;
    }

    bool outOfRange()
    {
        problem = cannotMoveMessage (path, offset);
        return false;
    }

    const juce::String path;
    const juce::File file;
    const long long fileSize, primaryPosition, imageStart, displacement, offset;

    std::map<long long, Patch> patches;
    std::vector<PendingDirectory> pendingDirectories;
    std::vector<PendingArea> pendingAreas;
    std::set<long long> walkedDirectories, walkedAreas;
    std::set<std::pair<long long, Encoding>> walkedTables;
    long long bytesExamined = 0;
};
} // namespace

//==============================================================================
ISOfile::ISOfile (juce::String pathToUse) : path (std::move (pathToUse)) {}

ISOfile::~ISOfile() = default;

juce::String ISOfile::getLastError() const { return lastError; }

bool ISOfile::fail (const juce::String& reason)
{
    lastError = reason;
    return false;
}

long long ISOfile::getPrimVDpos()
{
    lastError.clear();
    const auto position = findPrimaryDescriptor (juce::File (path));
    if (position < 0)
        fail (noImageMessage (path));
    return position;
}

long long ISOfile::getISOoffset()
{
    const auto primaryPosition = getPrimVDpos();
    if (primaryPosition < 0)
        return -1;

    const auto displacement = findDisplacement (juce::File (path), primaryPosition);
    if (! displacement)
    {
        fail (noRootMessage (path));
        return -1;
    }

    return *displacement;
}

bool ISOfile::modifyISOoffset (long long offset)
{
    const auto primaryPosition = getPrimVDpos();
    if (primaryPosition < 0)
        return false;

    const auto displacement = findDisplacement (juce::File (path), primaryPosition);
    if (! displacement)
        return fail (noRootMessage (path) + " It was left unchanged.");

    // Keeps the arithmetic on addresses far from overflowing; no such move stays on a disc anyway.
    const auto largestMove = (largestAddress + 1) * sectorSize;
    if (offset > largestMove || offset < -largestMove)
        return fail (cannotMoveMessage (path, offset));

    AddressRewrite rewrite (path, primaryPosition, *displacement, offset);
    if (! rewrite.plan() || ! rewrite.apply())
        return fail (rewrite.problem);

    return true;
}

bool ISOfile::writeISO (juce::String destination, long long offset)
{
    lastError.clear();

    const juce::File source (path), target (destination);
    const auto notCopied = " Nothing was added to " + quoted (destination) + ".";

    unsigned char descriptor[sectorSize];
    if (offset < 0 || ! openReadClose (source, offset + descriptorSetStart, (int) sectorSize, descriptor)
        || descriptor[VolumeDescriptor::type] != VolumeDescriptor::primary || ! isVolumeDescriptor (descriptor))
        return fail ("No ISO 9660 image starts at byte " + juce::String (offset) + " of " + quoted (path) + "."
                     + notCopied);

    const auto sectors = hex2int733 (descriptor + VolumeDescriptor::volumeSpaceSize);
    if (sectors <= descriptorSetStart / sectorSize)
        return fail ("The ISO 9660 image in " + quoted (path) + " is damaged: its volume size is invalid." + notCopied);

    const auto length = sectors * sectorSize;
    if (source.getSize() - offset < length)
        return fail ("The ISO 9660 image in " + quoted (path) + " is incomplete: it should hold "
                     + juce::String (length) + " bytes, but the file ends after "
                     + juce::String (source.getSize() - offset) + "." + notCopied);

    if (target == source)
        return fail ("The ISO 9660 image in " + quoted (path) + " cannot be added to its own file.");

    juce::FileInputStream in (source);
    if (! in.openedOk() || ! in.setPosition (offset))
        return fail ("The ISO 9660 image in " + quoted (path) + " could not be read." + notCopied);

    const auto existed = target.exists();
    const auto writeFailed =
        "The ISO 9660 image could not be written to " + quoted (destination) + ". The disk may be full.";
    long long sizeBefore = 0;
    juce::String problem;

    {
        juce::FileOutputStream out (target);
        if (! out.openedOk())
            return fail (quoted (destination) + " could not be opened for writing." + notCopied);

        sizeBefore = out.getPosition();
        std::vector<unsigned char> chunk ((size_t) chunkSize);

        for (auto remaining = length; remaining > 0 && problem.isEmpty();)
        {
            const auto wanted = (int) std::min<long long> (remaining, chunkSize);
            if (readFully (in, chunk.data(), wanted) != wanted)
                problem = "The ISO 9660 image in " + quoted (path) + " could not be read.";
            else if (! out.write (chunk.data(), (size_t) wanted))
                problem = writeFailed;
            remaining -= wanted;
        }

        out.flush();
        if (problem.isEmpty() && out.getStatus().failed())
            problem = writeFailed;
    }

    if (problem.isEmpty())
        return true;

    // Take back what was appended, so no partial image is left looking like a whole one.
    const auto takenBack = existed ? takeBackAppended (target, sizeBefore) : target.deleteFile();
    return fail (
        problem
        + (takenBack ? notCopied : " The part already copied could not be removed from " + quoted (destination) + "."));
}

bool ISOfile::openReadClose (juce::File file, long long position, int count, unsigned char* buffer)
{
    if (count < 0 || position < 0)
        return false;

    juce::FileInputStream in (file);
    const auto got = in.openedOk() && in.setPosition (position) ? readFully (in, buffer, count) : 0;
    std::fill (buffer + got, buffer + count, (unsigned char) 0);
    return got == count;
}

bool ISOfile::openWriteClose (juce::File file, long long position, int count, unsigned char* buffer)
{
    if (count < 0 || position < 0 || ! file.existsAsFile() || position > file.getSize() - count)
        return false;

    juce::FileOutputStream out (file);
    if (! out.openedOk() || ! out.setPosition (position) || ! out.write (buffer, (size_t) count))
        return false;

    out.flush();
    return out.getStatus().wasOk();
}

long long ISOfile::hex2int733 (const unsigned char* bytes) { return hex2int732 (bytes + 4); }

long long ISOfile::hex2int731 (const unsigned char* bytes)
{
    return (long long) (juce::int32) juce::ByteOrder::littleEndianInt (bytes);
}

long long ISOfile::hex2int732 (const unsigned char* bytes)
{
    return (long long) (juce::int32) juce::ByteOrder::bigEndianInt (bytes);
}

void ISOfile::int2hex733 (unsigned char* out, long long value)
{
    int2hex731 (out, value);
    int2hex732 (out + 4, value);
}

void ISOfile::int2hex731 (unsigned char* out, long long value)
{
    const auto low = (juce::uint32) value;
    for (int i = 0; i < 4; ++i)
        out[i] = (unsigned char) (low >> (8 * i));
}

void ISOfile::int2hex732 (unsigned char* out, long long value)
{
    const auto low = (juce::uint32) value;
    for (int i = 0; i < 4; ++i)
        out[i] = (unsigned char) (low >> (8 * (3 - i)));
}
