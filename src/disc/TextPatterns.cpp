#include "disc/TextPatterns.h"

#include <boost/regex.hpp>

#include <map>
#include <mutex>
#include <string>

bool isLatin1Char (wchar_t c) { return (c >= 32 && c <= 126) || (c >= 160 && c <= 255); }

bool isASCIIChar (wchar_t c) { return c >= 32 && c <= 126; }

namespace TextPatterns
{
namespace
{
const boost::wregex& compiled (const wchar_t* pattern)
{
    // The program uses a handful of fixed patterns: compile each once.
    static std::mutex mutex;
    static std::map<std::wstring, boost::wregex> cache;

    const std::lock_guard<std::mutex> lock (mutex);
    auto found = cache.find (pattern);
    if (found == cache.end())
        found = cache.emplace (pattern, boost::wregex (pattern, boost::regex::perl)).first;
    return found->second;
}
} // namespace

bool matchesWhole (const juce::String& text, const wchar_t* pattern)
{
    const std::wstring wide (text.toWideCharPointer());
    return boost::regex_match (wide, compiled (pattern));
}

bool isPrintableLatin1 (const juce::String& text)
{
    for (auto c : text)
        if (! isLatin1Char ((wchar_t) c))
            return false;
    return true;
}

bool fitsCDTextLength (const juce::String& text) { return matchesWhole (text, L"^.{0,160}$"); }

bool isValidCDText (const juce::String& text) { return fitsCDTextLength (text) && isPrintableLatin1 (text); }

bool isValidIsrc (const juce::String& code)
{
    return matchesWhole (code, L"^[A-Z][A-Z][A-Z0-9][A-Z0-9][A-Z0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9]$");
}
} // namespace TextPatterns
