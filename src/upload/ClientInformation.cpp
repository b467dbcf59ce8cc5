#include "upload/ClientInformation.h"

#include "app/Branding.h"
#include "app/StoredSettings.h"
#include "app/UserInteraction.h"

namespace ClientInformation
{
namespace
{
AlertRequest dialog (const juce::String& emailAddress)
{
    AlertRequest request;
    request.icon = MessageIcon::question;
    request.title = "Client Information";
    request.textFields = { { "jobsrv", "Job Number", {} }, { "email", "Email Address", emailAddress } };
    request.note = AlertNote { "If you do not know your Job Number, please contact your " + juce::String (Branding::plantName)
                                   + " representative by phone or email.",
                               330, 72 };
    request.buttons = { { "Ok", 1, AlertButton::Key::returnKey }, { "Cancel", 0, AlertButton::Key::escapeKey } };
    return request;
}
} // namespace

void parseJobText (const juce::String& jobText, ClientDetails& details)
{
    details.jobNumber = jobText.upToFirstOccurrenceOf ("-", false, false);
    details.serverNumber = jobText.containsChar ('-') ? jobText.fromFirstOccurrenceOf ("-", false, false).getIntValue() : 0;
}

bool ask (ClientDetails& details)
{
    auto& ui = UserInteraction::current();
    auto& settings = StoredSettings::getInstance()->getProps();

    for (;;)
    {
        const auto reply = ui.runAlert (dialog (settings.getValue ("email", {})));
        if (reply.result != 1)
            return false;

        const auto jobText = reply.fields["jobsrv"].trim().toUpperCase();
        const auto email = reply.fields["email"].trim().toLowerCase();

        if (jobText.isEmpty() || email.isEmpty())
        {
            ui.showError ("Please enter a value in all fields.");
            continue;
        }

        if (! juce::URL::isProbablyAnEmailAddress (email))
        {
            ui.showMessage (MessageIcon::warning, "Invalid email address!", "Please enter a valid email address.", "OK");
            continue;
        }

        parseJobText (jobText, details);
        details.emailAddress = email;
        settings.setValue ("email", email);
        return true;
    }
}
} // namespace ClientInformation
