#pragma once

// What shows the disc: the undoable edits refresh it after every change of the model.
class DiscView
{
public:
    virtual ~DiscView() = default;

    // Numbers the items again and refreshes the table and the preview playlist.
    virtual void itemsChanged() = 0;

    // Shows the disc-level texts (title, performer, MCN) from the model.
    virtual void discTextsChanged() = 0;
};
