#include "app/MainWindow.h"
#include "app/StoredSettings.h"

#include "support/MainScreenFixture.h"

namespace
{
class DiscFields : public ShownMainScreenFixture
{
public:
    void SetUp() override
    {
        ShownMainScreenFixture::SetUp();
        openShown();
        loadFiles (makeFiles ({ 400 }));
        screen->getMcnEditor().setVisible (true);
    }

    // Types into a field as a user does: every change is checked as it happens.
    void type (juce::TextEditor& field, const juce::String& text)
    {
        focus (field);
        field.insertTextAtCaret (text);
        TestHelpers::pumpMessages (20);
    }

    void replace (juce::TextEditor& field, const juce::String& text)
    {
        focus (field);
        field.selectAll();
        field.insertTextAtCaret (text);
        TestHelpers::pumpMessages (20);
    }

    static bool markedInvalid (juce::TextEditor& field)
    {
        return field.findColour (juce::TextEditor::focusedOutlineColourId) == juce::Colours::red;
    }
};

TEST_F (DiscFields, TheTwelfthDigitBringsTheCheckDigit)
{
    auto& mcn = screen->getMcnEditor();
    type (mcn, "123456789012");
    EXPECT_EQ (mcn.getText(), "1234567890128");
    EXPECT_EQ (mcn.getHighlightedRegion(), juce::Range<int> (12, 13));
    EXPECT_FALSE (markedInvalid (mcn));

    // Deleting it again leaves twelve digits, marked invalid, and nothing is appended.
    mcn.setHighlightedRegion ({ 12, 13 });
    mcn.deleteBackwards (false);
    TestHelpers::pumpMessages (20);
    EXPECT_EQ (mcn.getText(), "123456789012");
    EXPECT_TRUE (markedInvalid (mcn));
}

TEST_F (DiscFields, TheMcnIsCheckedWithoutItsHyphensButStoredWithThem)
{
    auto& mcn = screen->getMcnEditor();
    for (auto [text, valid] : { std::pair { "12345678901234", false }, { "12345678901234567890123456", false },
                                { "12345678901AB", false }, { "", true }, { "12-34567-89012-8", true } })
    {
        replace (mcn, text);
        EXPECT_EQ (markedInvalid (mcn), ! valid) << text;
    }

    focus (*screen);
    EXPECT_EQ (disc().mcn, "12-34567-89012-8");
    EXPECT_EQ (undoNames().strings.getLast(), "Change disc MCN");
}

TEST_F (DiscFields, TitlesAreCheckedAsTheyAreTyped)
{
    auto& title = screen->getAlbumTitleEditor();
    for (auto [text, valid] : { std::pair { juce::String::repeatedString ("x", 160), true },
                                { juce::String::repeatedString ("x", 161), false },
                                { juce::String (juce::CharPointer_UTF8 ("Caf\xc3\xa9")), true },
                                { juce::String (juce::CharPointer_UTF8 ("\xe2\x82\xac")), false },
                                { juce::String ("a\tb"), false } })
    {
        replace (title, text);
        EXPECT_EQ (markedInvalid (title), ! valid) << text;
    }
}

TEST_F (DiscFields, AnInvalidFieldKeepsTheFocusAndRecordsNothing)
{
    auto& title = screen->getAlbumTitleEditor();
    const auto before = undoNames();

    replace (title, juce::String::repeatedString ("x", 161));
    focus (*screen);
    EXPECT_TRUE (title.hasKeyboardFocus (false));
    EXPECT_EQ (disc().title, "");
    EXPECT_EQ (undoNames(), before);

    replace (title, "Album");
    focus (*screen);
    EXPECT_FALSE (title.hasKeyboardFocus (false));
    EXPECT_EQ (disc().title, "Album");
    EXPECT_EQ (undoNames().strings.getLast(), "Change disc title");
    EXPECT_EQ (undoNames().size(), before.size() + 1);

    // Leaving a field unchanged records nothing.
    focus (title);
    focus (*screen);
    EXPECT_EQ (undoNames().size(), before.size() + 1);

    // Undo shows the old title in the field.
    screen->getUndoManager().undo();
    EXPECT_EQ (title.getText(), "");
}

TEST_F (DiscFields, ReturnCommitsTheField)
{
    auto& performer = screen->getAlbumPerformerEditor();
    replace (performer, "Artist");
    performer.keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    TestHelpers::pumpMessages (20);
    EXPECT_EQ (disc().performer, "Artist");
    EXPECT_EQ (undoNames().strings.getLast(), "Change disc performer");
    EXPECT_EQ (performer.getTooltip(), "Artist");
}

//==================================================================================================
class Commands : public MainScreenFixture
{
public:
    void SetUp() override
    {
        MainScreenFixture::SetUp();
        ui.answerAlert (0);
        window = std::make_unique<MainWindow> ("Orvane Inc. (Demo) Tavlo");
        screen.reset (window->getMainComponent()); // the window owns it: see TearDown
    }

    void TearDown() override
    {
        screen.release();
        window.reset();
        MainScreenFixture::TearDown();
    }

    juce::ApplicationCommandInfo info (juce::CommandID id)
    {
        juce::ApplicationCommandInfo result (id);
        screen->getCommandInfo (id, result);
        return result;
    }

