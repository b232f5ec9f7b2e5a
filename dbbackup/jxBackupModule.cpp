// Entry points of the jxBackup server library.

#include "BackupManager.h"
#include "DailyBackup.h"

#include "platform/com/ServerModule.h"

QV_TYPE_LIBRARY("library jxBackup 1.0 {2B6F4C81-5D3E-4A97-B0C2-7E8D9F1A2B34}\n"
                "coclass DailyBackup {2B6F4C82-5D3E-4A97-B0C2-7E8D9F1A2B34}\n"
                "  implements IStartupPlugin {903BC105-D797-48E0-9F1F-7F382ACCEC19}\n"
                "coclass BackupManager {2B6F4C83-5D3E-4A97-B0C2-7E8D9F1A2B34}\n"
                "  implements _IExtPluginUI {7B208C4B-37E6-4F8C-AC98-91E74163B50C}\n");

namespace {

// {2B6F4C82-5D3E-4A97-B0C2-7E8D9F1A2B34}
constexpr CLSID CLSID_DailyBackup = {0x2B6F4C82, 0x5D3E, 0x4A97, {0xB0, 0xC2, 0x7E, 0x8D, 0x9F, 0x1A, 0x2B, 0x34}};

// {2B6F4C83-5D3E-4A97-B0C2-7E8D9F1A2B34}
constexpr CLSID CLSID_BackupManager = {0x2B6F4C83, 0x5D3E, 0x4A97, {0xB0, 0xC2, 0x7E, 0x8D, 0x9F, 0x1A, 0x2B, 0x34}};

const com::ServedClass kServedClasses[] = {com::servedClass<DailyBackup>(CLSID_DailyBackup),
                                           com::servedClass<BackupManager>(CLSID_BackupManager)};

} // namespace

QV_SERVER_ENTRY_POINTS(kServedClasses)
