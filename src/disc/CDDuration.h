#pragma once

#include <juce_core/juce_core.h>

// A CD time or length as a signed count of frames, 75 per second. Neither normalised nor
// limited: a difference of two times may be negative.
class CDDuration
{
public:
    static constexpr int framesPerSecond = 75;
    static constexpr int framesPerMinute = 4500;
    static constexpr int samplesPerFrame = 588;

    CDDuration() = default;
    CDDuration (int frames);
    CDDuration (int mins, int secs, int frms);
    virtual ~CDDuration() = default;

    CDDuration (const CDDuration&) = default;
    CDDuration& operator= (const CDDuration&) = default;

    CDDuration operator+ (const CDDuration& other) const;
    CDDuration operator- (const CDDuration& other) const;
    CDDuration operator+= (const CDDuration& other);
    CDDuration operator-= (const CDDuration& other);

    bool operator== (const CDDuration& other) const { return frames == other.frames; }
    bool operator!= (const CDDuration& other) const { return frames != other.frames; }

    int mins() const;
    int secs() const;
    int frms() const;
    int getTimeInFrames() const { return frames; }

    // "mm:ss:ff"
    juce::String toString() const;

    // Accepts a plain count of frames or exactly "mm:ss:ff"; anything else (and a count beyond the
    // range of the value) is refused with out set to 0 frames.
    static bool convertString (juce::String text, CDDuration& out);

private:
    int frames = 0;
};
