#include "formats/DDPWriter.h"

#include "disc/RawAudioFormat.h"
#include "disc/SampleLayout.h"
#include "formats/BackgroundMD5.h"
#include "formats/CDAudioBytes.h"
#include "formats/DDPCipher.h"
#include "formats/DDPRecords.h"
#include "formats/ISOfile.h"

namespace
{
constexpr int silenceBlock = 8192;
constexpr size_t streamBuffer = 32768;
constexpr size_t readBuffer = 1 << 18;
constexpr int copyBlock = 1 << 20;
constexpr juce::int64 perFrame = CDDuration::samplesPerFrame;

// Pushes what the stream buffered to the disk; false when any write to it has failed.
bool finish (juce::OutputStream& out)
{
    out.flush();
    auto* file = dynamic_cast<juce::FileOutputStream*> (&out);
    return file == nullptr || file->getStatus().wasOk();
}

bool writeAll (juce::OutputStream& out, const void* data, size_t size)
{
    return out.write (data, size) && finish (out);
}
} // namespace

DDPWriter::DDPWriter (CDItem& discToWrite, const juce::File& outputFolder, bool writeCDText,
                      const juce::BlowFish& runCipher)
    : disc (discToWrite), folder (outputFolder), withCDText (writeCDText), cipher (runCipher),
      lastTrack (disc.items.isEmpty() ? 0 : disc.items.getLast()->trackNumber)
{
    silence.calloc ((size_t) silenceBlock);
    copyBuffer.malloc ((size_t) copyBlock);
}

juce::String DDPWriter::audioImageName() const
{
    return hasDataSession() ? DDPRecords::firstImageName : DDPRecords::audioImageName;
}

bool DDPWriter::write (JobProgress& progress)
{
    if (disc.items.isEmpty())
        return false;

    const bool written = writeAudioImage (progress) && ! progress.shouldExit() && writeDataImage (progress)
                         && ! progress.shouldExit() && writeControlFiles (progress) && ! progress.shouldExit()
                         && writeChecksums (progress) && ! progress.shouldExit();

    if (! written)
        removeWrittenFiles (! progress.shouldExit());

    return written;
}

//==================================================================================================
bool DDPWriter::writeAudioImage (JobProgress& progress)
{
    const auto image = fileNamed (audioImageName());
    const auto steps = (double) (lastTrack + (hasDataSession() ? 1 : 0));
    int carry = 0;
    audioImageDigest = std::make_unique<BackgroundMD5>();

    for (int track = 1; track <= lastTrack && ! progress.shouldExit(); ++track)
    {
        progress.setProgress ((track - 1) / steps);
        progress.setStatusMessage ("Writing image...");

        // Opened once per track; the stream appends to what earlier tracks wrote.
        auto file = image.createOutputStream (streamBuffer);
        if (file == nullptr || file->failedToOpen())
            return false;

        const auto* fileStream = file.get();
        auto stream = audioImageDigest->writeThrough (std::move (file));

        auto writer = std::make_unique<RawAudioFormatWriter> (stream.release(), 44100.0, 2u);

        if (! writeTrack (track, *writer, carry) || ! writer->flush() || fileStream->getStatus().failed())
            return false;
    }

    return ! progress.shouldExit();
}

bool DDPWriter::writeTrack (int track, RawAudioFormatWriter& image, int& carry)
{
    const auto lastRow = disc.getItemSize() - 1;

    for (int row = 0; row <= lastRow; ++row)
    {
        const auto& item = *disc.getItem (row);
        if (item.trackNumber != track)
            continue;

        const auto samples = SampleLayout::layoutItem (item, carry);

        if (! writeSilence (image, samples.silenceBefore))
            return false;

        const bool itemWritten = item.isSilence() ? writeSilence (image, samples.count)
                                                  : copySource (item, image, samples.sourceStart, samples.count);
        if (! itemWritten)
            return false;

        if (row == lastRow && ! writeSilence (image, SampleLayout::paddingAfterLastItem (carry)))
            return false;
    }

    return true;
}

bool DDPWriter::writeSilence (RawAudioFormatWriter& image, juce::int64 samples)
{
    const int* channels[] = { silence.get(), silence.get(), nullptr };

    for (juce::int64 done = 0; done < samples; done += silenceBlock)
        if (! image.write (channels, (int) juce::jmin ((juce::int64) silenceBlock, samples - done)))
            return false;

    return true;
}

