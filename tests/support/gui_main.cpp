// main() of the widget tests: one application object for the whole run, the
// program's own (errors escaping an event handler reach the error box),
// offscreen unless a display was asked for, and the dialog layer in
// scripted mode, so no test waits on a box.
#include <gtest/gtest.h>

#include "platform/application.h"
#include "platform/dialogs.h"
#include "support/gui_main.h"

bool g_dialogsScriptedAtStart = false;

int main(int argc, char** argv)
{
    // The mode every process starts in, before this main() chose its own.
    g_dialogsScriptedAtStart = platform::testing::Scripted();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PitrovaApplication app(argc, argv);
    platform::testing::SetScripted(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
