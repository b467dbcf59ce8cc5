#include "editor/TableEditor.h"

#include "app/StoredSettings.h"
#include "app/UserInteraction.h"
#include "disc/TextPatterns.h"
#include "disc/UndoableActions.h"
#include "editor/CustomGrid.h"
#include "editor/CustomGridModel.h"
#include "editor/MainComponent.h"

namespace
{
bool isAudioFileName (const juce::String& fileName)
{
    const auto lower = fileName.toLowerCase();
    for (auto* ending : { ".wav", ".aif", ".aiff", ".aifc", ".flac" })
        if (lower.endsWith (ending))
            return true;
    return false;
}

// A title proposed from a file name: the name up to its first ".".
juce::String titleFromFileName (const juce::String& fileName)
{
    return fileName.upToFirstOccurrenceOf (".", false, false);
}
} // namespace

TableEditor::TableEditor (juce::TableListBox* owningTable, const juce::String& name, const juce::String&,
                          CDItem* discShown)
    : juce::TextEditor (name, 0), table (owningTable),
      model (dynamic_cast<CustomGridModel*> (owningTable != nullptr ? owningTable->getModel() : nullptr)),
      disc (discShown)
{
}

bool TableEditor::perform (juce::UndoableAction* action, const juce::String& name, bool newTransaction)
{
    return model->perform (action, name, newTransaction);
}

//==================================================================================================
void TableEditor::paint (juce::Graphics& g)
{
    juce::TextEditor::paint (g);

    // Read-only cells never show a selection.
    if (isReadOnly() && ! getHighlightedRegion().isEmpty())
        setHighlightedRegion ({});
}

void TableEditor::focusGained (FocusChangeType cause)
{
    juce::TextEditor::focusGained (cause);

    if (isReadOnly() && cause == focusChangedByTabKey)
    {
        moveKeyboardFocusToSibling (true);
        return;
    }

    textAtFocus = getText();
    proposedTitle = {};

    if (isReadOnly() || getText().isNotEmpty())
        return;

    if (column == CustomGridModel::titleColumn && row == 1 && isAudioFileName (item().fileName))
        setText (titleFromFileName (item().fileName), false);

    proposedTitle = getText();
}

void TableEditor::focusLost (FocusChangeType cause)
{
    juce::TextEditor::focusLost (cause);

    if (getText() == textAtFocus || model == nullptr)
        return;

    switch (column)
    {
        case CustomGridModel::durationColumn:
            commitDuration();
            model->renumberItems();
            break;
        case CustomGridModel::isrcColumn:
            commitIsrc();
            break;
        case CustomGridModel::titleColumn:
            commitTitle();
            break;
        case CustomGridModel::performerColumn:
            commitPerformer();
            break;
        default:
            break;
    }

    // Rebuilds the cells from the disc, so a refused text gives way to the stored value.
    table->updateContent();
}

//==================================================================================================
void TableEditor::commitDuration()
{
    auto& ui = UserInteraction::current();

    if (disc->items.isEmpty() || row >= audioRows() - 1)
        return;

    CDDuration length;
    if (! CDDuration::convertString (getText(), length))
    {
        ui.showError ("Invalid time format, use mm:ss:ff or frames.");
        return;
    }
    if (length.getTimeInFrames() < 0)
    {
        ui.showError ("Enter a positive value.");
        return;
    }

    auto& current = item();

    if (current.indexNumber < 1)
    {
        auto changed = current;
        changed.duration = length;

        if (current.fileName.isNotEmpty())
        {
            if (! ui.askYesNo ("Changing the duration of this index will discard the reference to " + current.fileName
                               + ".\n\nContinue?"))
                return;
            changed.fileName = {};
        }

        perform (new IndexItemChangeAction (&current, current, changed, &model->getOwner()), "Change track duration",
                 true);
        return;
    }

    // Index 1 or more: the boundary to the next item of the track moves.
    auto& next = *disc->getItem (row + 1);
    const CDDuration limit = current.duration + next.duration;

    if (length.getTimeInFrames() > limit.getTimeInFrames())
    {
        ui.showError ("Duration must be lower than " + limit.toString() + " or "
                      + juce::String (limit.getTimeInFrames()) + " frames.");
        return;
    }

    const auto delta = length - current.duration;
    auto nextChanged = next;
    nextChanged.duration -= delta;
    nextChanged.fileOffset += delta;
    auto changed = current;
    changed.duration = length;

    perform (new IndexItemChangeAction (&next, next, nextChanged, &model->getOwner()), "Change track duration", true);
    perform (new IndexItemChangeAction (&current, current, changed, &model->getOwner()), {}, false);
}

