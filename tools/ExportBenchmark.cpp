// Exports a generated 80-minute disc of 20 WAV tracks as a DDP image through CDItem::exportDDP, and in the same
// run times the plain baseline: the same source bytes copied into one file and checksummed by md5sum. Prints both
// times, their ratio and the peak memory of the process.
//   build/src/tavlo_export_benchmark [folder [rounds]]    the generated data goes to a new folder inside folder
//                                                         (default: the temporary folder) and is removed at the
//                                                         end; rounds of baseline and export (default 3), the best
//                                                         time of each counts
#include "app/StoredSettings.h"
#include "disc/CDItem.h"
#include "editor/DiscNumbering.h"
#include "formats/DDPCipher.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <vector>

#include "BenchmarkAudio.h"

namespace
{
using juce::int64;

using BenchmarkAudio::cdRate;
using BenchmarkAudio::patternValue;
using BenchmarkAudio::writeTrack;
constexpr int trackCount = 20;
constexpr int discSeconds = 80 * 60;
constexpr int pauseSeconds = 2;

double secondsSince (std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
}

// Runs the job on a thread of its own and prints what a user would read.
class HeadlessInteraction : public UserInteraction, private JobProgress
{
public:
    void showMessage (MessageIcon, const juce::String& title, const juce::String& text, const juce::String&) override
    {
        std::printf ("  message: %s %s\n", title.toRawUTF8(), text.toRawUTF8());
        ++messages;
    }

    bool askOkCancel (MessageIcon, const juce::String&, const juce::String& text, const juce::String&,
                      const juce::String&) override
    {
        std::printf ("  question (answered no): %s\n", text.toRawUTF8());
        return false;
    }

    AlertReply runAlert (const AlertRequest&) override { return {}; }
    juce::Array<juce::File> chooseFilesToOpen (const FileChooserRequest&) override { return {}; }
    void runDialog (const DialogRequest&) override {}
    bool openUrl (const juce::URL&) override { return false; }

    bool runJob (BackgroundJob& job, const JobWindowOptions&) override
    {
        struct Worker : juce::Thread
        {
            Worker (BackgroundJob& j, JobProgress& p) : juce::Thread ("export"), job (j), progress (p) {}
            void run() override { job.runJob (progress); }
            BackgroundJob& job;
            JobProgress& progress;
        } worker (job, *this);

        jobStart = std::chrono::steady_clock::now();
        worker.startThread();
        worker.waitForThreadToExit (-1);
        return true;
    }

    int messages = 0;

private:
    void setProgress (double) override {}

    // Each status once, with the time since the job started.
    void setStatusMessage (const juce::String& text) override
    {
        if (text == lastStatus)
            return;
        lastStatus = text;
        std::printf ("  %6.2f s  %s\n", secondsSince (jobStart),
                     text.upToFirstOccurrenceOf ("\r", false, false).toRawUTF8());
    }
    bool shouldExit() const override { return false; }

    std::chrono::steady_clock::time_point jobStart;
    juce::String lastStatus;

