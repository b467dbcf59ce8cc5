#include "app/StoredSettings.h"
#include "app/UserInteraction.h"
#include "disc/AudioFileCheck.h"
#include "disc/CDItem.h"

namespace
{
struct Container
{
    AudioFileCheck::Container kind;
    const char* shortName; // as the messages call it
};

std::optional<Container> containerForName (const juce::String& fileName)
{
    const auto lower = fileName.toLowerCase();

    if (lower.endsWith (".wav"))
        return Container { AudioFileCheck::Container::wav, "wave" };
    if (lower.endsWith (".aif") || lower.endsWith (".aiff") || lower.endsWith (".aifc"))
        return Container { AudioFileCheck::Container::aiff, "aif" };
    if (lower.endsWith (".flac"))
        return Container { AudioFileCheck::Container::flac, "flac" };

    return std::nullopt;
}

std::unique_ptr<juce::AudioFormat> formatFor (AudioFileCheck::Container kind)
{
    switch (kind)
    {
        case AudioFileCheck::Container::wav:
            return std::make_unique<juce::WavAudioFormat>();
        case AudioFileCheck::Container::aiff:
            return std::make_unique<juce::AiffAudioFormat>();
        case AudioFileCheck::Container::flac:
        default:
            return std::make_unique<juce::FlacAudioFormat>();
    }
}

// The first rule the file breaks, as the user reads it; empty when it is CD audio.
juce::String findProblem (const juce::AudioFormatReader& reader, const Container& container, const juce::String& name)
{
    const bool flac = container.kind == AudioFileCheck::Container::flac;
    const auto invalid = [&] (const char* what)
    { return "File " + name + " is not a valid " + container.shortName + " file, invalid " + what + "."; };

    if (reader.sampleRate != 44100.0)
        return flac ? "The file " + name + " has an invalid sample rate. All files must have a sample rate of 44.1KHz."
                    : invalid ("samplerate");

    if (reader.bitsPerSample != 16)
        return invalid ("number of bits per sample");

    if (! (reader.numChannels == 2 || (flac && reader.numChannels == 1)))
        return invalid ("number of channels");

    if (reader.usesFloatingPointData)
        return invalid ("data type");

    return {};
}
} // namespace

void CDItem::addAudioFile (juce::File file, int& row)
{
    auto& ui = UserInteraction::current();
    const auto name = file.getFileName();

    const auto container = containerForName (name);
    if (! container.has_value())
    {
        ui.showError ("File " + name + " can not be added: only WAV, AIFF and FLAC files can be used.");
        return;
    }

    auto stream = file.createInputStream();

    int provisionalTrack = 1;
    if (row < getItemSize())
        provisionalTrack = getItem (row)->trackNumber;
    else if (row >= 2)
        provisionalTrack = getItem (row - 1)->trackNumber + 1;

    juce::int64 lengthInSamples = 0;
    {
        std::unique_ptr<juce::AudioFormatReader> reader;
        if (stream != nullptr)
            reader.reset (formatFor (container->kind)->createReaderFor (stream.release(), true));

        if (reader == nullptr)
        {
            ui.showError ("Error opening file: " + name + ".");
            return;
        }

        if (const auto problem = findProblem (*reader, *container, name); problem.isNotEmpty())
        {
            ui.showError (problem);
            return;
        }

        lengthInSamples = reader->lengthInSamples;

        if (! AudioFileCheck::holdsAnnouncedAudio (file, container->kind, lengthInSamples, (int) reader->numChannels,
                                                   (int) reader->bitsPerSample))
        {
            ui.showError ("File " + name + " is damaged: it holds less audio than its header announces.");
            return;
        }
    }

    auto& settings = StoredSettings::getInstance()->getProps();
    const auto defaultPause = settings.getValue ("defaultpause", "150").getIntValue();
    const auto indexOffset = defaultPause == 0 ? 0 : settings.getValue ("indexoffset", "10").getIntValue();

    if (defaultPause > 0 && provisionalTrack != 1)
        insertPause (row++, provisionalTrack, defaultPause);

    IndexItem audio;
    audio.folder = file.getParentDirectory().getFullPathName();
    audio.fileName = name;
    audio.trackNumber = provisionalTrack;
    audio.indexNumber = 1;
    audio.indexOffset = indexOffset;

    const auto* previous = getPreviousItem (row);
    const auto carry = previous != nullptr ? previous->extraSamples : 0;
    const auto total = carry + lengthInSamples;
    audio.duration = CDDuration ((int) (total / CDDuration::samplesPerFrame));
    audio.extraSamples = (int) (total % CDDuration::samplesPerFrame);

    insertItem (row++, createItem (audio));
}
