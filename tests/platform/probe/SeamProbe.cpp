// A library of its own that reaches the platform's process-wide state, as a
// plug-in does: what it sees must be what the program installed, not a copy
// of its own.
#include "platform/LogHook.h"
#include "platform/MessageBox.h"
#include "platform/ProgramInfo.h"
#include "platform/SettingsStore.h"
#include "platform/TempFiles.h"

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

PROBE_EXPORT int probeAsk(const QString &text)
{
    return jx::msgBox(text, jx::YesNo);
}

PROBE_EXPORT jx::ILogWriter *probeWriter()
{
    return jx::LogHook::writer();
}

PROBE_EXPORT bool probeRecord(const QString &message)
{
    return jx::LogHook::writeOperation(QStringLiteral("probe"), 7, QStringLiteral("admin"), message);
}

PROBE_EXPORT void probeFacts(QString *title, QString *settingsRoot, QString *tempFolder)
{
    *title = jx::ProgramInfo::title();
    *settingsRoot = jx::SettingsStore::rootFolder();
    *tempFolder = jx::tempFolder();
}
