#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Names the application and its version and credits its maker.
class AboutDialog : public juce::Component
{
public:
    static constexpr int width = 680;
    static constexpr int height = 282;

    AboutDialog();

    void paint (juce::Graphics&) override;
    void resized() override;

    // The maker's notice for a year.
    static juce::String makerNotice (int year);

    juce::Label versionLabel, noticeLabel, nameLabel, poweredByLabel, taglineLabel;
    juce::HyperlinkButton makerLink;

private:
    juce::Image logo;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutDialog)
};
