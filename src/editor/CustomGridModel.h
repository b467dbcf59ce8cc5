#pragma once

#include "disc/CDItem.h"

#include <juce_gui_basics/juce_gui_basics.h>

class CustomGrid;
class MainComponent;

// The track table's model and the component that holds the table: one row per index item, the audio
// items first, then the items of the data session. Every cell is an in-cell editor.
class CustomGridModel : public juce::TableListBoxModel, public juce::Component, public juce::TextEditor::Listener
{
public:
    enum ColumnIds
    {
        trackColumn = 1,
        durationColumn = 5,
        fileNameColumn = 6,
        isrcColumn = 7,
        titleColumn = 8,
        performerColumn = 9
    };

    CustomGridModel (MainComponent* owner, CDItem* disc);
    ~CustomGridModel() override;

    int getNumRows() override;
    void paintRowBackground (juce::Graphics&, int row, int width, int height, bool selected) override;
    void paintCell (juce::Graphics&, int, int, int, int, bool) override {}
    juce::Component* refreshComponentForCell (int row, int column, bool selected, juce::Component* existing) override;
    juce::var getDragSourceDescription (const juce::SparseSet<int>& rows) override;

    void resized() override;

    void textEditorReturnKeyPressed (juce::TextEditor&) override;

    // Numbers the disc and hands the running time to the main screen; does not refresh the table.
    void renumberItems();
    void updateContent();

    int getNumSelectedRows() const;
    int getSelectedRow (int index = 0) const;
    void selectRow (int row, bool dontScroll, bool deselectOthersFirst);

    bool getLocked() const; // the project is locked or the preview plays
    bool isPlaying() const;
    bool isFilesMaster() const;

    bool perform (juce::UndoableAction* action, const juce::String& name, bool newTransaction);

    CustomGrid& getGrid() { return *grid; }
    MainComponent& getOwner() { return *owner; }
    CDItem& getDisc() { return *disc; }

    int getDropRow() const { return dropRow; }
    void setDropRow (int row) { dropRow = row; }

    // What a cell shows, and whether the user may edit it.
    struct CellContent
    {
        juce::String text, tooltip;
        bool editable = false;
    };
    CellContent getCellContent (int row, int column) const;

private:
    bool isEditable (int row, int column) const;
    void present (class TableEditor& cell, int row, int column, bool selected);

    MainComponent* owner;
    CDItem* disc;
    std::unique_ptr<CustomGrid> grid;
    int dropRow = -1;

    JUCE_DECLARE_NON_COPYABLE (CustomGridModel)
};
