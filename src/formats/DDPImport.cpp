#include "disc/CDItem.h"
#include "formats/DDPReader.h"

bool CDItem::importDDP (juce::File folder, juce::BlowFish* runCipher)
{
    cipher = runCipher;
    if (runCipher == nullptr)
        return false;

    return DDPReader (*this, folder, *runCipher).read();
}
