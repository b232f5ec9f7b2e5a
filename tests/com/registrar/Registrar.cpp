// A program the registry tests start twice at once: registers COUNT classes
// "PREFIX.ClassN", one registration at a time, as soon as GOFILE exists.

#include "platform/com/Guid.h"
#include "platform/com/InprocServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QUuid>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fputs("usage: qvregistrar PREFIX COUNT GOFILE\n", stderr);
        return 2;
    }
    const QString prefix = args[1];
    const int count = args[2].toInt();
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(args[3])) {
        if (waited.elapsed() > 30000)
            return 3;
        QThread::usleep(200);
    }
    for (int i = 0; i < count; ++i) {
        com::TypeLibrary lib;
        lib.name = prefix;
        const auto id = com::guidFromString(QUuid::createUuid().toString(QUuid::WithBraces));
        lib.types.append({com::TKIND_COCLASS, QStringLiteral("Class%1").arg(i), id.value_or(GUID_NULL), {}});
        if (const auto registered = com::InprocServer::registerLibrary(lib, app.applicationFilePath()); !registered) {
            std::fprintf(stderr, "%s\n", qPrintable(registered.error()));
            return 1;
        }
    }
    return 0;
}
