#include "playback/MultipleAudioTransportSource.h"

namespace
{
constexpr int fadeSamples = 256;
constexpr int chainChannels = 2;
constexpr int stopPolls = 500;
constexpr int stopPollMs = 2;
} // namespace

MultipleAudioTransportSource::MultipleAudioTransportSource() = default;

MultipleAudioTransportSource::~MultipleAudioTransportSource() { releaseResources(); }

//==============================================================================
void MultipleAudioTransportSource::addSource (posSource* record, int readAheadSamples, juce::TimeSliceThread* thread,
                                              double sourceRate, double recordGain)
{
    if (record == nullptr)
        return;

    std::unique_ptr<posSource> owned (record);
    bool prepared = false;
    int preparedBlockSize = 0;
    double outputRate = 0.0;

    {
        const juce::ScopedLock sl (callbackLock);
        sourceSampleRate = sourceRate;
        prepared = isPrepared;
        preparedBlockSize = blockSize;
        outputRate = sampleRate;
    }

    juce::BufferingAudioSource* bufferer = nullptr;
    juce::AudioSource* top = nullptr;

    if (record->source != nullptr)
    {
        if (readAheadSamples > 0 && thread != nullptr)
        {
            bufferer = new juce::BufferingAudioSource (record->source, *thread, true, readAheadSamples, chainChannels);
            record->source = bufferer;
        }

        record->source->setNextReadPosition (record->startSample);
        top = record->source;

        // Preparing a read-ahead wrapper pauses for a moment: keep it outside the lock.
        if (prepared)
            top->prepareToPlay (preparedBlockSize, outputRate);
    }

    const juce::ScopedLock sl (callbackLock);
    bufferers.add (bufferer);
    masterSources.add (top);
    sources.add (owned.release());
    gains.add (recordGain);
    lastGains.add (1.0);
    playing = false;

    if (isPrepared)
    {
        // The device started while the chain was being built.
        if (top != nullptr && ! prepared)
            top->prepareToPlay (blockSize, sampleRate);

        configureOutputResampler();
    }
}

void MultipleAudioTransportSource::deleteSources()
{
    juce::OwnedArray<juce::AudioSource> detachedChains;
    juce::OwnedArray<posSource> detachedRecords;

    {
        const juce::ScopedLock sl (callbackLock);
        detachedChains.swapWith (masterSources);
        detachedRecords.swapWith (sources);
        bufferers.clear();
        gains.clear();
        lastGains.clear();
        currentSource = 0;
        outputResampler.flushBuffers();
    }

    // The callback can no longer reach the detached chains; destroying them waits for the read-ahead thread, which
    // the audio thread need not do.
    for (auto* chain : detachedChains)
        if (chain != nullptr)
            chain->releaseResources();
}

void MultipleAudioTransportSource::setSource (juce::PositionableAudioSource*, int, juce::TimeSliceThread*, double, int)
{
}

//==============================================================================
void MultipleAudioTransportSource::start()
{
    {
        const juce::ScopedLock sl (callbackLock);

        if (playing || ! hasChain (currentSource))
            return;

        // Every read-ahead buffer fills from where its record will begin, so the seams need no file access.
        rewindOtherRecords (currentSource);
        playing = true;
        stopped = false;
        inputStreamEOF = false;
    }

    sendChangeMessage();
}

void MultipleAudioTransportSource::stop()
{
    {
        const juce::ScopedLock sl (callbackLock);

        if (! playing)
            return;

        playing = false;
        wasPlaying = false;
    }

    // The audio thread fades out and acknowledges; without a running callback this gives up after about a second.
    for (int i = 0; i < stopPolls && ! stopped; ++i)
        juce::Thread::sleep (stopPollMs);

    sendChangeMessage();
}

void MultipleAudioTransportSource::setPosition (double seconds)
{
    const juce::ScopedLock sl (callbackLock);

    if (sampleRate > 0.0)
        setNextReadPosition ((juce::int64) (seconds * sampleRate));
}

double MultipleAudioTransportSource::getCurrentPosition() const
{
    const juce::ScopedLock sl (callbackLock);
    return sampleRate > 0.0 ? (double) getNextReadPosition() / sampleRate : 0.0;
}

double MultipleAudioTransportSource::getLengthInSeconds() const
{
    const juce::ScopedLock sl (callbackLock);
    return sampleRate > 0.0 ? (double) getTotalLength() / sampleRate : 0.0;
}

