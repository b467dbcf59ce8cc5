#include "editor/CustomGridModel.h"

#include "editor/CustomGrid.h"
#include "editor/DiscNumbering.h"
#include "editor/MainComponent.h"
#include "editor/TableEditor.h"

namespace
{
constexpr int highlightColourId = juce::PopupMenu::highlightedBackgroundColourId;
constexpr int highlightedTextColourId = juce::PopupMenu::highlightedTextColourId;

void paintSelectedRow (juce::Graphics& g, juce::Colour highlight, int width, int height)
{
    g.setGradientFill (
        juce::ColourGradient::vertical (highlight.brighter (1.0f), 1.0f, highlight, 1.0f + (float) height));
    g.fillRect (1, 1, width - 2, height - 2);
    g.setColour (highlight.brighter (0.5f));
    g.fillRect (1, 1, width - 2, 1);
}
} // namespace

CustomGridModel::CustomGridModel (MainComponent* mainScreen, CDItem* discShown) : owner (mainScreen), disc (discShown)
{
    grid = std::make_unique<CustomGrid> (this, disc);
    addAndMakeVisible (*grid);

    auto& header = grid->getHeader();
    const auto columnFlags = juce::TableHeaderComponent::visible | juce::TableHeaderComponent::resizable
                             | juce::TableHeaderComponent::draggable | juce::TableHeaderComponent::appearsOnColumnMenu;

    const auto addColumn = [&] (const char* title, int id, int width)
    { header.addColumn (title, id, width, 50, 400, columnFlags); };
    addColumn ("Track", trackColumn, 45);
    addColumn ("Duration", durationColumn, 65);
    if (isFilesMaster())
        addColumn ("File Name", fileNameColumn, 104);
    addColumn ("ISRC", isrcColumn, 104);
    addColumn ("Song Title", titleColumn, 104);
    addColumn ("Performer", performerColumn, 104);
}

CustomGridModel::~CustomGridModel() { grid.reset(); }

int CustomGridModel::getNumRows()
{
    const auto n = disc->getItemSize();
    return n >= 2 ? n + disc->dataItems.size() : 0;
}

void CustomGridModel::paintRowBackground (juce::Graphics& g, int row, int width, int height, bool selected)
{
    const auto n = disc->getItemSize();
    const auto highlight = findColour (highlightColourId);

    if (row < n)
    {
        if (disc->items.isEmpty() && disc->dataItems.isEmpty())
            return;

        if (selected)
            paintSelectedRow (g, highlight, width, height);
        else
            g.fillAll (juce::Colour (0xffcccccc));

        g.setColour (juce::Colours::red);
        if (dropRow == row)
            g.fillRect (0, 0, width, 2);
        else if (row + 1 == n && dropRow == n)
            g.fillRect (0, height - 2, width, 2);
        return;
    }

    if (disc->dataItems.isEmpty())
        return;

    if (selected)
        paintSelectedRow (g, highlight, width, height);
    else
        g.fillAll (juce::Colour (0xffeeffee));
}

//==================================================================================================
CustomGridModel::CellContent CustomGridModel::getCellContent (int row, int column) const
{
    const auto n = disc->getItemSize();
    const bool isDataRow = row >= n;

    if (isDataRow ? row - n >= disc->dataItems.size() : disc->items.isEmpty())
        return {};

    const auto& item = isDataRow ? *disc->dataItems[row - n] : *disc->getItem (row);
    const bool firstOfTrack =
        isDataRow ? row == n : row == 0 || item.trackNumber != disc->getItem (row - 1)->trackNumber;

    // Where a text is empty, the tooltip of an audio row tells what belongs in the cell.
    const auto textOrHint = [isDataRow] (const juce::String& text, const char* hint)
    { return text.isNotEmpty() || isDataRow ? text : juce::String (hint); };

    CellContent cell;
    switch (column)
    {
        case trackColumn:
            cell.text = firstOfTrack ? juce::String (item.trackNumber) : juce::String();
            cell.tooltip = cell.text.isNotEmpty() ? "Track " + cell.text : juce::String();
            break;
        case durationColumn:
            cell.text = item.duration.toString();
            cell.tooltip = cell.text + " (" + juce::String (item.duration.getTimeInFrames()) + " frames)";
            break;
        case fileNameColumn:
            cell.text = cell.tooltip = item.fileName;
            break;
        case isrcColumn:
            cell.text = item.isrc;
            cell.tooltip = textOrHint (cell.text, "ISRC code of the track (must be on the first index of a track)");
            break;
        case titleColumn:
            cell.text = item.title;
            cell.tooltip = textOrHint (cell.text, "CD Text track title (must be on index 1 of a track)");
            break;
        case performerColumn:
            cell.text = item.performer;
            cell.tooltip = textOrHint (cell.text, "CD Text track performer (must be on index 1 of a track)");
            break;
        default:
            break;
    }

    cell.editable = ! isDataRow && isEditable (row, column);
    return cell;
}

