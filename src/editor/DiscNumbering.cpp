#include "editor/DiscNumbering.h"

namespace DiscNumbering
{
namespace
{
// Gives the item the track and index number its place asks for; t is the current track and p the
// index number of the item before it.
void numberItem (IndexItem& item, bool isFirst, int& t, int& p)
{
    const auto n = item.trackNumber;
    const auto d = item.indexNumber;

    if (n < t)
    {
        if (d == p)
        {
            item.trackNumber = ++t;
        }
        else if (d > p)
        {
            item.trackNumber = t;
            item.indexNumber = ++p;
        }
        else
        {
            item.trackNumber = ++t;
            item.indexNumber = p = 0;
        }
        return;
    }

    if (n == t)
    {
        if (d == p && ! isFirst)
        {
            item.trackNumber = ++t;
        }
        else if (d > p + 1)
        {
            item.indexNumber = ++p;
        }
        else if (d >= p)
        {
            p = d;
        }
        else
        {
            item.trackNumber = ++t;
            item.indexNumber = p = 0;
        }
        return;
    }

    if (d > p)
    {
        item.trackNumber = t;
        p = d;
    }
    else
    {
        item.trackNumber = ++t;
        p = d;
    }
}
} // namespace

CDDuration renumber (CDItem& disc)
{
    disc.audioLeadOut->startTime = disc.dataLeadOut->startTime = disc.discEnd->startTime = CDDuration();

    if (! disc.items.isEmpty())
    {
        int t = 1, p = 0;
        auto running = disc.pregapItem->duration;

        for (int j = 0; j < disc.items.size(); ++j)
        {
            auto& item = *disc.items[j];
            numberItem (item, j == 0, t, p);
            item.startTime = running;
            running = CDDuration (item.getEndFrame());
        }

        disc.audioLeadOut->startTime = running + CDDuration (disc.lastItemPadded() ? 1 : 0);
        disc.discEnd->startTime = disc.audioLeadOut->startTime + disc.audioLeadOut->duration;
    }

    if (! disc.dataItems.isEmpty())
    {
        disc.dataLeadIn->startTime = disc.discEnd->startTime;
        auto running = disc.dataLeadIn->startTime + disc.dataLeadIn->duration;
        const auto dataTrack = disc.getItem (disc.getItemSize() - 1)->trackNumber + 1;

        for (auto* item : disc.dataItems)
        {
            item->startTime = running;
            item->trackNumber = dataTrack;
            running = CDDuration (item->getEndFrame());
        }

        const auto& last = *disc.dataItems.getLast();
        disc.dataLeadOut->startTime = last.startTime + last.duration;
        disc.discEnd->startTime = disc.dataLeadOut->startTime + disc.dataLeadOut->duration;
    }

    return disc.discEnd->startTime;
}
} // namespace DiscNumbering
