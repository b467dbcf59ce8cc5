#include "app/StoredSettings.h"

#include "app/Branding.h"

namespace
{
juce::CriticalSection& instanceLock()
{
    static juce::CriticalSection lock;
    return lock;
}

StoredSettings* instance = nullptr;
bool creatingInstance = false;

juce::File& olderLocationOverride()
{
    static juce::File file;
    return file;
}
} // namespace

StoredSettings* StoredSettings::getInstance()
{
    const juce::ScopedLock sl (instanceLock());

    if (instance == nullptr && ! creatingInstance)
    {
        creatingInstance = true;
        instance = new StoredSettings();
        creatingInstance = false;
    }

    return instance;
}

void StoredSettings::deleteInstance()
{
    const juce::ScopedLock sl (instanceLock());
    auto* old = instance;
    instance = nullptr;
    delete old;
}

StoredSettings::StoredSettings() { flush(); }

StoredSettings::~StoredSettings()
{
    flush();
    props.reset();
}

juce::PropertiesFile& StoredSettings::getProps() { return *props; }

juce::PropertiesFile::Options StoredSettings::getOptions()
{
    juce::PropertiesFile::Options options;
    options.applicationName = juce::String (Branding::applicationName).replaceCharacter (' ', '_');
    options.folderName = options.applicationName;
    options.filenameSuffix = ".settings";
    options.osxLibrarySubFolder = "Application Support";
    return options;
}

juce::PropertiesFile::Options StoredSettings::getOlderLocationOptions()
{
    auto options = getOptions();
    options.osxLibrarySubFolder = "Preferences";
    return options;
}

void StoredSettings::setOlderLocationOverride (const juce::File& file) { olderLocationOverride() = file; }

const juce::StringPairArray& StoredSettings::getDefaults()
{
    static const juce::StringPairArray defaults = []
    {
        juce::StringPairArray d;
        d.set ("preroll", "10");
        d.set ("indexoffset", "10");
        d.set ("defaultpause", "150");
        d.set ("defaulttablelayout", "");
        d.set ("timedisplay", "1");
        d.set ("audioDeviceState", "");
        d.set ("email", "");
        return d;
    }();
    return defaults;
}

std::unique_ptr<juce::PropertiesFile> StoredSettings::openOlderFile() const
{
    if (olderLocationOverride() != juce::File())
        return std::make_unique<juce::PropertiesFile> (olderLocationOverride(), getOlderLocationOptions());

    return std::make_unique<juce::PropertiesFile> (getOlderLocationOptions());
}

void StoredSettings::flush()
{
    props.reset(); // the library writes pending changes when the file object goes
    props = std::make_unique<juce::PropertiesFile> (getOptions());

    if (props->getFile().existsAsFile())
        return;

    auto older = openOlderFile();

    if (older->getFile().existsAsFile())
    {
        props->addAllPropertiesFrom (*older);
        return;
    }

    const auto& defaults = getDefaults();
    for (int i = 0; i < defaults.size(); ++i)
        props->setValue (defaults.getAllKeys()[i], defaults.getAllValues()[i]);
}
