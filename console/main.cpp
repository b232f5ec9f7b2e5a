#include "console/startup/ComponentsRuntime.h"
#include "console/startup/bMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    jx::ComponentsRuntime runtime;
    jx::StartupOptions options;
    options.factory = &runtime;
    if (!jx::Main(options))
        return 1;
    const int rc = app.exec();
    // Normally done when the main window closed; a quit by any other route
    // must still release the shared objects before the runtime goes away.
    jx::Shutdown();
    return rc;
}
