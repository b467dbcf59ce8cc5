#include "support/MainScreenFixture.h"

#include "app/StoredSettings.h"
#include "support/XWindows.h"

void MainScreenFixture::SetUp()
{
    DiscFixtures::setIntakeDefaults (150, 10);
    StoredSettings::getInstance()->getProps().setValue ("email", "");

    // Exports go into a temporary folder of the test's own.
    previousTmp = juce::SystemStats::getEnvironmentVariable ("TMPDIR", {});
    temporary = folder.get().getChildFile ("tmp");
    temporary.createDirectory();
    setenv ("TMPDIR", temporary.getFullPathName().toRawUTF8(), 1);
}

void MainScreenFixture::TearDown()
{
    screen.reset();
    DiscFixtures::setIntakeDefaults (150, 10);
    if (previousTmp.isEmpty())
        unsetenv ("TMPDIR");
    else
        setenv ("TMPDIR", previousTmp.toRawUTF8(), 1);
}

MainComponent& MainScreenFixture::open (int masterType)
{
    ui.answerAlert (masterType);
    screen = std::make_unique<MainComponent> (nullptr);
    screen->setBounds (0, 0, 921, 586);
    return *screen;
}

AlertReply MainScreenFixture::clientReply (const juce::String& job, const juce::String& email)
{
    AlertReply reply;
    reply.result = 1;
    reply.fields.set ("jobsrv", job);
    reply.fields.set ("email", email);
    return reply;
}

AlertReply MainScreenFixture::sliderReply (double value)
{
    AlertReply reply;
    reply.result = 1;
    reply.sliderValue = value;
    return reply;
}

void MainScreenFixture::loadFiles (const juce::Array<juce::File>& files, double pauseSeconds, bool expectClientQuestion)
{
    if (expectClientQuestion)
        ui.answerAlert (clientReply ("ab12345-2", "someone@example.com"));
    ui.answerAlert (sliderReply (pauseSeconds));
    ui.answerFiles (files);
    click (screen->getStartButton());
}

juce::Array<juce::File> MainScreenFixture::makeFiles (std::initializer_list<int> frames)
{
    juce::Array<juce::File> files;
    for (auto length : frames)
    {
        ++fileCount;
        files.add (DiscFixtures::makeWav (folder.get(), "track" + juce::String (fileCount).paddedLeft ('0', 2) + ".wav",
                                          (juce::int64) length * 588, fileCount));
    }
    return files;
}

void MainScreenFixture::click (juce::Button& button)
{
    ASSERT_TRUE (button.isEnabled()) << button.getButtonText();
    button.triggerClick();
    TestHelpers::pumpMessages (30);
}

TableEditor* MainScreenFixture::cell (int row, int column)
{
    grid().updateContent();
    grid().scrollToEnsureRowIsOnscreen (row);
    TestHelpers::pumpMessages (5);
    return dynamic_cast<TableEditor*> (grid().getCellComponent (column, row));
}

juce::StringArray MainScreenFixture::undoNames()
{
    juce::StringArray names;
    auto& undo = screen->getUndoManager();
    for (auto name : undo.getUndoDescriptions())
        names.insert (0, name);
    return names;
}

void ShownMainScreenFixture::TearDown()
{
    if (screen != nullptr)
        screen->removeFromDesktop();
    MainScreenFixture::TearDown();
}

MainComponent& ShownMainScreenFixture::openShown (int masterType)
{
    auto& shown = open (masterType);
    shown.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    shown.setVisible (true);
    shown.toFront (true);
    TestHelpers::pumpUntil ([&] { return shown.getPeer() != nullptr && shown.getPeer()->isFocused(); }, 5000);

    // The display's focus events for the new window may already sit in Xlib's queue, where they
    // would wait for the next traffic and then move the focus behind a test's back. Let them in now.
    XWindows::poke ((unsigned long) (juce::pointer_sized_uint) shown.getPeer()->getNativeHandle());
    TestHelpers::pumpMessages (100);
    return shown;
}

void ShownMainScreenFixture::focus (juce::Component& component)
{
    component.grabKeyboardFocus();
    TestHelpers::pumpUntil ([&] { return component.hasKeyboardFocus (false); }, 2000);
    TestHelpers::pumpMessages (20); // what the component that lost the focus does about it
}

void ShownMainScreenFixture::edit (int row, int column, const juce::String& text)
{
    auto* editor = cell (row, column);
    ASSERT_NE (editor, nullptr);
    focus (*editor);
    ASSERT_TRUE (editor->hasKeyboardFocus (false));
    editor->selectAll();
    editor->insertTextAtCaret (text);
    focus (*screen);
    TestHelpers::pumpMessages (10);
}

juce::MouseEvent ShownMainScreenFixture::mouseEvent (juce::Component& component, juce::ModifierKeys mods, bool dragged)
{
    const auto centre = component.getLocalBounds().getCentre().toFloat();
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), centre, mods, 0.0f, 0.0f, 0.0f, 0.0f,
                             0.0f, &component, &component, now, dragged ? centre.translated (20.0f, 10.0f) : centre,
                             now, 1, dragged);
}