bool MultipleAudioTransportSource::waitForReadAhead (int numSamples, int timeoutMs)
{
    const juce::ScopedLock sl (callbackLock);

    if (! hasChain (currentSource))
        return true;

    const auto& current = *sources[currentSource];
    auto count = (int) juce::jlimit ((juce::int64) 0, (juce::int64) numSamples,
                                     current.endSample - current.source->getNextReadPosition());

    if (! isReadAheadReady (currentSource, count, timeoutMs))
        return false;

    for (int index = nextPlayableRecord (currentSource), remaining = numSamples - count; remaining > 0 && index >= 0;
         index = nextPlayableRecord (index), remaining -= count)
    {
        const auto& record = *sources[index];

        // The callback reads a following record from its start: a buffer filled from elsewhere would underrun.
        if (record.source->getNextReadPosition() != record.startSample)
            return false;

        count = (int) juce::jmin ((juce::int64) remaining, lengthOf (record));

        if (! isReadAheadReady (index, count, timeoutMs))
            return false;
    }

    return true;
}

//==============================================================================
void MultipleAudioTransportSource::prepareToPlay (int samplesPerBlockExpected, double newSampleRate)
{
    const juce::ScopedLock sl (callbackLock);
    blockSize = samplesPerBlockExpected;
    sampleRate = newSampleRate;
    configureOutputResampler();

    for (auto* chain : masterSources)
        if (chain != nullptr)
            chain->prepareToPlay (blockSize, sampleRate);

    isPrepared = true;
}

void MultipleAudioTransportSource::releaseResources()
{
    const juce::ScopedLock sl (callbackLock);
    deleteSources();
    outputResampler.releaseResources();
    resampleOutput = false;
    isPrepared = false;
}

void MultipleAudioTransportSource::getNextAudioBlock (const juce::AudioSourceChannelInfo& info)
{
    const juce::ScopedLock sl (callbackLock);
    inputStreamEOF = false;

    if (info.buffer == nullptr)
        return;

    if (! hasChain (currentSource) || stopped)
    {
        info.clearActiveBufferRegion();
        stopped = true;
    }
    else
    {
        auto ranOut = false;

        if (resampleOutput)
        {
            joinedRecords.ranOut = false;
            outputResampler.getNextAudioBlock (info);
            ranOut = joinedRecords.ranOut;
        }
        else
        {
            ranOut = renderTimeline (info);
        }

        applyFades (info);
        stopped = ! playing;
        wasPlaying = playing.load();

        if (ranOut && ! sources[currentSource]->source->isLooping())
        {
            playing = false;
            inputStreamEOF = true;
            sendChangeMessage();
        }
    }

    for (int i = 0; i < masterSources.size(); ++i)
        lastGains.set (i, gains[i]);
}

void MultipleAudioTransportSource::setNextReadPosition (juce::int64 newPosition)
{
    const juce::ScopedLock sl (callbackLock);

    if (sampleRate > 0.0 && sourceSampleRate > 0.0)
        newPosition = (juce::int64) ((double) newPosition * sourceSampleRate / sampleRate);

    juce::int64 recordStart = 0;

    for (int i = 0; i < sources.size(); ++i)
    {
        const auto& record = *sources[i];
        const auto length = lengthOf (record);

        if (recordStart <= newPosition && newPosition < recordStart + length)
        {
            currentSource = i;
            record.source->setNextReadPosition (record.startSample + (newPosition - recordStart));
            rewindOtherRecords (i);
            outputResampler.flushBuffers(); // what it holds comes from the old position
            return;
        }

        recordStart += length;
    }
}

juce::int64 MultipleAudioTransportSource::getNextReadPosition() const
{
    const juce::ScopedLock sl (callbackLock);

    if (! hasChain (currentSource))
        return 0;

    const auto& record = *sources[currentSource];
    const auto sourcePosition = offsetOf (currentSource) + record.source->getNextReadPosition() - record.startSample;
    return (juce::int64) (outputPerSourceSample() * (double) sourcePosition);
}

juce::int64 MultipleAudioTransportSource::getTotalLength() const
{
    const juce::ScopedLock sl (callbackLock);
    return (juce::int64) (outputPerSourceSample() * (double) timelineLength());
}

bool MultipleAudioTransportSource::isLooping() const
{
    const juce::ScopedLock sl (callbackLock);
    return hasChain (currentSource) && sources[currentSource]->source->isLooping();
}

//==============================================================================
juce::int64 MultipleAudioTransportSource::lengthOf (const posSource& record)
{
    return record.source != nullptr ? juce::jmax ((juce::int64) 0, record.endSample - record.startSample) : 0;
}

bool MultipleAudioTransportSource::hasChain (int index) const
{
    return juce::isPositiveAndBelow (index, masterSources.size()) && masterSources[index] != nullptr;
}

int MultipleAudioTransportSource::nextPlayableRecord (int index) const
{
    for (int next = index + 1; next < sources.size(); ++next)
        if (sources[next]->source != nullptr)
            return next;

    return -1;
}