bool DDPWriter::copySource (const IndexItem& item, RawAudioFormatWriter& image, juce::int64 start, juce::int64 count)
{
    const juce::File source (item.getFullPath());
    std::unique_ptr<juce::AudioFormatReader> reader;

    // The readers fetch a few kilobytes at a time; the buffer saves a system call for each.
    if (auto stream = source.createInputStream())
        reader.reset (disc.formatManager.createReaderFor (
            std::make_unique<juce::BufferedInputStream> (stream.release(), (int) readBuffer, true)));

    // A source that cannot be decoded, or that holds less than the item plays, would leave the
    // image shorter than its PQ descriptor says.
    auto copied = reader != nullptr && start + count <= reader->lengthInSamples;

    if (copied)
    {
        // Samples stored as the image stores them are copied as they are: the same bytes, sooner.
        juce::FileInputStream bytes (source);
        const auto first = bytes.openedOk() ? CDAudioBytes::findFirstSample (bytes, *reader) : std::nullopt;
        copied = first.has_value() ? copyBytes (bytes, *first + start * RawAudioFormat::bytesPerFrame,
                                                count * RawAudioFormat::bytesPerFrame, image)
                                   : image.writeFromAudioReader (*reader, start, count);
    }

    if (! copied)
        UserInteraction::current().showError ("Error writing data.");

    return copied;
}

bool DDPWriter::copyBytes (juce::InputStream& in, juce::int64 position, juce::int64 count, RawAudioFormatWriter& image)
{
    if (! in.setPosition (position))
        return false;

    while (count > 0)
    {
        const auto wanted = (int) juce::jmin ((juce::int64) copyBlock, count);
        auto got = 0;
        while (got < wanted)
        {
            const auto n = in.read (copyBuffer.get() + got, wanted - got);
            if (n <= 0)
                break;
            got += n;
        }

        if (got != wanted || ! image.writeBytes (copyBuffer.get(), (size_t) wanted))
            return false; // the source ends before the item does
        count -= wanted;
    }

    return true;
}

//==================================================================================================
bool DDPWriter::writeDataImage (JobProgress& progress)
{
    if (! hasDataSession())
        return true;

    const auto image = fileNamed (DDPRecords::dataImageName);
    progress.setStatusMessage ("Writing " + DDPRecords::dataImageName + "...");
    progress.setProgress (lastTrack / (double) (lastTrack + 1));

    for (const auto* item : disc.dataItems)
    {
        if (item->indexNumber == 0)
        {
            auto stream = image.createOutputStream (streamBuffer);
            juce::MemoryBlock zeros ((size_t) DDPRecords::dataSectorSize, true);
            if (stream == nullptr || stream->failedToOpen())
                return false;

            for (int sector = 0; sector < item->duration.getTimeInFrames(); ++sector)
                if (! stream->write (zeros.getData(), zeros.getSize()))
                    return false;

            if (! finish (*stream))
                return false;
            continue;
        }

        ISOfile source (item->getFullPath());
        if (! source.writeISO (image.getFullPathName(),
                               (juce::int64) item->fileOffset.getTimeInFrames() * DDPRecords::dataSectorSize))
        {
            UserInteraction::current().showError (source.getLastError());
            return false;
        }

        // The image's sector addresses count from the disc's sector 0, which lies at frame 150;
        // they must match where the image itself starts on the disc, whatever its pregap.
        const auto wanted = (juce::int64) (item->startTime.getTimeInFrames() - 150) * DDPRecords::dataSectorSize;
        const auto displacement = source.getISOoffset();
        if (displacement != wanted)
        {
            ISOfile target (image.getFullPathName());
            if (displacement < 0 || ! target.modifyISOoffset (displacement - wanted))
            {
                UserInteraction::current().showError (displacement < 0 ? source.getLastError() : target.getLastError());
                return false;
            }
        }
    }

    return true;
}

