#include "disc/CDItem.h"
#include "formats/DDPRecords.h"
#include "formats/DDPWriter.h"

namespace
{
bool isEmptyFolder (const juce::File& folder)
{
    return folder.isDirectory() && folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*") == 0;
}
} // namespace

bool CDItem::exportDDP (juce::String folder, bool writeCDTextFile, juce::BlowFish* runCipher)
{
    auto& ui = UserInteraction::current();
    const juce::File target (folder);

    ddpFolder = folder;
    writeCDText = writeCDTextFile;
    cipher = runCipher;
    exportSucceeded = false;

    // The files are appended to: a folder that holds anything would give a mixed set.
    if (! isEmptyFolder (target))
    {
        ui.showError ("The DDP image can not be written to " + folder + ": the folder must exist and be empty.");
        return false;
    }

    if (const auto problem = DDPRecords::findOversizedField (*this); problem.isNotEmpty())
    {
        ui.showError (problem);
        return false;
    }

    pendingJob = 1;

    JobWindowOptions window;
    window.title = "Please wait...";
    window.hasProgressBar = true;
    window.hasCancelButton = false;
    window.cancelButtonText = "Cancel";
    window.stopTimeoutMs = 10000;
    window.threadPriority = 5;

    const bool ranToEnd = ui.runJob (*this, window);
    pendingJob = 0;

    if (! ranToEnd)
    {
        ui.showMessage (MessageIcon::warning, "Ready", "User abort.", "OK");
        return false;
    }

    if (! exportSucceeded)
    {
        ui.showMessage (MessageIcon::warning, "Error", "Export to DDP finished with an error.", "OK");
        return false;
    }

    return true;
}

void CDItem::runJob (JobProgress& progress)
{
    if (pendingJob != 1 || cipher == nullptr)
        return;

    progress.setProgress (-1.0);
    progress.setStatusMessage ("Preparing to write...");
    exportSucceeded = DDPWriter (*this, juce::File (ddpFolder), writeCDText, *cipher).write (progress);
}
