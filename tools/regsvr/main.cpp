// regsvr: registers (or with -u unregisters) an in-process server library
// by calling its DllRegisterServer / DllUnregisterServer.

#include "platform/com/ErrorInfo.h"
#include "platform/com/InprocServer.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool unregister = args.removeAll(QStringLiteral("-u")) > 0;
    if (args.size() != 1) {
        std::fputs("usage: regsvr [-u] LIBRARY\n", stderr);
        return 2;
    }
    const QString path = QFileInfo(args.first()).absoluteFilePath();
    QString error;
    if (!com::InprocServer::load(path, &error)) {
        std::fprintf(stderr, "regsvr: cannot load %s: %s\n", qPrintable(path), qPrintable(error));
        return 1;
    }
    const HRESULT hr = com::InprocServer::callRegistration(path, !unregister);
    if (FAILED(hr)) {
        std::fprintf(stderr, "regsvr: %s failed: %s\n", unregister ? "DllUnregisterServer" : "DllRegisterServer",
                     qPrintable(com::describeHresult(hr)));
        return 1;
    }
    std::printf("%s %s\n", unregister ? "unregistered" : "registered", qPrintable(path));
    return 0;
}