juce::int64 MultipleAudioTransportSource::offsetOf (int index) const
{
    juce::int64 offset = 0;

    for (int i = 0; i < index; ++i)
        offset += lengthOf (*sources[i]);

    return offset;
}

juce::int64 MultipleAudioTransportSource::timelineLength() const { return offsetOf (sources.size()); }

double MultipleAudioTransportSource::outputPerSourceSample() const
{
    return sampleRate > 0.0 && sourceSampleRate > 0.0 ? sampleRate / sourceSampleRate : 1.0;
}

void MultipleAudioTransportSource::rewindOtherRecords (int keep)
{
    for (int i = 0; i < sources.size(); ++i)
        if (i != keep && sources[i]->source != nullptr)
            sources[i]->source->setNextReadPosition (sources[i]->startSample);
}

// The records are joined at their own rate and resampled as one stream, so the seams stay sample-exact at any
// output rate.
void MultipleAudioTransportSource::configureOutputResampler()
{
    resampleOutput = sourceSampleRate > 0.0 && sampleRate > 0.0 && (int) sourceSampleRate != (int) sampleRate;

    if (resampleOutput)
    {
        // The resampler sizes its input blocks by its ratio, so the ratio comes first.
        outputResampler.setResamplingRatio (sourceSampleRate / sampleRate);
        outputResampler.prepareToPlay (blockSize, sampleRate);
    }
}

void MultipleAudioTransportSource::JoinedRecords::getNextAudioBlock (const juce::AudioSourceChannelInfo& info)
{
    ranOut = transport.renderTimeline (info) || ranOut;
}

// Fills the block from the current record and, where it ends inside the block, from the records that follow.
// Returns true when the timeline ran out before the block was full; the rest of the block is cleared.
bool MultipleAudioTransportSource::renderTimeline (const juce::AudioSourceChannelInfo& info)
{
    const auto numSamples = info.numSamples;
    const auto& current = *sources[currentSource];
    const auto left = current.endSample - current.source->getNextReadPosition();
    auto written = (int) juce::jlimit ((juce::int64) 0, (juce::int64) numSamples, left);

    renderPiece (currentSource, info, 0, written);

    while (written < numSamples)
    {
        const auto next = nextPlayableRecord (currentSource);

        if (next < 0)
        {
            info.buffer->clear (info.startSample + written, numSamples - written);
            return true;
        }

        currentSource = next;
        const auto& record = *sources[next];
        record.source->setNextReadPosition (record.startSample);

        const auto count = (int) juce::jmin ((juce::int64) (numSamples - written), lengthOf (record));
        renderPiece (next, info, written, count);
        written += count;
    }

    return false;
}

void MultipleAudioTransportSource::renderPiece (int index, const juce::AudioSourceChannelInfo& info, int offset,
                                                int numSamples)
{
    if (numSamples <= 0)
        return;

    const juce::AudioSourceChannelInfo piece (info.buffer, info.startSample + offset, numSamples);
    masterSources.getUnchecked (index)->getNextAudioBlock (piece);

    // Each record keeps its own gain up to the seam, even inside a block.
    const auto from = (float) lastGains[index];
    const auto to = (float) gains[index];

    if (from != 1.0f || to != 1.0f)
        for (int channel = info.buffer->getNumChannels(); --channel >= 0;)
            info.buffer->applyGainRamp (channel, piece.startSample, numSamples, from, to);
}

void MultipleAudioTransportSource::applyFades (const juce::AudioSourceChannelInfo& info)
{
    const auto rampLength = juce::jmin (info.numSamples, fadeSamples);

    if (playing && ! wasPlaying)
    {
        for (int channel = info.buffer->getNumChannels(); --channel >= 0;)
            info.buffer->applyGainRamp (channel, info.startSample, rampLength, 0.0f, 1.0f);
    }
    else if (! playing)
    {
        for (int channel = info.buffer->getNumChannels(); --channel >= 0;)
        {
            info.buffer->applyGainRamp (channel, info.startSample, rampLength, 1.0f, 0.0f);

            if (info.numSamples > fadeSamples)
                info.buffer->clear (channel, info.startSample + fadeSamples, info.numSamples - fadeSamples);
        }
    }
}

bool MultipleAudioTransportSource::isReadAheadReady (int index, int numSamples, int timeoutMs) const
{
    auto* bufferer = bufferers[index];

    if (bufferer == nullptr || numSamples <= 0)
        return true;

    return bufferer->waitForNextAudioBlockReady (juce::AudioSourceChannelInfo (nullptr, 0, numSamples),
                                                 (juce::uint32) juce::jmax (0, timeoutMs));
}