void TableEditor::commitIsrc()
{
    auto& ui = UserInteraction::current();
    const auto code = getText().removeCharacters ("-").toUpperCase();

    if (code.isNotEmpty() && ! TextPatterns::isValidIsrc (code))
    {
        ui.showError ("Invalid ISRC format, use CCXXXYYNNNNN, where CC is the 2-character country code (uppercase), "
                      "XXX is the alphanumeric registrant code (uppercase), YY are the last two digits of the year and "
                      "NNNNN is a unique 5-digit number.");
        return;
    }

    auto& current = item();
    auto changed = current;
    changed.isrc = code;
    perform (new IndexItemChangeAction (&current, current, changed, &model->getOwner()), "Change ISRC code(s)", true);

    const bool severalTracks = disc->getItem (audioRows() - 1)->trackNumber > 1;
    if (row != 0 || ! severalTracks)
        return;

    if (ui.askYesNo (code.isNotEmpty() ? "Apply incrementing ISRC for all tracks?"
                                       : "Delete ISRC codes for all tracks?"))
        applyIsrcToAllTracks (code);
}

void TableEditor::applyIsrcToAllTracks (const juce::String& code)
{
    const auto stem = code.substring (0, 7);
    auto number = code.isNotEmpty() ? code.substring (7, 12).getIntValue() : 0;

    const auto increment = StoredSettings::getInstance()->getProps().getValue ("incISRC", "1").getIntValue();
    const auto step = increment == 2 ? 10 : increment == 3 ? 100 : 1;

    const auto before = disc->replaceByCopies (disc->items);
    int previousTrack = 0;

    for (int r = 0; r < audioRows(); ++r)
    {
        auto& each = *disc->getItem (r);
        const bool firstOfTrack = each.trackNumber != previousTrack;
        previousTrack = each.trackNumber;

        // Row 0 already holds the typed code, through the change above.
        if (r > 0)
            each.isrc =
                firstOfTrack && stem.isNotEmpty() ? stem + juce::String::formatted ("%05d", number) : juce::String();

        if (firstOfTrack)
            number += step;
        if (number >= 100000)
            number = 0;
    }

    perform (new IndexItemsChangeAction (&disc->items, before, disc->items, &model->getOwner()), {}, false);
}

bool TableEditor::checkCDText (const juce::String& text)
{
    auto& ui = UserInteraction::current();

    if (! TextPatterns::fitsCDTextLength (text))
    {
        ui.showError ("Expression too long, 160 characters allowed.");
        return false;
    }

    if (! TextPatterns::isPrintableLatin1 (text))
    {
        ui.showError ("Only ISO 8859-1 characters accepted.");
        return false;
    }

    return true;
}

bool TableEditor::commitItemText (juce::String IndexItem::*field, const juce::String& text, const char* transaction)
{
    if (! checkCDText (text))
        return false;

    auto& current = item();
    auto changed = current;
    changed.*field = text;
    perform (new IndexItemChangeAction (&current, current, changed, &model->getOwner()), transaction, true);
    return true;
}

void TableEditor::commitTitle()
{
    const auto text = getText();
    if (! commitItemText (&IndexItem::title, text, "Change CD text title data") || row != 1 || audioRows() < 3)
        return;

    const bool clearing = text.isEmpty();
    if (! clearing && text != proposedTitle)
        return;

    if (! UserInteraction::current().askYesNo (clearing ? "Delete titles for all tracks?"
                                                        : "Apply filenames as title for all tracks?"))
        return;

    const auto firstTrack = item().trackNumber;
    const auto before = disc->replaceByCopies (disc->items);

    for (auto* each : disc->items)
        if (each->indexNumber == 1 && each->trackNumber != firstTrack)
        {
            if (clearing)
                each->title = {};
            else if (isAudioFileName (each->fileName))
                each->title = titleFromFileName (each->fileName);
        }

    perform (new IndexItemsChangeAction (&disc->items, before, disc->items, &model->getOwner()), {}, false);
}