//==================================================================================================
bool DDPWriter::writeEnciphered (const juce::String& fileName, const juce::String& text)
{
    juce::MemoryBlock block (text.toRawUTF8(), (size_t) text.length());
    plainDigests.set (fileName, juce::MD5 (block).toHexString());
    DDPCipher::encipher (block.getData(), block.getSize(), cipher);

    const auto file = fileNamed (fileName);
    auto stream = file.createOutputStream (streamBuffer);
    return stream != nullptr && ! stream->failedToOpen() && writeAll (*stream, block.getData(), block.getSize());
}

bool DDPWriter::writeControlFiles (JobProgress& progress)
{
    progress.setProgress (-1.0);

    progress.setStatusMessage ("Writing PQDESCR...");
    const auto pq = DDPRecords::pqDescriptor (disc);
    if (! writeEnciphered (DDPRecords::pqFileName, pq))
        return false;

    std::optional<juce::int64> cdTextBytes;
    if (withCDText)
    {
        progress.setStatusMessage ("Writing CDTEXT.BIN...");
        const auto cdText = fileNamed (DDPRecords::cdTextFileName);
        if (! disc.exportCDText (cdText.getFullPathName()))
            return false;
        cdTextBytes = cdText.getSize();
    }

    progress.setStatusMessage ("Writing DDPMS...");
    const DDPRecords::ImageEntry audio { audioImageName(),
                                         fileNamed (audioImageName()).getSize() / DDPRecords::audioSectorSize, 0 };
    std::optional<DDPRecords::ImageEntry> data;
    if (hasDataSession())
        data = DDPRecords::ImageEntry { DDPRecords::dataImageName,
                                        fileNamed (DDPRecords::dataImageName).getSize() / DDPRecords::dataSectorSize,
                                        disc.dataItems.getFirst()->startTime.getTimeInFrames() };

    if (! writeEnciphered (DDPRecords::mapFileName, DDPRecords::mapText (cdTextBytes, pq.length(), audio, data)))
        return false;

    progress.setStatusMessage ("Writing DDPID...");
    return writeEnciphered (DDPRecords::idFileName, DDPRecords::idText (disc.mcn, hasDataSession()));
}

bool DDPWriter::writeChecksums (JobProgress& progress)
{
    progress.setProgress (-1.0);
    progress.setStatusMessage ("Calculating MD5 checksums...\r\n\r\n(this can take a while)");

    juce::String lines;
    const auto addLine = [&] (const juce::String& digest, const juce::String& name)
    { lines << digest << " *" << name << "\r\n"; };

    for (const auto& name : { DDPRecords::idFileName, DDPRecords::mapFileName, DDPRecords::pqFileName })
        if (fileNamed (name).existsAsFile())
            addLine (plainDigests[name], name);

    juce::StringArray storedFiles { audioImageName() };
    if (hasDataSession())
        storedFiles.add (DDPRecords::dataImageName);
    storedFiles.add (DDPRecords::cdTextFileName);

    for (const auto& name : storedFiles)
    {
        const auto file = fileNamed (name);
        if (! file.existsAsFile())
            continue;

        const auto digest = digestOf (file);
        if (digest.isEmpty() || progress.shouldExit())
            return false;
        addLine (digest, name);
    }

    auto stream = fileNamed (DDPRecords::checksumFileName).createOutputStream (streamBuffer);
    return stream != nullptr && ! stream->failedToOpen()
           && writeAll (*stream, lines.toRawUTF8(), lines.getNumBytesAsUTF8());
}

juce::String DDPWriter::digestOf (const juce::File& file)
{
    // The audio image was checksummed while it was written; that holds as long as the file is what
    // was written into it.
    if (file == fileNamed (audioImageName()) && audioImageDigest != nullptr
        && audioImageDigest->getTotalBytes() == file.getSize())
        return audioImageDigest->finish();

    return BackgroundMD5::ofFile (file);
}

//==================================================================================================
void DDPWriter::removeWrittenFiles (bool tellUser)
{
    // While the window that waits for this job is being dismissed, nobody is there to answer a
    // message box: the user already reads "User abort.".
    auto& ui = UserInteraction::current();
    if (tellUser)
        ui.showError ("Error creating file(s), all generated files will be deleted.");

    for (const auto& file : folder.findChildFiles (juce::File::findFiles, false, "*"))
        if (! file.deleteFile() && tellUser)
            ui.showError ("Error deleting file(s), clean up manually.");
}