    ScopedUserInteraction installed { *this };
};

// CPU time (user and system) of this process and of its finished children.
double cpuSeconds()
{
    const auto seconds = [] (int who)
    {
        rusage usage {};
        getrusage (who, &usage);
        return (double) (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
               + (double) (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1.0e6;
    };
    return seconds (RUSAGE_SELF) + seconds (RUSAGE_CHILDREN);
}

double peakMegabytes()
{
    rusage usage {};
    getrusage (RUSAGE_SELF, &usage);
    return (double) usage.ru_maxrss / 1024.0; // kilobytes on Linux
}

struct Times
{
    double wall = 1.0e9, cpu = 1.0e9;

    void keepBest (const Times& other)
    {
        wall = std::min (wall, other.wall);
        cpu = std::min (cpu, other.cpu);
    }
};

template <typename Work>
Times measure (Work&& work)
{
    const auto cpuBefore = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    return { secondsSince (start), cpuSeconds() - cpuBefore };
}

// The baseline: every source byte copied into one file, then md5sum over that file.
void baseline (const juce::Array<juce::File>& sources, const juce::File& target)
{
    {
        juce::FileOutputStream out (target, 1 << 20);
        std::vector<char> buffer ((size_t) 1 << 20);
        for (const auto& source : sources)
        {
            juce::FileInputStream in (source);
            for (int got; (got = in.read (buffer.data(), (int) buffer.size())) > 0;)
                out.write (buffer.data(), (size_t) got);
        }
    }

    juce::ChildProcess md5sum;
    md5sum.start (juce::StringArray { "md5sum", target.getFullPathName() });
    const auto digest = md5sum.readAllProcessOutput();
    md5sum.waitForProcessToFinish (60000);
    std::printf ("  md5sum: %s", digest.toRawUTF8());
}

int run (const juce::File& work, int rounds)
{
    const auto sources = work.getChildFile ("sources"), output = work.getChildFile ("ddp");
    sources.createDirectory();

    // Track lengths that fill 80 minutes with the pregap and the pauses between tracks, and that end
    // inside a frame as real files do.
    const auto audioSeconds = discSeconds - 2 - (trackCount - 1) * pauseSeconds;
    const auto trackSamples = (int64) (audioSeconds * cdRate) / trackCount + 123;

    std::printf ("Generating %d tracks of %.1f s in %s...\n", trackCount, (double) trackSamples / cdRate,
                 sources.getFullPathName().toRawUTF8());
    juce::Array<juce::File> files;
    for (int i = 0; i < trackCount; ++i)
    {
        files.add (sources.getChildFile ("track" + juce::String (i + 1).paddedLeft ('0', 2) + ".wav"));
        if (! writeTrack (files.getLast(), trackSamples, i + 1))
        {
            std::printf ("Could not write %s\n", files.getLast().getFullPathName().toRawUTF8());
            return 2;
        }
    }

    HeadlessInteraction ui;
    auto& props = StoredSettings::getInstance()->getProps();
    props.setValue ("defaultpause", pauseSeconds * 75);
    props.setValue ("indexoffset", juce::var (0));

    CDItem disc;
    int row = disc.getItemSize();
    for (const auto& file : files)
        disc.addAudioFile (file, row);
    const auto length = DiscNumbering::renumber (disc);
    std::printf ("Disc: %d items, %s\n", disc.items.size(), length.toString().toRawUTF8());

    // Rounds in turn, the best of each kept: the machine may be busy with other work meanwhile.
    const auto cipher = DDPCipher::makeRunCipher();
    Times baselineBest, exportBest;
    auto exported = true;
    double peakBeforeExport = 0.0;

    for (int round = 1; round <= rounds; ++round)
    {
        std::printf ("Round %d of %d\n  baseline: copy and md5sum...\n", round, rounds);
        baselineBest.keepBest (measure ([&] { baseline (files, work.getChildFile ("all-sources.bin")); }));
        work.getChildFile ("all-sources.bin").deleteFile();
        if (round == 1)
            peakBeforeExport = peakMegabytes();

        std::printf ("  export...\n");
        output.deleteRecursively();
        output.createDirectory();
        exportBest.keepBest (
            measure ([&] { exported = disc.exportDDP (output.getFullPathName(), false, cipher.get()) && exported; }));
    }
    const auto exportPeak = peakMegabytes();

    // The checksum the export took while writing is that of the file it wrote.
    const auto image = output.getChildFile ("IMAGE.DAT");
    juce::ChildProcess md5sum;
    md5sum.start (juce::StringArray { "md5sum", image.getFullPathName() });
    const auto imageDigest = md5sum.readAllProcessOutput().upToFirstOccurrenceOf (" ", false, false);
    const auto checksums = output.getChildFile ("MD5-Checksum.md5").loadFileAsString();
    const auto digestMatches = checksums.contains (imageDigest + " *IMAGE.DAT\r\n");
    std::printf ("\nImage: %lld bytes, md5sum %s: %s\n", (long long) image.getSize(), imageDigest.toRawUTF8(),
                 digestMatches ? "the same as in MD5-Checksum.md5" : "DIFFERENT from MD5-Checksum.md5");

    const auto ratio = exportBest.wall / baselineBest.wall;
    std::printf ("Best of %d rounds        wall clock   CPU (user + system, all threads and processes)\n", rounds);
    std::printf ("Baseline (copy + md5sum): %6.2f s    %6.2f s\n", baselineBest.wall, baselineBest.cpu);
    std::printf ("Export:                   %6.2f s    %6.2f s\n", exportBest.wall, exportBest.cpu);
    std::printf ("Ratio:                    %6.2f      %6.2f    (target: at most 1.30)\n", ratio,
                 exportBest.cpu / baselineBest.cpu);
    std::printf ("Peak memory:              %.1f MB (before the first export %.1f MB; target: under 100 MB)\n",
                 exportPeak, peakBeforeExport);

    const auto passed = exported && digestMatches && ui.messages == 0 && ratio <= 1.3 && exportPeak < 100.0;
    std::printf ("%s\n", passed ? "PASS" : "FAIL");
    return passed ? 0 : 1;
}
} // namespace

int main (int argc, char** argv)
{
    const auto base = argc > 1 && juce::String (argv[1]).isNotEmpty()
                          ? juce::File::getCurrentWorkingDirectory().getChildFile (argv[1])
                          : juce::File::getSpecialLocation (juce::File::tempDirectory);
    const auto rounds = argc > 2 ? juce::jmax (1, juce::String (argv[2]).getIntValue()) : 3;
    const auto work = base.getNonexistentChildFile ("tavlo-export-benchmark-", "", false);
    if (! work.createDirectory())
    {
        std::printf ("Cannot create %s\n", work.getFullPathName().toRawUTF8());
        return 2;
    }

    // The settings the intake reads go to a home of this run, never the user's.
    const auto home = work.getChildFile ("home");
    home.createDirectory();
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);

    const auto result = run (work, rounds);

    StoredSettings::deleteInstance();
    work.deleteRecursively();
    return result;
}