void TableEditor::commitPerformer()
{
    const auto text = getText();
    if (! commitItemText (&IndexItem::performer, text, "Change CD text performer data") || row != 1 || audioRows() < 3)
        return;

    if (! UserInteraction::current().askYesNo (text.isNotEmpty() ? "Apply this performer name for all tracks?"
                                                                 : "Delete performers for all tracks?"))
        return;

    const auto before = disc->replaceByCopies (disc->items);
    for (auto* each : disc->items)
        if (each->indexNumber == 1)
            each->performer = text;

    auto& owner = model->getOwner();
    perform (new IndexItemsChangeAction (&disc->items, before, disc->items, &owner), {}, false);
    perform (new DiscCDTextStringChangeAction (&disc->performer, disc->performer, text, &owner), {}, false);
}

//==================================================================================================
bool TableEditor::opensContextMenu() const
{
    return model != nullptr && ! model->getLocked() && model->isFilesMaster();
}

juce::PopupMenu TableEditor::createContextMenu() const
{
    const auto s = table->getSelectedRow (0);
    const bool startsTrackWithoutPause = s > 0 && s < audioRows() && disc->getItem (s)->indexNumber == 1
                                         && disc->getItem (s - 1)->trackNumber != disc->getItem (s)->trackNumber;

    juce::PopupMenu menu;
    menu.addItem (deleteIndexItem, "Delete Index");
    menu.addItem (deleteTrackItem, "Delete Track");
    menu.addItem (addPauseItem, "Add Pause Index", startsTrackWithoutPause);
    return menu;
}

void TableEditor::performMenuItem (int itemId)
{
    const auto s = table->getSelectedRow (0);
    auto& owner = model->getOwner();
    const bool playing = model->isPlaying();
    const bool hasRows = ! disc->items.isEmpty() || ! disc->dataItems.isEmpty();

    if (itemId == deleteIndexItem && s >= 0 && s < audioRows() && ! playing)
        owner.deleteIndex (s);
    else if (itemId == deleteTrackItem && hasRows && s >= 0 && ! playing)
        owner.deleteTrack (s);
    else if (itemId == addPauseItem && hasRows && s >= 0 && ! playing)
        owner.addPause (s, CDDuration (150));
}

//==================================================================================================
void TableEditor::selectWholeTrack()
{
    table->setMultipleSelectionEnabled (true);
    table->selectRow (row, true, true);

    if (row >= audioRows())
    {
        for (int r = audioRows(); r < audioRows() + disc->dataItems.size(); ++r)
            table->selectRow (r, true, false);
        return;
    }

    const auto track = disc->getItem (row)->trackNumber;
    for (int r = row + 1; r < audioRows() && disc->getItem (r)->trackNumber == track; ++r)
        table->selectRow (r, true, false);
    for (int r = row - 1; r >= 0 && disc->getItem (r)->trackNumber == track; --r)
        table->selectRow (r, true, false);
}

void TableEditor::mouseDown (const juce::MouseEvent& e)
{
    if (! isReadOnly())
    {
        juce::TextEditor::mouseDown (e);
        return;
    }

    if (e.mods.isPopupMenu())
    {
        if (opensContextMenu())
            performMenuItem (createContextMenu().show());
        return;
    }

    dragStarted = false;

    if (model != nullptr && model->getLocked())
    {
        if (row < audioRows())
            table->selectRow (row, true, true);
        return;
    }

    selectWholeTrack();
}

void TableEditor::mouseUp (const juce::MouseEvent& e)
{
    if (! isReadOnly())
    {
        juce::TextEditor::mouseUp (e);
        return;
    }

    table->setMultipleSelectionEnabled (false);

    if (! dragStarted && (model == nullptr || ! model->isPlaying()))
        table->selectRow (row, true, true);
}

void TableEditor::mouseDrag (const juce::MouseEvent& e)
{
    if (! isEnabled() || model == nullptr || model->getLocked() || ! e.mouseWasDraggedSinceMouseDown() || dragStarted)
        return;

    const auto rows = table->getSelectedRows();
    if (rows.isEmpty())
        return;

    const auto description = model->getDragSourceDescription (rows);
    if (description.toString().isEmpty())
        return;

    dragStarted = true;

    if (auto* container = juce::DragAndDropContainer::findParentDragContainerFor (this))
    {
        int x = 0, y = 0;
        const auto snapshot = table->createSnapshotOfRows (rows, x, y);
        auto image = snapshot.getImage().createCopy();
        image.multiplyAllAlphas (0.6f);

        const auto offset = juce::Point<int> (x, y) - e.getEventRelativeTo (table).position.toInt();
        container->startDragging (description, table, juce::ScaledImage (image, snapshot.getScale()), true, &offset,
                                  &e.source);
    }
}
