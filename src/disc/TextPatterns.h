#pragma once

#include <juce_core/juce_core.h>

// The character tests of CD-Text. Printable ISO 8859-1: codes 32 to 126 and 160 to 255.
bool isLatin1Char (wchar_t c);
// Printable ASCII: codes 32 to 126.
bool isASCIIChar (wchar_t c);

// Patterns on user input are whole-string matches in perl syntax over wide characters.
namespace TextPatterns
{
bool matchesWhole (const juce::String& text, const wchar_t* pattern);

bool isPrintableLatin1 (const juce::String& text);

// A CD-Text entry holds at most 160 characters.
bool fitsCDTextLength (const juce::String& text);

// User-typed CD-Text: at most 160 characters, all printable ISO 8859-1.
bool isValidCDText (const juce::String& text);

// CCXXXYYNNNNN: country, registrant, year, designation.
bool isValidIsrc (const juce::String& code);
} // namespace TextPatterns
