#include "dbbackup/BackupManager.h"

#include "dbbackup/frmBackup.h"

#include "extplugin/PluginAnswers.h"
#include "extplugin/PluginParameters.h"
#include "platform/LogHook.h"
#include "platform/Numeric.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/LateBound.h"

#include <QApplication>

using extplugin::answer;

BackupManager::BackupManager()
{
    if (FAILED(com::createInstance(CLSID_PluginParameters, IID_IDispatch, m_parameters.putVoid())))
        m_parameters = extplugin::createPluginParameters();
}

QString BackupManager::environment(const QString &member) const
{
    return com::toQVariant(com::getPath(m_system.get(), QStringLiteral("Environment.") + member)).toString();
}

QString BackupManager::signedInUser() const
{
    try {
        return com::toQVariant(com::getPath(m_system.get(), QStringLiteral("User.UserName"))).toString();
    } catch (const std::exception &) {
        return QString(); // no user attached: the record names none
    }
}

int32_t BackupManager::programNumber() const
{
    try {
        const com::Variant item = com::call(m_parameters.get(), QStringLiteral("Item"), {com::Variant::fromString(QStringLiteral("ProgID"))});
        return jx::clng(com::toQVariant(com::get(com::objectOf(item).get(), QStringLiteral("Value"))).toDouble());
    } catch (const std::exception &) {
        return 0;
    }
}

HRESULT BackupManager::Init(IDispatch **pcSystem, VARIANT_BOOL *result)
{
    return com::guarded([&] {
        if (!pcSystem || !*pcSystem)
            throw com::RuntimeError::of(com::errors::ObjectRequired, QStringLiteral("jxBackup"));
        m_system = com::ComPtr<IDispatch>(*pcSystem);
        return answer(result, true);
    });
}

HRESULT BackupManager::Clear(VARIANT_BOOL *result)
{
    m_system.reset();
    return answer(result, true);
}

HRESULT BackupManager::Configure(VARIANT_BOOL *result)
{
    return answer(result, false);
}

HRESULT BackupManager::get_Parameters(IDispatch **result)
{
    return answer(result, m_parameters.get());
}

HRESULT BackupManager::Action(BSTR *, VARIANT_BOOL *result)
{
    return com::guarded([&] {
        if (!m_system)
            throw com::RuntimeError::of(com::errors::ObjectRequired, QStringLiteral("jxBackup"));
        const QString user = signedInUser();
        const int32_t program = programNumber();
        frmBackup window(environment(QStringLiteral("ConfigFile")), environment(QStringLiteral("AppPath")),
                         [user, program](const QString &message) {
                             jx::LogHook::writeOperation(QStringLiteral("数据备份"), program, user, message);
                         },
                         QApplication::activeWindow());
        window.exec();
        return answer(result, true);
    });
}

HRESULT BackupManager::Help(VARIANT_BOOL *result)
{
    return answer(result, false);
}

HRESULT BackupManager::get_Error(IDispatch **result)
{
    return answer(result, nullptr);
}

HRESULT BackupManager::get_Description(BSTR *result)
{
    return answer(result, QStringLiteral("列出数据库的每日备份，立即备份，或用一份备份恢复数据库"));
}

HRESULT BackupManager::get_FriendlyName(BSTR *result)
{
    return answer(result, QStringLiteral("数据备份"));
}

HRESULT BackupManager::get_Author(BSTR *result)
{
    return answer(result, QStringLiteral("简衡软件"));
}
