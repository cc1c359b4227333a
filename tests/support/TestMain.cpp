// One main for every test executable: JUCE's GUI subsystem is initialised once for the
// whole run, and one application object answers the product hooks.

#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

TestApplication& TestApplication::get()
{
    return *dynamic_cast<TestApplication*> (juce::JUCEApplicationBase::getInstance());
}

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    juce::ScopedJuceInitialiser_GUI juce;
    TestApplication application;

    return RUN_ALL_TESTS();
}