bool CustomGridModel::isEditable (int row, int column) const
{
    if (getLocked() || row >= disc->getItemSize())
        return false;

    if (row == 0)
        return column == isrcColumn;

    const auto& item = *disc->getItem (row);
    const auto* previous = disc->getItem (row - 1);
    const auto* next = disc->getNextItem (row);

    switch (column)
    {
        case durationColumn:
            return next != nullptr && next->trackNumber == item.trackNumber;
        case isrcColumn:
            return previous->trackNumber != item.trackNumber || item.isrc.isNotEmpty();
        case titleColumn:
            return item.indexNumber == 1 || item.title.isNotEmpty();
        case performerColumn:
            return item.indexNumber == 1 || item.performer.isNotEmpty();
        default:
            return false;
    }
}

void CustomGridModel::present (TableEditor& cell, int row, int column, bool selected)
{
    const auto content = getCellContent (row, column);
    const bool locked = getLocked();
    const bool readOnly = ! content.editable;
    const auto highlight = findColour (highlightColourId);

    if (readOnly || locked)
    {
        for (auto id : { juce::TextEditor::backgroundColourId, juce::TextEditor::outlineColourId,
                         juce::TextEditor::shadowColourId })
            cell.setColour (id, juce::Colours::transparentBlack);
    }
    else
    {
        cell.setColour (juce::TextEditor::backgroundColourId, juce::Colours::white);
        cell.setColour (juce::TextEditor::outlineColourId, selected ? highlight : juce::Colours::lightblue);
        cell.setColour (juce::TextEditor::shadowColourId, selected ? highlight : juce::Colours::lightblue);
    }

    cell.setColour (juce::TextEditor::textColourId, selected && (readOnly || locked)
                                                        ? findColour (highlightedTextColourId)
                                                        : findColour (juce::TextEditor::textColourId));

    cell.clear();
    cell.setText (content.text, false);

    if (locked)
        cell.setTooltip (content.tooltip);
    else
        cell.setTooltip (readOnly ? "Rightclick (or cmd click) for menu" : juce::String());

    cell.setCell (row, column);
    cell.setReadOnly (readOnly);
    cell.setCaretPosition (0);

    if (locked || ! isFilesMaster())
        cell.setMouseCursor (juce::MouseCursor::NormalCursor);
    else
        cell.setMouseCursor (readOnly ? juce::MouseCursor::DraggingHandCursor : juce::MouseCursor::IBeamCursor);
}

juce::Component* CustomGridModel::refreshComponentForCell (int row, int column, bool selected,
                                                           juce::Component* existing)
{
    auto* cell = dynamic_cast<TableEditor*> (existing);
    if (cell == nullptr)
    {
        delete existing;
        cell = new TableEditor (grid.get(), {}, {}, disc);
        cell->setCaretVisible (true);
        cell->setTabKeyUsedAsCharacter (false);
        cell->setFont (juce::Font (14.0f, juce::Font::plain));
        cell->addListener (this);
    }

    present (*cell, row, column, selected);
    return cell;
}

juce::var CustomGridModel::getDragSourceDescription (const juce::SparseSet<int>& rows)
{
    juce::String description;
    for (int i = 0; i < rows.size(); ++i)
        description << (rows[i] + 1) << " ";
    return description.trim();
}

void CustomGridModel::resized() { grid->setBounds (getLocalBounds().reduced (2)); }

void CustomGridModel::textEditorReturnKeyPressed (juce::TextEditor&) { owner->grabKeyboardFocus(); }

//==================================================================================================
void CustomGridModel::renumberItems() { owner->setTotalLength (DiscNumbering::renumber (*disc)); }

void CustomGridModel::updateContent() { grid->updateContent(); }

int CustomGridModel::getNumSelectedRows() const { return grid->getNumSelectedRows(); }

int CustomGridModel::getSelectedRow (int index) const { return grid->getSelectedRow (index); }

void CustomGridModel::selectRow (int row, bool dontScroll, bool deselectOthersFirst)
{
    grid->selectRow (row, dontScroll, deselectOthersFirst);
}

bool CustomGridModel::getLocked() const { return owner->projectLocked || isPlaying(); }

bool CustomGridModel::isPlaying() const { return owner->getTransport().isPlaying(); }

bool CustomGridModel::isFilesMaster() const { return owner->masterType == 0; }

bool CustomGridModel::perform (juce::UndoableAction* action, const juce::String& name, bool newTransaction)
{
    return owner->perform (action, name, newTransaction);
}