    std::unique_ptr<MainWindow> window;
};

TEST_F (Commands, TheMenusHoldTheFiveCommands)
{
    EXPECT_EQ (screen->getMenuBarNames(), juce::StringArray ({ "Tools", "Edit", "Help" }));

    const auto ids = [this] (int menu)
    {
        juce::Array<int> result;
        const auto popup = screen->getMenuForIndex (menu, {});
        for (juce::PopupMenu::MenuItemIterator item (popup); item.next();)
            result.add (item.getItem().itemID);
        return result;
    };
    EXPECT_EQ (ids (0), juce::Array<int> ({ 0x2000 }));
    EXPECT_EQ (ids (1), juce::Array<int> ({ 0x2003, 0x2004 }));
    EXPECT_EQ (ids (2), juce::Array<int> ({ 0x2001, 0x2002 }));
    EXPECT_TRUE (ids (3).isEmpty());

    juce::Array<juce::CommandID> all;
    screen->getAllCommands (all);
    EXPECT_EQ (all, juce::Array<juce::CommandID> ({ 0x2000, 0x2001, 0x2002, 0x2003, 0x2004 }));

    struct Expected
    {
        int id;
        const char *name, *description;
    };
    for (const auto& e : { Expected { 0x2000, "Audio Settings", "Change audio settings" },
                           Expected { 0x2001, "Instructions", "Download Instruction Pdf" },
                           Expected { 0x2002, "About", "Show about box" },
                           Expected { 0x2003, "Undo", "Undoes the last operation." },
                           Expected { 0x2004, "Redo", "Redoes the last operation." } })
    {
        const auto i = info (e.id);
        EXPECT_EQ (i.shortName, e.name);
        EXPECT_EQ (i.description, e.description);
        EXPECT_EQ (i.categoryName, "General");
    }

    const auto command = juce::ModifierKeys::commandModifier;
    EXPECT_EQ (info (0x2003).defaultKeypresses, juce::Array<juce::KeyPress> ({ juce::KeyPress ('z', command, 0) }));
    EXPECT_EQ (info (0x2004).defaultKeypresses,
               juce::Array<juce::KeyPress> ({ juce::KeyPress ('z', command | juce::ModifierKeys::shiftModifier, 0),
                                              juce::KeyPress ('y', command, 0) }));
}

TEST_F (Commands, KeysReachUndoAndRedoButNotWhileThePreviewPlays)
{
    loadFiles (makeFiles ({ 400 }));
    ASSERT_EQ (disc().items.size(), 1);
    EXPECT_TRUE ((info (0x2003).flags & juce::ApplicationCommandInfo::isDisabled) == 0);
    EXPECT_TRUE ((info (0x2004).flags & juce::ApplicationCommandInfo::isDisabled) != 0);

    auto& mappings = *window->getCommandManager().getKeyMappings();
    const auto command = juce::ModifierKeys::commandModifier;

    mappings.keyPressed (juce::KeyPress ('z', command, 0), screen.get());
    TestHelpers::pumpMessages (30);
    EXPECT_TRUE (disc().items.isEmpty());

    mappings.keyPressed (juce::KeyPress ('y', command, 0), screen.get());
    TestHelpers::pumpMessages (30);
    EXPECT_EQ (disc().items.size(), 1);

    // While the preview timer runs every command is inactive.
    screen->startTimer (40);
    for (int id = 0x2000; id <= 0x2004; ++id)
        EXPECT_TRUE ((info (id).flags & juce::ApplicationCommandInfo::isDisabled) != 0) << id;
    mappings.keyPressed (juce::KeyPress ('z', command, 0), screen.get());
    TestHelpers::pumpMessages (30);
    EXPECT_EQ (disc().items.size(), 1);
    screen->stopTimer();
}

TEST_F (Commands, TheAudioSettingsAreStoredWhenTheDialogCloses)
{
    auto& settings = StoredSettings::getInstance()->getProps();
    settings.setValue ("audioDeviceState", "<stale/>");

    bool holdsSelector = false;
    juce::Rectangle<int> size;
    ui.whileDialogIsOpen (
        [&] (juce::Component& content)
        {
            holdsSelector = dynamic_cast<juce::AudioDeviceSelectorComponent*> (content.getChildComponent (0)) != nullptr;
            size = content.getLocalBounds();
        });

    screen->perform (juce::ApplicationCommandTarget::InvocationInfo (0x2000));

    ASSERT_EQ (ui.getCalls ("dialog").size(), 1u);
    EXPECT_EQ (ui.getCalls ("dialog")[0].title, "Audio Settings");
    EXPECT_TRUE (holdsSelector);
    EXPECT_EQ (size, juce::Rectangle<int> (500, 450));

    // The device manager's state replaces the stored one, and the file is written at once.
    EXPECT_NE (settings.getValue ("audioDeviceState"), "<stale/>");
    const auto written = settings.getFile().loadFileAsString();
    EXPECT_TRUE (written.contains ("audioDeviceState"));
    EXPECT_FALSE (written.contains ("stale"));
}

TEST_F (Commands, TheAboutBoxAndTheInstructions)
{
    int width = 0;
    ui.whileDialogIsOpen ([&] (juce::Component& content) { width = content.getWidth(); });

    screen->perform (juce::ApplicationCommandTarget::InvocationInfo (0x2002));
    EXPECT_EQ (ui.getCalls ("dialog").back().title, "About");
    EXPECT_EQ (width, 680);

    screen->perform (juce::ApplicationCommandTarget::InvocationInfo (0x2001));
    ASSERT_EQ (ui.getCalls ("url").size(), 1u);
    EXPECT_TRUE (ui.getCalls ("url")[0].text.endsWith (".pdf"));

    EXPECT_FALSE (screen->perform (juce::ApplicationCommandTarget::InvocationInfo (0x3000)));
}
} // namespace
