// Program entry: the application object, the main window, then the data
// module; the main window's show handler runs the rest of the start-up.
#include "analysis/analysis.h"
#include "platform/application.h"
#include "shell/data/ubazy.h"
#include "shell/startup.h"
#include "shell/umain.h"

int main(int argc, char** argv)
{
    // Before any thread starts, so that every thread inherits the mask.
    CloseOnTerminationSignals();
    // Before anything can touch the embedded database engine.
    EnsureFirebirdLockFolder();

    PitrovaApplication app(argc, argv);
    ApplyDarkTheme(app);

    Form1 = new TForm1(CommandLineArguments());
    InstallAnalysis(Form1->Analysis, *Form1);
    DM = new TDM;
    Form1->showMaximized();
    const int result = app.exec();

    delete Form1;
    delete DM;
    DM = nullptr;
    return result;
}
