#include "editor/DiscCheck.h"

#include "disc/TextPatterns.h"

namespace DiscCheck
{
namespace
{
constexpr int maximumProgrammeEnd = 360000; // 80 minutes

enum Question
{
    programmeLength,
    mcnQuestion,
    cdTextOnIndex,
    zeroLength,
    isrcPosition,
    isrcFormat,
    numQuestions
};

bool textsAreLatin1 (const juce::StringArray& texts)
{
    for (const auto& text : texts)
        if (! TextPatterns::isPrintableLatin1 (text))
            return false;
    return true;
}

juce::StringArray textsOf (const IndexItem& item)
{
    return { item.title, item.performer, item.songwriter, item.composer, item.arranger, item.message };
}

class Check
{
public:
    Check (CDItem& d, UserInteraction& u, const std::function<void()>& mark) : disc (d), ui (u), markCheckDigit (mark)
    {
        for (int row = 0; row < disc.getItemSize(); ++row)
            rows.add (disc.getItem (row));
        rows.addArray (disc.dataItems);
    }

    int run()
    {
        if (! passes())
            return 0;

        if (disc.hasCDText() && disc.languageCode == 0)
            disc.languageCode = 9; // English

        return 1 + (int) std::count (accepted.begin(), accepted.end(), true);
    }

private:
    bool passes()
    {
        if (disc.items.isEmpty())
            return refuse ("Empty project.");

        const auto& last = *disc.items.getLast();
        if (last.getEndFrame() > maximumProgrammeEnd
            && ! ask (programmeLength, {}, "Maximum length is 80 minutes!\n\nIgnore?"))
            return false;

        if (last.trackNumber >= 100)
            return refuse ("Maximum number of tracks is 99.");

        if (disc.mcn.isNotEmpty() && ! checkMcn())
            return false;

        for (const auto* row : rows)
            if (! checkRow (*row))
                return false;

        if (! textsAreLatin1 (
                { disc.title, disc.performer, disc.songwriter, disc.composer, disc.arranger, disc.message }))
            return refuse ("Disc has non ISO 8859-1 character(s) in CD text.");

        if (const auto excess = disc.hasCDText() ? disc.getCDTextExcessCharacters() : 0; excess > 0)
            return refuse (
                "The CD-Text is too long by " + juce::String (excess)
                + " characters: it does not fit on the disc. Please shorten the titles, performers or other texts.");

        return true;
    }

    bool refuse (const juce::String& text)
    {
        ui.showError (text);
        return false;
    }

    // True when the check goes on: the kind was accepted before, or the user accepts it now.
    bool ask (Question kind, const juce::String& title, const juce::String& text)
    {
        if (accepted[(size_t) kind])
            return true;

        if (! ui.askOkCancel (MessageIcon::question, title, text, juce::translate ("Yes"), juce::translate ("No")))
            return false;

        accepted[(size_t) kind] = true;
        return true;
    }

    bool checkMcn()
    {
        const auto& mcn = disc.mcn;
        const bool wellFormed = mcn.length() == 13 && TextPatterns::matchesWhole (mcn, L"^([0-9]{13})*$");

        if (! wellFormed)
            return ask (mcnQuestion, {}, "MCN should be a 13 digit number!\n\nIgnore?");

        if (accepted[mcnQuestion])
            return true;

        const auto found = mcn[12] - '0';
        const auto correct = eanCheckDigit (mcn.substring (0, 12));
        if (found == correct)
            return true;

        if (markCheckDigit != nullptr)
            markCheckDigit();

        return ask (mcnQuestion, {},
                    "Invalid MCN checksum digit found at position 13!\n\nFound: " + juce::String (found)
                        + "\nCorrect value: " + juce::String (correct) + "\n\nIgnore?");
    }

    bool checkRow (const IndexItem& item)
    {
        const auto track = "Track " + juce::String (item.trackNumber);

        int count = 0, total = 0;
        for (const auto* row : rows)
            if (row->trackNumber == item.trackNumber)
            {
                ++count;
                total += row->duration.getTimeInFrames();
            }

        if (count == 1 && item.indexNumber != 1)
            return refuse (track + " has no index point 1.");
        if (count >= 100)
            return refuse (track + " has more than 99 indexes.");
        if (total < 300)
            return refuse (track + " is shorter than 4 seconds.");

        if (item.indexNumber != 1 && item.hasCDText()
            && ! ask (cdTextOnIndex, {}, track + " has CD Text data on an index point other than 1!\n\nIgnore?"))
            return false;

        if (item.duration.getTimeInFrames() == 0
            && ! ask (zeroLength, {}, track + " has an index point with a length of 0 seconds!\n\nIgnore?"))
            return false;

        if (item.isrc.isNotEmpty() && item.trackNumber == previousTrack
            && ! ask (isrcPosition, "Warning!",
                      track + " has an ISRC code on an index point other than the first!\n\nIgnore?\n\n"))
            return false;

        if (item.isrc.isNotEmpty() && ! TextPatterns::isValidIsrc (item.isrc)
            && ! ask (
                isrcFormat, {},
                track
                    + " has an ISRC code with an invalid format. Use CCXXXYYNNNNN, where CC is the 2-character country code (uppercase), XXX is the alphanumeric registrant code (uppercase), YY are the last two digits of the year and NNNNN is a unique 5-digit number\n\nIgnore?"))
            return false;

        if (item.folder.isNotEmpty() && item.fileName.isNotEmpty() && ! juce::File (item.getFullPath()).exists())
            return refuse ("File " + item.getFullPath() + " does not exist.");

        if (! textsAreLatin1 (textsOf (item)))
            return refuse (track + " has non ISO 8859-1 character(s) in CD text.");

        previousTrack = item.trackNumber;
        return true;
    }

    CDItem& disc;
    UserInteraction& ui;
    const std::function<void()>& markCheckDigit;
    juce::Array<const IndexItem*> rows;
    std::array<bool, numQuestions> accepted {};
    int previousTrack = 0;
};
} // namespace

int eanCheckDigit (const juce::String& twelveDigits)
{
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (twelveDigits[i] - '0') * (i % 2 == 0 ? 1 : 3);
    return (10 - sum % 10) % 10;
}

int check (CDItem& disc, UserInteraction& ui, const std::function<void()>& markMcnCheckDigit)
{
    return Check (disc, ui, markMcnCheckDigit).run();
}
} // namespace DiscCheck
