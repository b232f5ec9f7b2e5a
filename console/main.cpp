#include "controls/ControlsAccessibility.h"
#include "console/startup/ConsoleSession.h"
#include "console/startup/RuntimeClasses.h"
#include "console/startup/bMain.h"
#include "platform/QtTranslations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    jx::installQtTranslations(app);
    qvcontrols::installAccessibility();
    jx::RegisterRuntimeClasses();
    jx::ConsoleSession session;
    if (!jx::Main(session))
        return 1;
    const int rc = app.exec();
    // Normally done when the main window closed; a quit by any other route
    // must still release the shared objects before the runtime goes away.
    session.Shutdown();
    delete session.splash.data();
    delete session.mainWindow.data();
    return rc;
}
