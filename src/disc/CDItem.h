#pragma once

#include "app/UserInteraction.h"
#include "disc/IndexItem.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_cryptography/juce_cryptography.h>

#include <deque>
#include <memory>

class RawAudioFormat;

// The disc being mastered: row 0 is the fixed pregap item of track 1, rows 1 to n the list of
// items, plus the items of an optional data session, five markers, the disc CD-Text, genre and
// language codes and the MCN. It is also the job that exports the disc as a DDP image.
class CDItem : public BackgroundJob
{
public:
    CDItem();
    ~CDItem() override;

    // Disc-level CD-Text.
    juce::String title, performer, songwriter, composer, arranger, message;
    juce::String identification;
    int genreCode = 0;
    int languageCode = 0;
    juce::String mcn;

    IndexItem* pregapItem = nullptr;
    juce::Array<IndexItem*> items;

    // Markers: only startTime and duration are used.
    IndexItem* leadIn = nullptr;
    IndexItem* audioLeadOut = nullptr;
    IndexItem* dataLeadIn = nullptr;
    IndexItem* dataLeadOut = nullptr;
    IndexItem* discEnd = nullptr;

    juce::Array<IndexItem*> dataItems;

    // The pending DDP export.
    juce::String ddpFolder;
    bool writeCDText = false;
    bool exportSucceeded = false;
    int pendingJob = 0;
    juce::BlowFish* cipher = nullptr;

    juce::AudioFormatManager formatManager;
    RawAudioFormat* rawFormat = nullptr;

    //==============================================================================================
    // Rows: row 0 is pregapItem, row k (1..n) is items[k - 1].
    int getItemSize() const;
    IndexItem* getItem (int row) const;
    IndexItem* getPreviousItem (int row) const;
    IndexItem* getNextItem (int row) const;
    void setItem (int row, IndexItem* item);
    IndexItem* removeItem (int row);
    void insertItem (int row, IndexItem* item);
    // Inserts a new index-0 item of that track and length.
    void insertPause (int row, int trackNumber, int frames, const juce::String& isrc = {});
    bool lastItemPadded() const;

    // The ISRC of a track: that of its first item in list order (the pregap item for track 1).
    juce::String getISRC (int trackNumber) const;

    // Whether the disc has CD-Text to write: any disc text, a genre, or any track text.
    bool hasCDText() const;

    // Adds the items of an audio file at row and moves row past them; the same variable passed for
    // every file of a batch makes the files follow one another. A file that cannot be used is
    // reported and adds nothing.
    void addAudioFile (juce::File file, int& row);

    //==============================================================================================
    // CD-Text pack files (CDTEXT.BIN): one block in ISO 8859-1.
    static constexpr int maximumCDTextPacks = 256;

    // Writes the disc's CD-Text. False (and no file written or deleted) when items is empty, when
    // the texts need more packs than one block holds, or when the file cannot be written.
    bool exportCDText (juce::String path);

    // Reads a pack file into the disc's texts, genre and language; reports every problem through
    // the user interaction. False after an error.
    bool importCDText (juce::String path);

    // The packs a pack file of the disc would hold, the three size-information packs included.
    int getCDTextPackCount() const;

    // How many characters the texts must lose to fit one block; 0 when they fit. Twelve for every
    // pack beyond the limit: that many taken from one kind of text (say the titles) always make
    // the texts fit, spread over several kinds they may not.
    int getCDTextExcessCharacters() const;

    static juce::String getGenreText (int code);
    static juce::String getLanguageText (int code);

    //==============================================================================================
    // Every item the disc hands out lives as long as the disc, so that undo records may keep
    // pointers to items that have left the lists.
    IndexItem* createItem (const IndexItem& prototype = {});

    // Replaces a list by fresh copies of its entries and returns the entries it held before, which
    // stay untouched for undo.
    juce::Array<IndexItem*> replaceByCopies (juce::Array<IndexItem*>& list);

    // Empties the disc for a new project: texts, codes and lists cleared, language English, a new
    // pregap item and new markers.
    void reset();

    //==============================================================================================
    // DDP images. The export runs as this disc's job behind a modal progress window; true only when
    // the whole file set was written.
    bool exportDDP (juce::String folder, bool writeCDText, juce::BlowFish* cipher);

    // Reads a DDP image folder into the (emptied) disc; reports every problem through the user
    // interaction. False after an error.
    bool importDDP (juce::File folder, juce::BlowFish* cipher);

    void runJob (JobProgress& progress) override;

private:
    void createFixedItems();

    std::deque<std::unique_ptr<IndexItem>> itemStore;

    JUCE_DECLARE_NON_COPYABLE (CDItem)
};
