// The console's command-line object on arbitrary text. Whatever comes before
// it, a switch written last on the line is found with its value, and a new
// parse forgets the old line.

#include "console/workspace/CommandLineArgs.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    jx::CommandLineArgs args;
    args.Parse(line);
    args.Item(QStringLiteral("s"));
    args.Item(line);

    args.Parse(line + QStringLiteral(" /zq=last"));
    const jx::CommandLineArgs::Switch last = args.Item(QStringLiteral("ZQ"));
    if (!last.Exists || last.Value != QLatin1String("last"))
        std::abort();

    args.Parse(QStringLiteral("w=1"));
    if (args.Item(QStringLiteral("zq")).Exists)
        std::abort();
    return 0;
}
