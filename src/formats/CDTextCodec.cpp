#include "formats/CDTextCodec.h"

#include "app/UserInteraction.h"
#include "disc/CDItem.h"
#include "disc/TextPatterns.h"

#include <boost/crc.hpp>

#include <algorithm>
#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace CDText
{
std::uint16_t packCRC (const std::uint8_t* bytes, std::size_t count)
{
    // Boost fills its table once, thread-safely, on the first call from either the writer (export
    // thread) or the reader (message thread).
    const auto& table = boost::detail::crc_table_t<16, CHAR_BIT, 0x1021, false>::get_table();

    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < count; ++i)
        crc = (std::uint16_t) ((crc << 8) ^ table[((crc >> 8) ^ bytes[i]) & 0xff]);

    return (std::uint16_t) (crc ^ 0xffff);
}

void sealPack (Pack& pack)
{
    const auto crc = packCRC (pack.data(), crcOffset);
    pack[crcOffset] = (std::uint8_t) (crc >> 8);
    pack[crcOffset + 1] = (std::uint8_t) (crc & 0xff);
}

bool hasValidCRC (const Pack& pack)
{
    const auto crc = packCRC (pack.data(), crcOffset);
    return pack[crcOffset] == (crc >> 8) && pack[crcOffset + 1] == (crc & 0xff);
}
} // namespace CDText

namespace
{
using namespace CDText;

struct TextKind
{
    std::uint8_t type;
    juce::String CDItem::*discText;
    juce::String IndexItem::*trackText;
    const char* name; // as the CRC warning calls it
};

const TextKind textKinds[] = {
    { PackType::title, &CDItem::title, &IndexItem::title, "TITLE" },
    { PackType::performer, &CDItem::performer, &IndexItem::performer, "PERFORMER" },
    { PackType::songwriter, &CDItem::songwriter, &IndexItem::songwriter, "SONGWRITER" },
    { PackType::composer, &CDItem::composer, &IndexItem::composer, "COMPOSER" },
    { PackType::arranger, &CDItem::arranger, &IndexItem::arranger, "ARRANGER" },
    { PackType::message, &CDItem::message, &IndexItem::message, "MESSAGE" },
};

constexpr std::uint8_t iso8859_1Block = 0x00;
constexpr std::uint8_t asciiBlock = 0x01;
constexpr std::uint8_t tab = 0x09; // a string of its own: the same text as the previous one
constexpr int genreCodeBytes = 2;
constexpr int firstReservedGenre = 29;
constexpr int firstLanguageByte = 4; // data byte of the third size-information pack: block 0's language

bool startsTrack (const IndexItem& item) { return item.indexNumber == 1; }

juce::String crcWarning (const char* kindName)
{
    return juce::String ("CRC error in CD Text file, please verify the ") + kindName + " data.";
}

//==================================================================================================
// One byte per character, then the terminator. With substitution, what is not printable ISO 8859-1
// becomes "?"; without, every character keeps its low 8 bits.
void appendString (std::vector<std::uint8_t>& block, const juce::String& text, bool substitute)
{
    for (auto c : text)
        block.push_back (substitute && ! isLatin1Char ((wchar_t) c) ? (std::uint8_t) '?' : (std::uint8_t) (c & 0xff));

    block.push_back (0);
}

std::vector<std::uint8_t> textBlock (const CDItem& disc, const TextKind& kind)
{
    std::vector<std::uint8_t> block;
    appendString (block, disc.*kind.discText, true);

    for (auto* item : disc.items)
        if (startsTrack (*item))
            appendString (block, item->*kind.trackText, true);

    return block;
}

class PackEncoder
{
public:
    explicit PackEncoder (int lastTrackNumber) : lastTrack (lastTrackNumber) {}

    // Cuts a block of one type into packs. The first binaryBytes of the block are data, not
    // characters. With followTracks each pack carries the track of its first byte, counted by the
    // terminators before it; otherwise every pack carries track 0.
    void addBlock (std::uint8_t type, std::vector<std::uint8_t> block, bool followTracks, std::size_t binaryBytes = 0)
    {
        block.resize ((block.size() + dataSize - 1) / dataSize * dataSize, 0);

        int track = 0;
        int position = 0;

        for (std::size_t start = 0; start < block.size(); start += dataSize)
        {
            Pack pack {};
            pack[0] = type;
            pack[1] = (std::uint8_t) track;
            pack[2] = (std::uint8_t) packs.size(); // one byte: exportCDText refuses a block that would wrap
            pack[3] = (std::uint8_t) position;

            int terminators = 0;
            for (std::size_t i = 0; i < (std::size_t) dataSize; ++i)
            {
                const auto byte = block[start + i];
                pack[(std::size_t) headerSize + i] = byte;

                if (start + i < binaryBytes)
                    continue;

                if (byte == 0)
                {
                    position = 0;
                    ++terminators;
                }
                else
                {
                    position = std::min (position + 1, maximumCharacterPosition);
                }
            }

            if (followTracks)
                track = std::min (track + terminators, lastTrack);

            add (pack);
        }
    }

