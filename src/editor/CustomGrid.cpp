#include "editor/CustomGrid.h"

#include "app/StoredSettings.h"
#include "disc/UndoableActions.h"
#include "editor/CustomGridModel.h"
#include "editor/MainComponent.h"

CustomGrid::CustomGrid (CustomGridModel* gridModel, CDItem* discShown)
    : juce::TableListBox ({}, gridModel), model (gridModel), disc (discShown)
{
}

bool CustomGrid::perform (juce::UndoableAction* action, const juce::String& name, bool newTransaction)
{
    return model->perform (action, name, newTransaction);
}

void CustomGrid::selectedRowsChanged (int row)
{
    if (row < 0 || row >= disc->getItemSize())
        return;

    auto& owner = model->getOwner();
    if (! owner.updatePositionNeeded())
        return;

    if (model->isPlaying())
        owner.setPosition (-1.0);
    else
        owner.setPosition (disc->getItem (row)->startTime.getTimeInFrames() / 75.0);
}

//==================================================================================================
bool CustomGrid::isInterestedInDragSource (const SourceDetails&)
{
    const auto first = getSelectedRow (0);
    return first >= 0 && first < disc->getItemSize() && model->isFilesMaster() && ! model->getLocked();
}

void CustomGrid::moveDropMarkerTo (juce::Point<int> position)
{
    const auto n = disc->getItemSize();
    const auto i = getInsertionIndexForPosition (position.x, position.y);
    const bool atTrackBoundary =
        i < 1 || i >= n || disc->getItem (i)->trackNumber != disc->getItem (i - 1)->trackNumber;

    if (atTrackBoundary && i != model->getDropRow())
    {
        model->setDropRow (i);
        repaint();
    }
}

void CustomGrid::itemDragMove (const SourceDetails& details)
{
    moveDropMarkerTo (details.localPosition);

    if (auto* scroller = getViewport())
    {
        const auto inViewport = scroller->getLocalPoint (this, details.localPosition);
        scroller->autoScroll (inViewport.x, inViewport.y, 10, 10);
    }
}

void CustomGrid::itemDragExit (const SourceDetails&)
{
    model->setDropRow (-1);
    repaint();
}

void CustomGrid::itemDropped (const SourceDetails&) { dropSelectedTracks(); }

//==================================================================================================
void CustomGrid::insertPauseOrIsrc (int row, int pauseLength, const juce::String& isrc)
{
    // A track that leaves or reaches the top takes over a pause of its own, carrying the ISRC that
    // track 1 keeps on the pregap item; without a pause its first item takes the ISRC.
    auto* item = disc->getItem (row);
    if (item != nullptr && item->indexNumber != 0 && pauseLength != 0)
    {
        disc->insertPause (row, item->trackNumber, pauseLength, isrc);
    }
    else if (item != nullptr)
    {
        item->isrc = isrc;
    }
}

void CustomGrid::dropSelectedTracks()
{
    auto& owner = model->getOwner();
    owner.grabKeyboardFocus(); // a cell being edited commits its text first

    const auto s = getSelectedRow (0);
    const auto k = getNumSelectedRows();
    const auto dropRow = model->getDropRow();

    if (s == dropRow || dropRow == -1)
    {
        model->setDropRow (-1);
        repaint();
        return;
    }

    const auto n = disc->getItemSize();
    const auto src = s == 0 ? 1 : s;
    const auto count = s == 0 ? k - 1 : k;
    const auto dst = juce::jmin (dropRow == 0 ? 1 : dropRow, n);

    auto keptPregap = *disc->pregapItem;
    const auto before = disc->replaceByCopies (disc->items);

    if (src > dst)
    {
        for (int j = 0; j < count; ++j)
            disc->insertItem (dst + j, disc->removeItem (src + j));
    }
    else
    {
        for (int j = 0; j < count; ++j)
            disc->insertItem (dst - 1, disc->removeItem (src));
    }

    const auto pause = StoredSettings::getInstance()->getProps().getValue ("defaultpause", "150").getIntValue();

    if (src == 1)
        insertPauseOrIsrc (dst - count, pause, disc->pregapItem->isrc);
    if (dst == 1)
        insertPauseOrIsrc (count + 1, pause, disc->pregapItem->isrc);

    if (auto* first = disc->getItem (1); first != nullptr && first->isrc.isNotEmpty())
    {
        keptPregap.isrc = first->isrc;
        first->isrc = {};
    }

    if (auto* first = disc->getItem (1); first != nullptr && first->indexNumber == 0)
    {
        // The new first track brought a pause of its own: the pregap item is track 1's pause.
        if (first->duration.getTimeInFrames() > 150 && first->fileName.isNotEmpty())
        {
            first->fileOffset += CDDuration (150);
            first->duration -= CDDuration (150);
            first->trackNumber = 1;
        }
        else
        {
            disc->removeItem (1);
        }
    }

    model->renumberItems();
    updateContent();
    model->setDropRow (-1);
    selectRow (src > dst ? dst : dst - 1, false, true);

    perform (new IndexItemChangeAction (disc->pregapItem, *disc->pregapItem, keptPregap, &owner), "Drop tracks", true);
    perform (new IndexItemsChangeAction (&disc->items, before, disc->items, &owner), {}, false);
    repaint();
}
