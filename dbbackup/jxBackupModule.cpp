// Entry points of the jxBackup server library.

#include "BackupManager.h"
#include "DailyBackup.h"

#include "extplugin/IExtPluginUI.h"
#include "platform/com/ServerModule.h"
#include "startupplugin/IStartupPlugin.h"

#define JXBACKUP_CLSID_DAILYBACKUP "{2B6F4C82-5D3E-4A97-B0C2-7E8D9F1A2B34}"
#define JXBACKUP_CLSID_BACKUPMANAGER "{2B6F4C83-5D3E-4A97-B0C2-7E8D9F1A2B34}"

QV_TYPE_LIBRARY("library jxBackup 1.0 {2B6F4C81-5D3E-4A97-B0C2-7E8D9F1A2B34}\n"
                "coclass DailyBackup " JXBACKUP_CLSID_DAILYBACKUP "\n"
                "  implements IStartupPlugin " QV_IID_ISTARTUPPLUGIN "\n"
                "coclass BackupManager " JXBACKUP_CLSID_BACKUPMANAGER "\n"
                "  implements _IExtPluginUI " QV_IID_IEXTPLUGINUI "\n");

namespace {

constexpr CLSID CLSID_DailyBackup = com::guidLiteral(JXBACKUP_CLSID_DAILYBACKUP);
constexpr CLSID CLSID_BackupManager = com::guidLiteral(JXBACKUP_CLSID_BACKUPMANAGER);

const com::ServedClass kServedClasses[] = {com::servedClass<DailyBackup>(CLSID_DailyBackup),
                                           com::servedClass<BackupManager>(CLSID_BackupManager)};

} // namespace

QV_SERVER_ENTRY_POINTS(kServedClasses)
