// The start-up plug-ins named in the configuration file, run at stage 100
// (before the database is opened) and 101 (after sign-in). Declared in bMain.h.

#include "console/config/bCommon.h"
#include "console/log/Logger.h"
#include "console/startup/ConsoleSession.h"
#include "console/startup/bMain.h"
#include "platform/Numeric.h"
#include "platform/com/Bstr.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ErrorInfo.h"
#include "startupplugin/IStartupPlugin.h"

#include <exception>

namespace jx {

namespace {

const QString kSource = QStringLiteral("RunStartupPlugins");

QString takeText(HRESULT hr, BSTR text)
{
    const QString s = com::fromBstr(text);
    SysFreeString(text);
    com::throwIfFailed(hr, kSource);
    return s;
}

void putText(StartupSettings *settings, HRESULT (StartupSettings::*put)(BSTR), const QString &text)
{
    BSTR b = com::toBstr(text);
    const HRESULT hr = (settings->*put)(b);
    SysFreeString(b);
    com::throwIfFailed(hr, kSource);
}

// One entry: create, fill, Start, Run, report, Stop.
void runEntry(ConsoleSession &session, const QString &progId)
{
    const com::ComPtr<IDispatch> object = com::createObject(progId);
    com::ComPtr<IStartupPlugin> plugin;
    if (FAILED(object->QueryInterface(IID_IStartupPlugin, plugin.putVoid())) || !plugin)
        throw com::RuntimeError::of(com::errors::NoAutomationInterface, kSource);

    clsConfig &config = *session.Config();
    com::ComPtr<StartupSettings> settings;
    com::throwIfFailed(plugin->get_Settings(settings.put()), kSource);
    if (!settings)
        throw com::RuntimeError::of(com::errors::ObjectVariableNotSet, kSource);
    putText(settings.get(), &StartupSettings::put_ConfigFile, config.ConfigFileName());
    putText(settings.get(), &StartupSettings::put_AppPath, AppPath());
    putText(settings.get(), &StartupSettings::put_Caption, config.Caption());
    if (AppContext *context = session.AppContext()) {
        const int32_t number = context->SystemState(context->SystemCode(12), 0).State();
        com::throwIfFailed(settings->put_SystemNumber(number), kSource);
        putText(settings.get(), &StartupSettings::put_CompanyName, context->Company().DisplayName());
    }

    com::throwIfFailed(plugin->Start(), kSource);
    BSTR commandLine = nullptr;
    BSTR result = nullptr;
    const HRESULT ran = plugin->Run(&commandLine, &result);
    SysFreeString(commandLine);
    takeText(ran, result);

    com::ComPtr<StartupError> error;
    com::throwIfFailed(plugin->get_LastError(error.put()), kSource);
    if (!error)
        throw com::RuntimeError::of(com::errors::ObjectVariableNotSet, kSource);
    BSTR description = nullptr;
    const HRESULT described = error->get_Description(&description);
    const QString problem = takeText(described, description);
    if (!problem.isEmpty()) {
        WriteLog(problem + QStringLiteral("\r\n\r\n") + QStringLiteral("程序继续运行！"), LogWarning, QString());
    } else if (session.CurrentUser() && !session.CurrentUser()->UserName().isEmpty()) {
        BSTR name = nullptr;
        const HRESULT named = plugin->get_Name(&name);
        WriteOperation(QStringLiteral("运行插件[") + takeText(named, name) + QStringLiteral("]"), 0, QString());
    }
    com::throwIfFailed(plugin->Stop(), kSource);
}

} // namespace

void RunStartupPlugins(ConsoleSession &session, int style)
{
    clsConfig *config = session.Config();
    XmlDocument *xml = config ? config->XML() : nullptr;
    if (!xml)
        return;
    try {
        const int32_t count = xml->Count(QStringLiteral("/configuration/system/plugins/plugin"));
        for (int32_t i = 0; i < count; ++i) {
            const QString p = QStringLiteral("/configuration/system/plugins/plugin[%1]").arg(i);
            if (toText(xml->GetAttribute(p, QStringLiteral("active"))) != QStringLiteral("加载"))
                continue;
            if (val(toText(xml->GetValue(p + QStringLiteral("/style")))) != style)
                continue;
            runEntry(session, toText(xml->GetValue(p + QStringLiteral("/classname"))));
        }
    } catch (...) {
        try {
            WriteLog(QStringLiteral("插件运行时发生错误，原因：") + com::currentErrorDescription() + QStringLiteral("\r\n\r\n") + QStringLiteral("主程序继续运行!"),
                     LogWarning, QStringLiteral("错误："));
        } catch (const std::exception &) {
            // start-up goes on even without a log
        }
    }
}

} // namespace jx
