#pragma once

#include "disc/CDItem.h"

// The one place where track and index numbers and every item's start time are assigned. The user
// may put items in any order; numbering restores a valid sequence without reordering them.
namespace DiscNumbering
{
// Numbers the disc and returns its running time (the start of the disc end marker).
CDDuration renumber (CDItem& disc);
} // namespace DiscNumbering
