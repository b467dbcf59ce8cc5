#include "disc/AudioFileCheck.h"

#include <FLAC/stream_decoder.h>

namespace AudioFileCheck
{
namespace
{
// Where the sample data of an AIFF/AIFC file starts; -1 when there is no sound data chunk.
juce::int64 findAiffData (juce::InputStream& in)
{
    if (in.readIntBigEndian() != (int) juce::ByteOrder::bigEndianInt ("FORM"))
        return -1;

    in.readIntBigEndian(); // size
    const auto kind = in.readIntBigEndian();
    if (kind != (int) juce::ByteOrder::bigEndianInt ("AIFF") && kind != (int) juce::ByteOrder::bigEndianInt ("AIFC"))
        return -1;

    while (! in.isExhausted())
    {
        const auto id = in.readIntBigEndian();
        const auto size = (juce::int64) (juce::uint32) in.readIntBigEndian();

        if (id == (int) juce::ByteOrder::bigEndianInt ("SSND"))
        {
            const auto offset = (juce::int64) (juce::uint32) in.readIntBigEndian();
            in.readIntBigEndian(); // block size
            return in.getPosition() + offset;
        }

        if (! in.setPosition (in.getPosition() + size + (size & 1)))
            return -1;
    }

    return -1;
}

bool pcmDataComplete (const juce::File& file, juce::int64 dataStart, juce::int64 lengthInSamples, int numChannels,
                      int bitsPerSample)
{
    const auto bytes = lengthInSamples * numChannels * ((bitsPerSample + 7) / 8);
    return dataStart >= 0 && dataStart + bytes <= file.getSize();
}

// A FLAC file is complete when the decoder can reach its last sample.
bool flacReachesEnd (const juce::File& file, juce::int64 lengthInSamples)
{
    struct State
    {
        bool error = false;
    } state;

    auto* decoder = FLAC__stream_decoder_new();
    if (decoder == nullptr)
        return false;

    const auto write = [] (const FLAC__StreamDecoder*, const FLAC__Frame*, const FLAC__int32* const[], void*)
    { return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE; };
    const auto error = [] (const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* data)
    { static_cast<State*> (data)->error = true; };

    bool complete = false;

    if (FLAC__stream_decoder_init_file (decoder, file.getFullPathName().toRawUTF8(), write, nullptr, error, &state)
        == FLAC__STREAM_DECODER_INIT_STATUS_OK)
    {
        complete =
            lengthInSamples == 0
            || (FLAC__stream_decoder_process_until_end_of_metadata (decoder)
                && FLAC__stream_decoder_seek_absolute (decoder, (FLAC__uint64) (lengthInSamples - 1)) && ! state.error);
        FLAC__stream_decoder_finish (decoder);
    }

    FLAC__stream_decoder_delete (decoder);
    return complete;
}
} // namespace

std::optional<DataChunk> findWavDataChunk (juce::InputStream& in)
{
    if (! in.setPosition (0))
        return {};

    const auto riff = in.readInt();
    if (riff != (int) juce::ByteOrder::littleEndianInt ("RIFF")
        && riff != (int) juce::ByteOrder::littleEndianInt ("RF64"))
        return {};

    in.readInt(); // size
    if (in.readInt() != (int) juce::ByteOrder::littleEndianInt ("WAVE"))
        return {};

    for (juce::int64 position = 12; position + 8 <= in.getTotalLength();)
    {
        if (! in.setPosition (position))
            return {};

        const auto id = in.readInt();
        const auto size = (juce::int64) (juce::uint32) in.readInt();
        if (id == (int) juce::ByteOrder::littleEndianInt ("data"))
            return DataChunk { position + 8, size };

        position += 8 + size + (size & 1); // chunks are padded to even sizes
    }

    return {};
}

bool holdsAnnouncedAudio (const juce::File& file, Container container, juce::int64 lengthInSamples, int numChannels,
                          int bitsPerSample)
{
    if (container == Container::flac)
        return flacReachesEnd (file, lengthInSamples);

    juce::FileInputStream in (file);
    if (! in.openedOk())
        return false;

    const auto dataStart =
        container == Container::wav ? findWavDataChunk (in).value_or (DataChunk { -1, 0 }).start : findAiffData (in);
    return pcmDataComplete (file, dataStart, lengthInSamples, numChannels, bitsPerSample);
}
} // namespace AudioFileCheck
