#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <atomic>

// One stretch of a source on the joined timeline: samples [startSample, endSample) of `source`.
struct posSource
{
    juce::PositionableAudioSource* source = nullptr;
    juce::int64 startSample = 0;
    juce::int64 endSample = 0;
};

// Plays a list of positioned sources back to back as one gapless stream, switching from one record to the next
// at the exact sample where the previous one ends, also in the middle of an audio block. Positions are counted
// on the joined timeline.
//
// The audio callback (getNextAudioBlock, prepareToPlay, releaseResources) may run on the audio thread; every other
// operation belongs to the message thread and takes the callback lock for its few steps, so seeking, position
// queries and deleting the records are safe while the device runs. Each record reads ahead on the caller's
// TimeSliceThread, which must outlive the records.
class MultipleAudioTransportSource : public juce::AudioTransportSource
{
public:
    MultipleAudioTransportSource();
    ~MultipleAudioTransportSource() override;

    // Appends a record and takes ownership of it and of the source chain it points into. The source reads ahead by
    // readAheadSamples on `thread` (no read-ahead when 0 or without a thread). sourceRate becomes the rate of every
    // record; when it differs from the output rate, the joined records are resampled as one stream. A record
    // without a source takes no time on the timeline. Ends playback.
    void addSource (posSource* record, int readAheadSamples, juce::TimeSliceThread* thread, double sourceRate,
                    double recordGain);

    // Destroys every record and its chain; the transport is empty afterwards.
    void deleteSources();

    // The single-source machinery of the base class is not used: does nothing.
    void setSource (juce::PositionableAudioSource*, int = 0, juce::TimeSliceThread* = nullptr, double = 0.0, int = 2);

    // Starts at the current position (fading in); does nothing when empty or already playing.
    void start();

    // Stops (the next block fades out) and waits up to about one second for the audio callback to acknowledge.
    void stop();

    bool isPlaying() const noexcept { return playing; }
    bool hasStreamFinished() const noexcept { return inputStreamEOF; }

    // Position on the joined timeline in seconds; a position outside the timeline is ignored.
    void setPosition (double seconds);
    double getCurrentPosition() const;
    double getLengthInSeconds() const;

    // True when every read-ahead buffer that the next numSamples of the timeline (counted at the records' rate) come
    // from holds its data, waiting up to timeoutMs for each. Blocks the audio callback while it waits: meant for
    // offline rendering and for checking for underruns from the thread that renders.
    bool waitForReadAhead (int numSamples, int timeoutMs);

    void prepareToPlay (int samplesPerBlockExpected, double newSampleRate) override;
    void releaseResources() override;
    void getNextAudioBlock (const juce::AudioSourceChannelInfo& info) override;
    void setNextReadPosition (juce::int64 newPosition) override;
    juce::int64 getNextReadPosition() const override;
    juce::int64 getTotalLength() const override;
    bool isLooping() const override;

    // Playback is requested.
    std::atomic<bool> playing { false };

private:
    // The joined records at their own rate, for the resampler that converts them to the output rate.
    class JoinedRecords : public juce::AudioSource
    {
    public:
        explicit JoinedRecords (MultipleAudioTransportSource& owner) : transport (owner) {}

        void prepareToPlay (int, double) override {}
        void releaseResources() override {}
        void getNextAudioBlock (const juce::AudioSourceChannelInfo& info) override;

        bool ranOut = false;

    private:
        MultipleAudioTransportSource& transport;
    };

    // Not owning: deleting a chain's top deletes the whole chain.
    juce::Array<juce::BufferingAudioSource*> bufferers;
    juce::OwnedArray<juce::AudioSource> masterSources;
    juce::OwnedArray<posSource> sources;
    juce::Array<double> gains;
    juce::Array<double> lastGains;

    juce::CriticalSection callbackLock;
    std::atomic<bool> stopped { true };
    bool wasPlaying = false;
    double sampleRate = 44100.0;
    double sourceSampleRate = 0.0;
    int blockSize = 128;
    bool isPrepared = false;
    std::atomic<bool> inputStreamEOF { false };
    int currentSource = 0;

    JoinedRecords joinedRecords { *this };
    juce::ResamplingAudioSource outputResampler { &joinedRecords, false, 2 };
    bool resampleOutput = false;

    static juce::int64 lengthOf (const posSource& record);
    bool hasChain (int index) const;
    int nextPlayableRecord (int index) const;
    juce::int64 offsetOf (int index) const;
    juce::int64 timelineLength() const;
    double outputPerSourceSample() const;
    void rewindOtherRecords (int keep);
    void configureOutputResampler();

    bool renderTimeline (const juce::AudioSourceChannelInfo& info);
    void renderPiece (int index, const juce::AudioSourceChannelInfo& info, int offset, int numSamples);
    void applyFades (const juce::AudioSourceChannelInfo& info);
    bool isReadAheadReady (int index, int numSamples, int timeoutMs) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MultipleAudioTransportSource)
};
