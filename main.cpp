// qen: start-up and shut-down of the alliance client.
#include "foundation/untData.h"
#include "foundation/untPublic.h"
#include "shell/untMain.h"
#include "signin/untLogin.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv); // the program reads no command line of its own
    QApplication::setOrganizationName(QStringLiteral("qen"));
    InitPublic(); // settings path, settings file object, LoadSettings

    new TfrmData(&app); // the data module, owned by the application (frmData)
    SysSet.LoginOk = false;

    // Only a sign-in the server accepted leads on; otherwise the program ends quietly.
    int exitCode = 0;
    if (RunLogin()) {
        TfrmMain mainWindow(true);
        mainWindow.showMaximized();
        mainWindow.activateWindow(); // also where no window manager hands out the focus
        exitCode = QApplication::exec();
    }

    FinalizePublic();
    return exitCode;
}
