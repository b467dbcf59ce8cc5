#include "app/AboutDialog.h"
#include "app/Branding.h"
#include "app/SplashDialog.h"

#include "support/ScriptedUserInteraction.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

namespace
{
TEST (SplashPanel, NamesThePlantAndLinksItsLogo)
{
    ScriptedUserInteraction ui;
    SplashDialog splash;
    splash.resized();

    EXPECT_EQ (splash.getBounds(), juce::Rectangle<int> (487, 314));
    EXPECT_EQ (splash.getHeading().getText(), "This software is presented to you by");
    EXPECT_EQ (splash.getHeading().getBounds(), juce::Rectangle<int> (12, 9, 487 - 24, 24));
    EXPECT_TRUE (splash.getHeading().getFont().isBold());
    EXPECT_EQ (splash.getHeading().getFont().getHeight(), 15.0f);

    auto& logo = splash.getLogo();
    EXPECT_EQ (logo.getImage().getBounds(), juce::Rectangle<int> (299, 200));
    EXPECT_EQ (logo.getBounds(), juce::Rectangle<int> ((487 - 299) / 2, 33, 299, 200));
    EXPECT_EQ (logo.getTooltip(), juce::String (Branding::plantWebPage));
    EXPECT_EQ (logo.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::PointingHandCursor));

    EXPECT_EQ (splash.getContinueButton().getBounds(), juce::Rectangle<int> ((487 - 150) / 2, 268, 150, 24));
    EXPECT_EQ (splash.getContinueButton().getTooltip(), "Continue");

    // A click on the logo opens the plant's page and leaves the splash where it is.
    juce::ResizableWindow window ("splash", true);
    window.setContentNonOwned (&splash, true);
    window.setVisible (true);
    logo.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f, 0.0f, 0.0f,
                                      0.0f, &logo, &logo, juce::Time::getCurrentTime(), {}, juce::Time::getCurrentTime(),
                                      1, false));
    ASSERT_EQ (ui.getCalls ("url").size(), 1u);
    EXPECT_EQ (ui.getCalls ("url")[0].text, Branding::plantWebPage);
    EXPECT_TRUE (window.isVisible());

    splash.buttonClicked (&splash.getContinueButton());
    EXPECT_FALSE (window.isVisible());
    window.clearContentComponent();
}

TEST (SplashPanel, ALogoWithoutAWellFormedAddressOpensNothing)
{
    ScriptedUserInteraction ui;
    HyperlinkImage image ({}, juce::URL ("not an address"));
    image.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f, 0.0f, 0.0f,
                                       0.0f, &image, &image, juce::Time::getCurrentTime(), {},
                                       juce::Time::getCurrentTime(), 1, false));
    EXPECT_TRUE (ui.getCalls().empty());
}

TEST (AboutPanel, NamesTheApplicationItsVersionAndItsMaker)
{
    AboutDialog about;
    about.resized();
    EXPECT_EQ (about.getBounds(), juce::Rectangle<int> (680, 282));

    struct Line
    {
        juce::Component* component;
        int y;
        juce::String text;
        bool bold;
    };
    const auto year = juce::Time::getCurrentTime().getYear();
    for (const auto& line : { Line { &about.versionLabel, 24, "Orvane Inc. (Demo) Tavlo Version 3.0.1.0", false },
                              Line { &about.noticeLabel, 56, AboutDialog::makerNotice (year), false },
                              Line { &about.nameLabel, 104, "Orvane Inc. (Demo) Tavlo", true },
                              Line { &about.poweredByLabel, 136, "powered by", true },
                              Line { &about.makerLink, 168, "Kalmera Audio Engineering", false },
                              Line { &about.taglineLabel, 200, "Professional Mastering Software", true } })
    {
        SCOPED_TRACE (line.text);
        EXPECT_EQ (line.component->getBounds(), juce::Rectangle<int> (352, line.y, 316, 24));
        if (auto* label = dynamic_cast<juce::Label*> (line.component))
        {
            EXPECT_EQ (label->getText(), line.text);
            EXPECT_EQ (label->getFont().isBold(), line.bold);
            EXPECT_EQ (label->getJustificationType(), juce::Justification::centred);
            EXPECT_FALSE (label->isEditable());
        }
        else if (auto* link = dynamic_cast<juce::HyperlinkButton*> (line.component))
        {
            EXPECT_EQ (link->getButtonText(), line.text);
            EXPECT_EQ (link->getURL().toString (false), juce::String (Branding::makerWebSite));
        }
    }

    EXPECT_TRUE (AboutDialog::makerNotice (year).contains (juce::String (year)));
    EXPECT_TRUE (AboutDialog::makerNotice (2031).contains ("2031 Kalmera Audio Engineering"));
}

TEST (AboutPanel, ShowsTheMakersLogoOnWhite)
{
    AboutDialog about;
    const auto image = TestHelpers::snapshot (about);
    EXPECT_EQ (image.getPixelAt (679, 281), juce::Colours::white);
    // The logo sits at x 24, centred vertically: its dark badge is there.
    EXPECT_LT (image.getPixelAt (24 + 70, 141).getBrightness(), 0.5f);
}
} // namespace