    std::vector<Pack> finish (int firstTrack, int languageCode)
    {
        packCounts[PackType::sizeInformation - PackType::title] = sizeInformationPacks;

        std::array<std::uint8_t, sizeInformationPacks * dataSize> info {};
        info[0] = iso8859_1Block;
        info[1] = (std::uint8_t) firstTrack;
        info[2] = (std::uint8_t) lastTrack;
        info[3] = 0; // no copy protection

        for (std::size_t type = 0; type < packCounts.size(); ++type)
            info[4 + type] = (std::uint8_t) packCounts[type];

        info[20] = (std::uint8_t) (packs.size() + sizeInformationPacks - 1); // last sequence number of block 0
        info[28] = (std::uint8_t) languageCode; // language of block 0

        for (int i = 0; i < sizeInformationPacks; ++i)
        {
            Pack pack {};
            pack[0] = PackType::sizeInformation;
            pack[1] = (std::uint8_t) i;
            pack[2] = (std::uint8_t) packs.size();
            std::copy_n (info.begin() + i * dataSize, dataSize, pack.begin() + headerSize);
            add (pack);
        }

        return std::move (packs);
    }

private:
    void add (Pack& pack)
    {
        sealPack (pack);
        packs.push_back (pack);
        ++packCounts[(std::size_t) (pack[0] - PackType::title)];
    }

    const int lastTrack;
    std::vector<Pack> packs;
    std::array<int, 16> packCounts {}; // per type 0x80 to 0x8f
};

std::vector<Pack> encodePacks (const CDItem& disc)
{
    const int lastTrack = disc.items.getLast()->trackNumber;
    PackEncoder encoder (lastTrack);

    for (const auto& kind : textKinds)
    {
        auto block = textBlock (disc, kind);

        // Every string has its terminator: a block no longer than that holds no text.
        const bool optional = kind.type >= PackType::songwriter;
        if (optional && (int) block.size() <= lastTrack + 1)
            continue;

        encoder.addBlock (kind.type, std::move (block), true);
    }

    if (disc.identification.isNotEmpty())
    {
        std::vector<std::uint8_t> block;
        appendString (block, disc.identification, false);
        encoder.addBlock (PackType::identification, std::move (block), false);
    }

    if (disc.genreCode != 0)
    {
        std::vector<std::uint8_t> block { 0, (std::uint8_t) (disc.genreCode & 0xff) };
        appendString (block, CDItem::getGenreText (disc.genreCode), true);
        encoder.addBlock (PackType::genre, std::move (block), false, genreCodeBytes);
    }

    return encoder.finish (disc.items.getFirst()->trackNumber, disc.languageCode);
}

bool writePackFile (const juce::File& target, const std::vector<Pack>& packs)
{
    if (target.isDirectory())
        return false;

    // Written beside the target and moved over it only when complete, so that a failed write never
    // leaves a damaged file or touches the one already there.
    juce::TemporaryFile temporary (target);
    {
        juce::FileOutputStream out (temporary.getFile(), 32768);
        if (out.failedToOpen())
            return false;

        for (const auto& pack : packs)
            out.write (pack.data(), pack.size());

        out.writeByte (0);
        out.flush();

        if (out.getStatus().failed())
            return false;
    }

    return temporary.overwriteTargetFileWithTemporary();
}

//==================================================================================================
// The strings of one reading pass, each ended by a line break. Its length is bounded: a hostile
// file of chained TAB repeats would otherwise double it with every byte.
class TextAccumulator
{
public:
    void append (wchar_t c)
    {
        if (text.size() >= maximumLength)
            return;

        if (c == L'\n')
        {
            previousLineStart = lineStart;
            lineStart = text.size() + 1;
        }

        text.push_back (c);
    }

    void endString() { append (L'\n'); }

    // The TAB rule: the text without its last character, from its last line break on, is appended;
    // right after a terminator that repeats the previous string.
    void repeatPrevious()
    {
        if (text.empty() || text.size() >= maximumLength)
            return;

        const auto from = text.back() == L'\n' ? previousLineStart : lineStart;
        const auto length = std::min (text.size() - 1 - from, maximumLength - text.size());

        // Within one line: the repeated part holds no line break.
        text.append (text.substr (from, length));
    }

