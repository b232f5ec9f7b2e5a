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
    return app.exec();
}
