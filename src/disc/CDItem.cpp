#include "disc/CDItem.h"

#include "disc/RawAudioFormat.h"
#include "disc/SampleLayout.h"

namespace
{
const char* const genreNames[] = { "Not used",
                                   "Not defined",
                                   "Adult Contemporary",
                                   "Alternative Rock",
                                   "Childrens Music",
                                   "Classical",
                                   "Contemporary Christian",
                                   "Country",
                                   "Dance",
                                   "Easy Listening",
                                   "Erotic",
                                   "Folk",
                                   "Gospel",
                                   "Hip Hop",
                                   "Jazz",
                                   "Latin",
                                   "Musical",
                                   "New Age",
                                   "Opera",
                                   "Operetta",
                                   "Pop Music",
                                   "RAP",
                                   "Reggae",
                                   "Rock Music",
                                   "Rhythm & Blues",
                                   "Sound Effects",
                                   "Sound Track",
                                   "Spoken Word",
                                   "World Music",
                                   "Reserved" };

const char* const languageNamesLow[] = {
    "Not used", "Albanian",      "Breton",     "Catalan",   "Croatian",  "Welsh",   "Czech",     "Danish",
    "German",   "English",       "Spanish",    "Esperanto", "Estonian",  "Basque",  "Faroese",   "French",
    "Frisian",  "Irish",         "Gaelic",     "Galician",  "Icelandic", "Italian", "Lappish",   "Latin",
    "Latvian",  "Luxembourgian", "Lithuanian", "Hungarian", "Maltese",   "Dutch",   "Norwegian", "Occitan",
    "Polish",   "Portugese",     "Romanian",   "Romansh",   "Serbian",   "Slovak",  "Slovene",   "Finnish",
    "Swedish",  "Turkish",       "Flemish",    "Walloon"
};

const char* const languageNamesHigh[] = {
    "Zulu",      "Vietnamese",     "Uzbek",      "Urdu",        "Ukrainian",    "Thai",        "Telugu",
    "Tatar",     "Tamil",          "Tadzhik",    "Swahili",     "Sranan_tongo", "Somali",      "Sinhalese",
    "Shona",     "Serbo_croatian", "Ruthenian",  "Russian",     "Quechua",      "Pushtu",      "Punjabi",
    "Persian",   "Papamiento",     "Oriya",      "Nepali",      "Ndebele",      "Marathi",     "Moldavian",
    "Malaysian", "Malagasay",      "Macedonian", "Laotian",     "Korean",       "Khmer",       "Kazakh",
    "Kannada",   "Japanese",       "Indonesian", "Hindi",       "Hebrew",       "Hausa",       "Gurani",
    "Gujarati",  "Greek",          "Georgian",   "Fulani",      "Dari",         "Churash",     "Chinese",
    "Burmese",   "Bulgarian",      "Bengali",    "Belorussian", "Bambora",      "Azerbaijani", "Assamese",
    "Armenian",  "Arabic",         "Amharic"
};

constexpr int numLanguageNamesLow = (int) std::size (languageNamesLow); // codes 0 to 43
constexpr int firstHighLanguageCode = 69;
constexpr int numLanguageCodes = 128;

static_assert (std::size (genreNames) == 30);
static_assert (firstHighLanguageCode + std::size (languageNamesHigh) == numLanguageCodes);
} // namespace

CDItem::CDItem()
{
    createFixedItems();
    rawFormat = registerFormatsWithRaw (formatManager);
}

CDItem::~CDItem()
{
    items.clear();
    dataItems.clear();
}

void CDItem::createFixedItems()
{
    IndexItem pregap;
    pregap.trackNumber = 1;
    pregap.indexNumber = 0;
    pregap.duration = CDDuration (150);
    pregapItem = createItem (pregap);

    leadIn = createItem();
    audioLeadOut = createItem();
    dataLeadIn = createItem();
    dataLeadOut = createItem();
    discEnd = createItem();
}

IndexItem* CDItem::createItem (const IndexItem& prototype)
{
    itemStore.push_back (std::make_unique<IndexItem> (prototype));
    return itemStore.back().get();
}

juce::Array<IndexItem*> CDItem::replaceByCopies (juce::Array<IndexItem*>& list)
{
    auto previous = list;
    list.clearQuick();

    for (auto* item : previous)
        list.add (createItem (*item));

    return previous;
}

void CDItem::reset()
{
    title = performer = songwriter = composer = arranger = message = identification = {};
    genreCode = 0;
    languageCode = 9;
    mcn = {};
    items.clear();
    dataItems.clear();
    createFixedItems();
}

int CDItem::getItemSize() const { return items.size() + 1; }

IndexItem* CDItem::getItem (int row) const
{
    if (row <= 0)
        return pregapItem;

    if (row > items.size())
        return items.isEmpty() ? nullptr : items.getLast();

    return items[row - 1];
}

IndexItem* CDItem::getPreviousItem (int row) const { return row <= 0 ? nullptr : getItem (row - 1); }

IndexItem* CDItem::getNextItem (int row) const
{
    if (row + 1 > items.size())
        return nullptr;

    return getItem (juce::jmax (row, 0) + 1);
}

void CDItem::setItem (int row, IndexItem* item)
{
    if (row <= 0)
    {
        pregapItem->isrc = item->isrc; // the pregap item itself is never replaced
        return;
    }

    if (items.isEmpty())
        return;

    items.set (juce::jmin (row, items.size()) - 1, item);
}

IndexItem* CDItem::removeItem (int row)
{
    if (row <= 0 || row > items.size())
        return nullptr;

    return items.removeAndReturn (row - 1);
}

void CDItem::insertItem (int row, IndexItem* item)
{
    if (row > items.size())
        items.add (item);
    else
        items.insert (juce::jmax (row, 1) - 1, item);
}

void CDItem::insertPause (int row, int trackNumber, int frames, const juce::String& isrc)
{
    IndexItem pause;
    pause.trackNumber = trackNumber;
    pause.indexNumber = 0;
    pause.duration = CDDuration (frames);
    pause.isrc = isrc;
    insertItem (row, createItem (pause));
}

bool CDItem::lastItemPadded() const
{
    return ! items.isEmpty() && SampleLayout::paddingAfterLastItem (items.getLast()->extraSamples) > 0;
}

juce::String CDItem::getISRC (int trackNumber) const
{
    for (int row = 0; row < getItemSize(); ++row)
        if (getItem (row)->trackNumber == trackNumber)
            return getItem (row)->isrc;

    return {};
}

bool CDItem::hasCDText() const
{
    if (title.isNotEmpty() || performer.isNotEmpty() || songwriter.isNotEmpty() || composer.isNotEmpty()
        || arranger.isNotEmpty() || message.isNotEmpty() || identification.isNotEmpty() || genreCode > 0)
        return true;

    for (auto* item : items)
        if (item->hasCDText())
            return true;

    return false;
}

juce::String CDItem::getGenreText (int code)
{
    if (code < 0 || code >= (int) std::size (genreNames))
        return {};

    return genreNames[code];
}

juce::String CDItem::getLanguageText (int code)
{
    if (code < 0 || code >= numLanguageCodes)
        return {};

    if (code < numLanguageNamesLow)
        return languageNamesLow[code];

    if (code < firstHighLanguageCode)
        return "Reserved";

    return languageNamesHigh[code - firstHighLanguageCode];
}