    juce::String toString() const { return juce::String (text.c_str()); }

    // Far beyond the text a block of 256 packs can carry, even with every track repeating a long one.
    static constexpr std::size_t maximumLength = 1 << 20;

private:
    std::wstring text;
    std::size_t lineStart = 0, previousLineStart = 0;
};

struct StoredPack
{
    Pack bytes {};
    int size = 0; // less than a pack when the file ends inside it

    std::uint8_t type() const { return bytes[0]; }
    int dataBytes() const { return juce::jlimit (0, dataSize, size - headerSize); }
    std::uint8_t data (int index) const { return bytes[(std::size_t) (headerSize + index)]; }
    bool isDoubleByte() const { return (bytes[3] & doubleByteFlag) != 0; }
    int blockNumber() const { return (bytes[3] >> 4) & 0x07; }

    // A pack cut short cannot be checked and counts as damaged.
    bool hasValidCRC() const { return size == packSize && CDText::hasValidCRC (bytes); }
};

class PackFileReader
{
public:
    PackFileReader (CDItem& discToFill, juce::InputStream& source, UserInteraction& userInteraction)
        : disc (discToFill), stream (source), fileSize (source.getTotalLength()), ui (userInteraction)
    {
    }

    bool read()
    {
        if (! chooseBlock())
            return false;

        for (const auto& kind : textKinds)
            if (! readTexts (kind))
                return false;

        if (! readIdentification() || ! readGenre())
            return false;

        readLanguage();
        return true;
    }

private:
    struct Block
    {
        juce::int64 start = 0, end = 0;
        std::uint8_t characterCode = 0;
    };

    // Never reads past end, so a file that stops inside a pack gives what it holds.
    StoredPack packAt (juce::int64 position, juce::int64 end)
    {
        StoredPack pack;
        const auto available = (int) juce::jlimit<juce::int64> (0, packSize, end - position);

        if (available > 0 && stream.setPosition (position))
            pack.size = juce::jmax (0, stream.read (pack.bytes.data(), available));

        return pack;
    }

    // Takes the first ISO 8859-1 block, else the last ASCII block. A block ends with the three
    // size-information packs that follow the first of them.
    bool chooseBlock()
    {
        std::optional<Block> asciiFound;
        juce::int64 start = 0;

        for (auto position = start;;)
        {
            const auto pack = packAt (position, fileSize);
            if (pack.dataBytes() < 1)
                break;

            if (pack.type() != PackType::sizeInformation)
            {
                position += packSize;
                continue;
            }

            const Block found { start, std::min (position + sizeInformationPacks * packSize, fileSize), pack.data (0) };

            if (found.characterCode == iso8859_1Block)
            {
                use (found);
                return true;
            }

            if (found.characterCode == asciiBlock)
                asciiFound = found;

            start = position = found.end;
        }

        if (! asciiFound.has_value())
        {
            ui.showError ("No ASCII or ISO 8859-1 block found in CD Text file.");
            return false;
        }

        use (*asciiFound);
        return true;
    }

    void use (const Block& found)
    {
        block = found;
        isValidCharacter = found.characterCode == iso8859_1Block ? isLatin1Char : isASCIIChar;
    }

    // Walks the packs of one type in file order: a double-byte pack stops the reading, bad CRCs
    // are reported once.
    bool readPacks (std::uint8_t type, const juce::String& crcMessage,
                    const std::function<void (const StoredPack&)>& visit)
    {
        bool crcReported = false;

        for (auto position = block.start; position < block.end; position += packSize)
        {
            const auto pack = packAt (position, block.end);
            if (pack.size < headerSize)
                break;

            if (pack.type() != type)
                continue;

            if (pack.isDoubleByte())
            {
                ui.showError ("Double Byte Character Code not supported.");
                return false;
            }

            visit (pack);

            if (! crcReported && ! pack.hasValidCRC())
            {
                ui.showWarning (crcMessage);
                crcReported = true;
            }
        }

        return true;
    }

    void appendCharacters (const StoredPack& pack, TextAccumulator& text, bool tabRepeats)
    {
        for (int i = 0; i < pack.dataBytes(); ++i)
        {
            const auto byte = pack.data (i);

            if (byte == tab && tabRepeats)
            {
                text.repeatPrevious();
            }
            else if (byte == 0)
            {
                text.endString();
            }
            else if (isValidCharacter ((wchar_t) byte))
            {
                text.append ((wchar_t) byte);
            }
            else
            {
                ui.showWarning ("Invalid character(s) found in CD text! They will be replaced by a question mark (?).");
                text.append (L'?');
            }
        }
    }

