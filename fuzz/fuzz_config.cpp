// The console's configuration file: clsConfig Init on arbitrary bytes, then
// every value it read.

#include "FuzzScratch.h"

#include "console/config/bCommon.h"
#include "console/config/clsConfig.h"
#include "platform/com/RuntimeError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FuzzScratch scratch;
    static const bool appPathSet = (jx::SetAppPath(scratch.path()), true);
    (void)appPathSet;
    const QString file = scratch.write(QStringLiteral("JxMain1.exe.Config"), data, size);
    jx::clsConfig config;
    if (!config.Init(file))
        return 0;
    // Numeric values outside their range raise run-time errors when read: that is their contract.
    try {
        config.TreeWidth();
    } catch (const com::RuntimeError &) {
    }
    try {
        config.SplashDelay();
    } catch (const com::RuntimeError &) {
    }
    config.Caption();
    config.RootCaption();
    config.HelpFileName();
    config.AutoRegister();
    return 0;
}
