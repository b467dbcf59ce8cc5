#include "disc/CDDuration.h"

#include "disc/TextPatterns.h"

#include <limits>

CDDuration::CDDuration (int numFrames) : frames (numFrames) {}

CDDuration::CDDuration (int minutes, int seconds, int numFrames)
    : frames (minutes * framesPerMinute + seconds * framesPerSecond + numFrames)
{
}

CDDuration CDDuration::operator+ (const CDDuration& other) const { return CDDuration (frames + other.frames); }
CDDuration CDDuration::operator- (const CDDuration& other) const { return CDDuration (frames - other.frames); }

CDDuration CDDuration::operator+= (const CDDuration& other)
{
    frames += other.frames;
    return *this;
}

CDDuration CDDuration::operator-= (const CDDuration& other)
{
    frames -= other.frames;
    return *this;
}

int CDDuration::mins() const { return frames / framesPerMinute; }
int CDDuration::secs() const { return (frames % framesPerMinute) / framesPerSecond; }
int CDDuration::frms() const { return frames % framesPerSecond; }

juce::String CDDuration::toString() const { return juce::String::formatted ("%02d:%02d:%02d", mins(), secs(), frms()); }

namespace
{
// A digit-only text whose value fits a signed 32-bit count.
bool parseFrameCount (const juce::String& text, int& result)
{
    long long value = 0;

    for (auto c : text)
    {
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int>::max())
            return false;
    }

    result = (int) value;
    return true;
}
} // namespace

bool CDDuration::convertString (juce::String text, CDDuration& out)
{
    out = CDDuration();

    if (TextPatterns::matchesWhole (text, L"^[0-9]*$"))
    {
        int count = 0;
        if (! parseFrameCount (text, count))
            return false;

        out = CDDuration (count);
        return true;
    }

    if (TextPatterns::matchesWhole (text, L"^[0-9][0-9]:[0-5][0-9]:[0-7][0-9]$"))
    {
        out = CDDuration (text.substring (0, 2).getIntValue(), text.substring (3, 5).getIntValue(),
                          text.substring (6, 8).getIntValue());
        return true;
    }

    return false;
}
