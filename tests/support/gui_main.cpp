// main() of the widget tests: one application object for the whole run, the
// program's own (errors escaping an event handler reach the error box),
// offscreen unless a display was asked for.
#include <gtest/gtest.h>

#include "platform/application.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PitrovaApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
