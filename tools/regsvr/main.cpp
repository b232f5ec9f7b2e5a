// regsvr: registers (or with -u unregisters) an in-process server library
// by calling its DllRegisterServer / DllUnregisterServer.

#include "platform/com/ErrorInfo.h"
#include "platform/com/InprocServer.h"
#include "platform/com/TypeLibrary.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Registers an in-process server library."));
    parser.addHelpOption();
    const QCommandLineOption unregisterOption(QStringLiteral("u"), QStringLiteral("Unregister instead."));
    parser.addOption(unregisterOption);
    parser.addPositionalArgument(QStringLiteral("library"), QStringLiteral("The server library file."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        std::fputs("usage: regsvr [-u] LIBRARY\n", stderr);
        return 2;
    }
    const bool unregister = parser.isSet(unregisterOption);
    const QString path = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    // Checked before the loader maps it: a truncated or damaged file would
    // otherwise take regsvr down with SIGBUS instead of a message.
    if (const auto lib = com::TypeLibrary::loadFromFile(path); !lib) {
        std::fprintf(stderr, "regsvr: cannot load %s: %s\n", qPrintable(path), qPrintable(lib.error()));
        return 1;
    }
    if (const auto loaded = com::InprocServer::load(path); !loaded) {
        std::fprintf(stderr, "regsvr: cannot load %s: %s\n", qPrintable(path), qPrintable(loaded.error()));
        return 1;
    }
    com::clearErrorInfo();
    const HRESULT hr = com::InprocServer::callRegistration(path, !unregister);
    if (FAILED(hr)) {
        const com::ErrorRecord why = com::takeErrorInfo();
        std::fprintf(stderr, "regsvr: %s of %s failed: %s\n", unregister ? "DllUnregisterServer" : "DllRegisterServer",
                     qPrintable(path),
                     qPrintable(why.description.isEmpty() ? com::describeHresult(hr) : why.description));
        return 1;
    }
    std::printf("%s %s\n", unregister ? "unregistered" : "registered", qPrintable(path));
    return 0;
}
