#pragma once

#include <juce_core/juce_core.h>

// Who the master is for: the order's job number with the plant's server number, and the
// customer's e-mail address.
struct ClientDetails
{
    juce::String jobNumber;
    int serverNumber = 0;
    juce::String emailAddress;

    bool isComplete() const { return jobNumber.isNotEmpty() && serverNumber != 0 && emailAddress.isNotEmpty(); }
};

namespace ClientInformation
{
// Asks for the job number and the e-mail address until the user confirms valid entries (true,
// details filled in, the address kept in the settings) or cancels (false, details unchanged).
bool ask (ClientDetails& details);

// The job number is the text before the first "-", the server number the integer after it.
void parseJobText (const juce::String& jobText, ClientDetails& details);
} // namespace ClientInformation
