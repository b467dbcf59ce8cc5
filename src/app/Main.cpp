#include "app/JucesApplication.h"

START_JUCE_APPLICATION (JucesApplication)
