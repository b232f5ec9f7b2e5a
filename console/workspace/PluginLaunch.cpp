#include "console/workspace/PluginLaunch.h"

#include "console/log/Logger.h"
#include "console/startup/ConsoleSession.h"
#include "console/startup/bMain.h"
#include "console/workspace/ProgramRecord.h"

#include "components/context/AppContext.h"
#include "components/context/CurrentUser.h"
#include "extplugin/PluginFactory.h"
#include "platform/Numeric.h"
#include "platform/com/Bstr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/RuntimeError.h"

namespace jx {

void PluginLaunch::run(ConsoleSession &session, int32_t programNumber, const QString &modeCode, const QString &caption)
{
    if (programNumber <= 0) {
        WriteLog(QStringLiteral("插件未定义！"), LogWarning, QStringLiteral("提示："));
        return;
    }
    ::AppContext *context = session.AppContext();
    try {
        if (!context || !context->Database())
            throw com::RuntimeError::of(91);
        ProgramRecord record(*context->Database());
        record.Load(programNumber);
        const QString className = trimBlanks(record.ClassName());
        if (!className.isEmpty()) {
            com::ComPtr<IExtPluginUI> plugin = extplugin::createPlugin(className);
            // Before anything asks the plug-in for its name: a plug-in may
            // name itself after its caption.
            extplugin::addParameters(plugin.get(), {{QStringLiteral("ProgID"), QVariant(programNumber)},
                                                    {QStringLiteral("ModeCode"), QVariant(modeCode)},
                                                    {QStringLiteral("Caption"), QVariant(caption)},
                                                    {QStringLiteral("CommandLine"), QVariant(record.CommandLine())}});
            WriteLog(QStringLiteral("检查外接程序的程序权限操作，progID=") + QString::number(programNumber), LogProgress);
            if (!context->Rights(programNumber).Allowed(1)) {
                WriteLog(QStringLiteral("没有运行权限，请检查后再试"), LogNotice, QStringLiteral("提示："));
            } else {
                const QString friendly = extplugin::pluginFriendlyName(plugin.get());
                ShowStatus(session, QStringLiteral("正在初始化") + friendly + QStringLiteral("对象"));
                ::CurrentUser *user = session.CurrentUser();
                if (!user || !user->Verify()) {
                    WriteLog(user ? user->LastError().Description() : QString(), LogNotice);
                    return;
                }
                WriteOperation(QStringLiteral("操作插件[") + friendly + QStringLiteral("]"), 0);
                if (extplugin::startPlugin(plugin.get(), context, {})) {
                    ShowStatus(session, QStringLiteral("正在运行") + friendly);
                    BSTR commandLine = com::toBstr(QString());
                    VARIANT_BOOL done = 0;
                    const HRESULT hr = plugin->Action(&commandLine, &done);
                    SysFreeString(commandLine);
                    com::throwIfFailed(hr);
                }
                VARIANT_BOOL cleared = 0;
                plugin->Clear(&cleared);
            }
        }
    } catch (const std::exception &e) {
        WriteLog(QStringLiteral("程序执行错误，原因：") + com::errorDescription(e), LogError, QStringLiteral("错误："));
    }
    try {
        ShowStatus(session, QString());
    } catch (const std::exception &e) {
        Logger::WriteSwallowed(QStringLiteral("清除状态栏"), e);
    }
}

} // namespace jx
