#pragma once

#include "disc/CDItem.h"
#include "disc/DiscView.h"

#include <juce_data_structures/juce_data_structures.h>

// The changes of the disc that the undo history carries. Each swaps a stored "before" and "after"
// state into the live model and refreshes what shows it. Performing sets the after state whether
// or not the edit is already in the model.

// The fields of one item (a list entry, the pregap item or a marker).
class IndexItemChangeAction : public juce::UndoableAction
{
public:
    IndexItemChangeAction (IndexItem* target, IndexItem before, IndexItem after, DiscView* screen);

    bool perform() override;
    bool undo() override;

private:
    IndexItem before, after;
    IndexItem* target;
    DiscView* screen;
};

// A whole item list. The arrays hold pointers shared with the list and other actions: the editing
// code replaces a list by fresh copies before it changes anything, so the items of "before" are
// never altered.
class IndexItemsChangeAction : public juce::UndoableAction
{
public:
    IndexItemsChangeAction (juce::Array<IndexItem*>* target, const juce::Array<IndexItem*>& before,
                            const juce::Array<IndexItem*>& after, DiscView* screen);

    bool perform() override;
    bool undo() override;

private:
    void apply (const juce::Array<IndexItem*>& entries);

    juce::Array<IndexItem*> before, after;
    juce::Array<IndexItem*>* target;
    DiscView* screen;
};

// One disc-level text: title, performer or MCN.
class DiscCDTextStringChangeAction : public juce::UndoableAction
{
public:
    DiscCDTextStringChangeAction (juce::String* target, juce::String before, juce::String after, DiscView* screen);

    bool perform() override;
    bool undo() override;

private:
    juce::String before, after;
    juce::String* target;
    DiscView* screen;
};
