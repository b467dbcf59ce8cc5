#include "app/StoredSettings.h"

#include "support/TestHelpers.h"

#include <gtest/gtest.h>

namespace
{
class StoredSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        StoredSettings::deleteInstance();
        previousHome = juce::SystemStats::getEnvironmentVariable ("HOME", {});
        setenv ("HOME", home.get().getFullPathName().toRawUTF8(), 1);
    }

    void TearDown() override
    {
        StoredSettings::deleteInstance();
        StoredSettings::setOlderLocationOverride ({});
        setenv ("HOME", previousHome.toRawUTF8(), 1);
    }

    juce::File settingsFile() const { return (home / "Orvane_Inc._(Demo)_Tavlo").getChildFile ("Orvane_Inc.settings"); }

    // The keys and values stored in a settings file, in file order.
    static juce::StringPairArray readFile (const juce::File& file)
    {
        juce::StringPairArray values;
        if (auto xml = juce::parseXML (file))
            for (auto* value : xml->getChildWithTagNameIterator ("VALUE"))
                values.set (value->getStringAttribute ("name"), value->getStringAttribute ("val"));
        return values;
    }

    static void writeFile (const juce::File& file, const juce::StringPairArray& values)
    {
        juce::PropertiesFile props (file, StoredSettings::getOptions());
        for (auto& key : values.getAllKeys())
            props.setValue (key, values[key]);
        ASSERT_TRUE (props.save());
    }

    TestHelpers::TempFolder home;
    juce::String previousHome;
};

TEST_F (StoredSettingsTest, TheFileLivesUnderTheHomeFolder)
{
    EXPECT_EQ (StoredSettings::getOptions().getDefaultFile(), settingsFile());
    EXPECT_EQ (StoredSettings::getInstance()->getProps().getFile(), settingsFile());
}

TEST_F (StoredSettingsTest, AFirstRunWritesExactlyTheSevenDefaults)
{
    ASSERT_FALSE (settingsFile().exists());
    StoredSettings::getInstance();
    StoredSettings::deleteInstance();

    const auto stored = readFile (settingsFile());
    EXPECT_EQ (stored.getAllKeys(), juce::StringArray ({ "preroll", "indexoffset", "defaultpause", "defaulttablelayout",
                                                         "timedisplay", "audioDeviceState", "email" }));
    EXPECT_EQ (stored.getAllValues(), juce::StringArray ({ "10", "10", "150", "", "1", "", "" }));
}

TEST_F (StoredSettingsTest, AnOlderFileIsCarriedOverWithoutDefaults)
{
    const auto older = (home / "older").getChildFile ("Orvane_Inc.settings");
    juce::StringPairArray olderValues;
    olderValues.set ("defaultpause", "75");
    olderValues.set ("email", "someone@example.com");
    writeFile (older, olderValues);
    StoredSettings::setOlderLocationOverride (older);

    auto& props = StoredSettings::getInstance()->getProps();
    EXPECT_EQ (props.getValue ("defaultpause"), "75");
    EXPECT_EQ (props.getValue ("email"), "someone@example.com");
    EXPECT_FALSE (props.containsKey ("preroll"));
    EXPECT_EQ (props.getValue ("indexoffset", "10").getIntValue(), 10); // read through the fallback

    StoredSettings::deleteInstance();
    EXPECT_EQ (readFile (settingsFile()), olderValues);
    EXPECT_TRUE (older.existsAsFile());
}

TEST_F (StoredSettingsTest, AnExistingFileIsReadAsItIs)
{
    juce::StringPairArray values;
    values.set ("email", "x@example.com");
    writeFile (settingsFile(), values);

    auto& props = StoredSettings::getInstance()->getProps();
    EXPECT_EQ (props.getAllProperties(), values);
}

TEST_F (StoredSettingsTest, AChangeIsOnDiskThreeSecondsLaterAndAtShutdown)
{
    StoredSettings::getInstance()->flush(); // the defaults are on disk now
    auto& props = StoredSettings::getInstance()->getProps();

    props.setValue ("email", "later@example.com");
    EXPECT_EQ (readFile (settingsFile())["email"], "");
    EXPECT_TRUE (
        TestHelpers::pumpUntil ([this] { return readFile (settingsFile())["email"] == "later@example.com"; }, 4500));

    props.setValue ("defaultpause", "300");
    StoredSettings::deleteInstance();
    EXPECT_EQ (readFile (settingsFile())["defaultpause"], "300");

    // The next run reads what the last one wrote.
    EXPECT_EQ (StoredSettings::getInstance()->getProps().getValue ("defaultpause"), "300");
}

TEST_F (StoredSettingsTest, IncISRCIsNeverWrittenAndReadsAsOne)
{
    auto& props = StoredSettings::getInstance()->getProps();
    EXPECT_EQ (props.getValue ("incISRC", "1").getIntValue(), 1);
    StoredSettings::deleteInstance();
    EXPECT_FALSE (readFile (settingsFile()).containsKey ("incISRC"));
}

TEST_F (StoredSettingsTest, GetInstanceGivesOneInstanceUntilDeleted)
{
    auto* first = StoredSettings::getInstance();
    EXPECT_EQ (StoredSettings::getInstance(), first);
    StoredSettings::deleteInstance();
    StoredSettings::deleteInstance(); // a second delete is harmless
    EXPECT_NE (StoredSettings::getInstance(), nullptr);
}
} // namespace
