#pragma once

#include "disc/CDItem.h"

#include <juce_gui_basics/juce_gui_basics.h>

class CustomGridModel;

// The track table itself, and the target of row drags: whole tracks are moved to another place in
// the running order.
class CustomGrid : public juce::TableListBox, public juce::DragAndDropTarget
{
public:
    CustomGrid (CustomGridModel* model, CDItem* disc);

    void selectedRowsChanged (int lastRowSelected) override;

    bool isInterestedInDragSource (const SourceDetails&) override;
    void itemDragEnter (const SourceDetails&) override {}
    void itemDragMove (const SourceDetails&) override;
    void itemDragExit (const SourceDetails&) override;
    void itemDropped (const SourceDetails&) override;

    bool perform (juce::UndoableAction* action, const juce::String& name, bool newTransaction);

    // The drop marker follows a point of the table, but settles only at track boundaries.
    void moveDropMarkerTo (juce::Point<int> position);

    // Moves the selected tracks to the drop marker, as one undo step.
    void dropSelectedTracks();

private:
    void insertPauseOrIsrc (int row, int pauseLength, const juce::String& isrc);

    CustomGridModel* model;
    CDItem* disc;
};
