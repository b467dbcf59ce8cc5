#pragma once

#include "disc/CDItem.h"

#include <juce_gui_basics/juce_gui_basics.h>

class CustomGridModel;

// Every cell of the track table: a single-line text editor that shows the cell's value and, where
// the table allows it, edits it in place. Leaving a changed cell validates the text and turns it
// into an undoable change of the disc. On read-only cells the mouse selects, drags and opens the
// context menu instead.
class TableEditor : public juce::TextEditor
{
public:
    TableEditor (juce::TableListBox* table, const juce::String& name, const juce::String& unused, CDItem* disc);

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void focusGained (FocusChangeType) override;
    void focusLost (FocusChangeType) override;

    bool perform (juce::UndoableAction* action, const juce::String& name, bool newTransaction);

    void setCell (int newRow, int newColumn)
    {
        row = newRow;
        column = newColumn;
    }
    int getRow() const { return row; }
    int getColumn() const { return column; }

    enum MenuItems
    {
        deleteIndexItem = 1,
        deleteTrackItem = 2,
        addPauseItem = 4
    };

    // Whether a popup-menu click on this cell opens the context menu, and what it holds.
    bool opensContextMenu() const;
    juce::PopupMenu createContextMenu() const;
    void performMenuItem (int itemId);

private:
    void commitDuration();
    void commitIsrc();
    void commitTitle();
    void commitPerformer();
    bool checkCDText (const juce::String& text);
    bool commitItemText (juce::String IndexItem::*field, const juce::String& text, const char* transaction);
    void applyIsrcToAllTracks (const juce::String& code);
    void selectWholeTrack();

    int audioRows() const { return disc->getItemSize(); }
    IndexItem& item() const { return *disc->getItem (row); }

    juce::TableListBox* table;
    CustomGridModel* model;
    CDItem* disc;
    bool dragStarted = false;
    int row = 0;
    int column = 0;
    juce::String textAtFocus;
    juce::String proposedTitle;
};
