#pragma once

#include <juce_data_structures/juce_data_structures.h>

#include <memory>

// The program's one persistent key-value store, a process-wide singleton over the user's
// settings file.
class StoredSettings
{
public:
    static StoredSettings* getInstance();
    static void deleteInstance();

    juce::PropertiesFile& getProps();

    // Writes pending changes, then reopens the file; fills in the defaults (or carries over the
    // older file) when the settings file does not exist yet.
    void flush();

    static juce::PropertiesFile::Options getOptions();
    static juce::PropertiesFile::Options getOlderLocationOptions();

    // On platforms where the older location coincides with the current one, tests need another
    // place to put an "older" file. An empty file restores the library's rule.
    static void setOlderLocationOverride (const juce::File& file);

    // Key order and values of a first run.
    static const juce::StringPairArray& getDefaults();

private:
    StoredSettings();
    ~StoredSettings();

    std::unique_ptr<juce::PropertiesFile> openOlderFile() const;

    std::unique_ptr<juce::PropertiesFile> props;

    JUCE_DECLARE_NON_COPYABLE (StoredSettings)
};
