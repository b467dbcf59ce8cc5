#include "disc/UndoableActions.h"

IndexItemChangeAction::IndexItemChangeAction (IndexItem* targetItem, IndexItem beforeState, IndexItem afterState,
                                              DiscView* view)
    : before (std::move (beforeState)), after (std::move (afterState)), target (targetItem), screen (view)
{
}

bool IndexItemChangeAction::perform()
{
    *target = after;
    if (screen != nullptr)
        screen->itemsChanged();
    return true;
}

bool IndexItemChangeAction::undo()
{
    *target = before;
    if (screen != nullptr)
        screen->itemsChanged();
    return true;
}

//==================================================================================================
IndexItemsChangeAction::IndexItemsChangeAction (juce::Array<IndexItem*>* targetList,
                                                const juce::Array<IndexItem*>& entriesBefore,
                                                const juce::Array<IndexItem*>& entriesAfter, DiscView* view)
    : before (entriesBefore), after (entriesAfter), target (targetList), screen (view)
{
}

void IndexItemsChangeAction::apply (const juce::Array<IndexItem*>& entries)
{
    *target = entries;
    if (screen != nullptr)
    {
        screen->itemsChanged();
        screen->discTextsChanged();
    }
}

bool IndexItemsChangeAction::perform()
{
    apply (after);
    return true;
}

bool IndexItemsChangeAction::undo()
{
    apply (before);
    return true;
}

//==================================================================================================
DiscCDTextStringChangeAction::DiscCDTextStringChangeAction (juce::String* targetText, juce::String beforeText,
                                                            juce::String afterText, DiscView* view)
    : before (std::move (beforeText)), after (std::move (afterText)), target (targetText), screen (view)
{
}

bool DiscCDTextStringChangeAction::perform()
{
    *target = after;
    if (screen != nullptr)
        screen->discTextsChanged();
    return true;
}

bool DiscCDTextStringChangeAction::undo()
{
    *target = before;
    if (screen != nullptr)
        screen->discTextsChanged();
    return true;
}