    bool readTexts (const TextKind& kind)
    {
        TextAccumulator text;
        std::optional<int> firstTrack;

        const bool ok = readPacks (kind.type, crcWarning (kind.name),
                                   [&] (const StoredPack& pack)
                                   {
                                       if (! firstTrack.has_value())
                                           firstTrack = pack.bytes[1];

                                       appendCharacters (pack, text, true);
                                   });
        if (! ok)
            return false;

        if (! firstTrack.has_value())
            return true;

        // Line n is track n's string; packs that begin at a track leave the lines before it empty.
        const auto all =
            (juce::String::repeatedString ("\n", *firstTrack) + text.toString()).trimCharactersAtEnd ("\n");
        if (all.isEmpty())
            return true;

        const auto lines = juce::StringArray::fromTokens (all, "\n", "");
        disc.*kind.discText = lines[0];

        for (auto* item : disc.items)
            if (startsTrack (*item))
                item->*kind.trackText = lines[item->trackNumber];

        return true;
    }

    bool readIdentification()
    {
        TextAccumulator text;

        if (! readPacks (PackType::identification, crcWarning ("IDENTIFICATION"),
                         [&] (const StoredPack& pack) { appendCharacters (pack, text, false); }))
            return false;

        disc.identification = text.toString().trimCharactersAtEnd ("\n");
        return true;
    }

    bool readGenre()
    {
        bool taken = false;

        return readPacks (PackType::genre, crcWarning ("GENRE"),
                          [&] (const StoredPack& pack)
                          {
                              if (taken)
                                  return;

                              taken = true;
                              if (pack.dataBytes() >= genreCodeBytes)
                              {
                                  const int code = pack.data (1); // the low byte of the code
                                  disc.genreCode = code >= firstReservedGenre ? 0 : code;
                              }
                          });
    }

    // The third size-information pack holds the languages of blocks 0 to 7; the one of the block
    // read is taken, so that a second-block text does not get the first block's language.
    void readLanguage()
    {
        bool crcReported = false;

        for (auto position = block.start; position < block.end;)
        {
            const auto pack = packAt (position, block.end);
            if (pack.size < headerSize)
                break;

            if (pack.type() != PackType::sizeInformation)
            {
                position += packSize;
                continue;
            }

            const auto third = packAt (position + (sizeInformationPacks - 1) * packSize, block.end);

            if (third.hasValidCRC())
            {
                const int code = third.data (firstLanguageByte + third.blockNumber());
                disc.languageCode = CDItem::getLanguageText (code).isEmpty() ? 0 : code;
            }
            else if (! crcReported)
            {
                ui.showWarning ("CRC error in CD Text file.");
                crcReported = true;
            }

            position += sizeInformationPacks * packSize;
        }
    }

    CDItem& disc;
    juce::InputStream& stream;
    const juce::int64 fileSize;
    UserInteraction& ui;
    Block block;
    bool (*isValidCharacter) (wchar_t) = isLatin1Char;
};
} // namespace

//==================================================================================================
bool CDItem::exportCDText (juce::String path)
{
    if (items.isEmpty())
        return false;

    const auto packs = encodePacks (*this);
    if ((int) packs.size() > maximumCDTextPacks)
        return false;

    return writePackFile (juce::File (path), packs);
}

int CDItem::getCDTextPackCount() const { return items.isEmpty() ? 0 : (int) encodePacks (*this).size(); }

int CDItem::getCDTextExcessCharacters() const
{
    return juce::jmax (0, getCDTextPackCount() - maximumCDTextPacks) * dataSize;
}

bool CDItem::importCDText (juce::String path)
{
    auto& ui = UserInteraction::current();
    const juce::File file (path);

    if (! file.existsAsFile())
    {
        ui.showError ("File not found: " + file.getFileName() + ".");
        return false;
    }

    juce::FileInputStream fileStream (file);
    if (fileStream.failedToOpen())
    {
        ui.showError ("Error opening file: " + file.getFileName() + ".");
        return false;
    }

    juce::BufferedInputStream stream (fileStream, 32768);

    std::uint8_t firstByte = 0;
    if (stream.read (&firstByte, 1) != 1 || firstByte != PackType::title)
    {
        ui.showError ("Invalid first header in CD-Text file, should be 0x80.");
        return false;
    }

    return PackFileReader (*this, stream, ui).read();
}
