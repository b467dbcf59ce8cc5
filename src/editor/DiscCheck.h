#pragma once

#include "app/UserInteraction.h"
#include "disc/CDItem.h"

#include <functional>

// Checks the disc against the rules of the audio CD before it is exported. An error stops the check
// with a message; a question describes a problem the user may accept, each kind asked once per
// check. The check changes nothing but, when the disc carries CD-Text without a language, the
// language code (English).
namespace DiscCheck
{
// 0 when the disc must not be exported; otherwise 1 plus the number of kinds of question the user
// accepted. markMcnCheckDigit is called before the user is asked about a wrong check digit.
int check (CDItem& disc, UserInteraction& ui, const std::function<void()>& markMcnCheckDigit);

// The EAN-13 check digit of the first twelve digits.
int eanCheckDigit (const juce::String& twelveDigits);
} // namespace DiscCheck
