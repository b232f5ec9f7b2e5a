#include "DailyBackup.h"

#include "DatabaseBackup.h"

#include "platform/ILogWriter.h"
#include "platform/LogHook.h"
#include "platform/com/Bstr.h"

namespace {

const QString kSource = QStringLiteral("jxBackup");
constexpr int32_t kLogWarning = 4; // the log's kind for warnings

HRESULT give(const QString &text, BSTR *result)
{
    if (!result)
        return E_POINTER;
    *result = com::toBstr(text);
    return S_OK;
}

template<typename T, typename I>
HRESULT giveObject(const com::ComPtr<T> &object, I **result)
{
    if (!result)
        return E_POINTER;
    *result = object.get();
    (*result)->AddRef();
    return S_OK;
}

} // namespace

DailyBackup::DailyBackup()
    : m_settings(com::ComPtr<clsStartupSettings>::adopt(new clsStartupSettings))
    , m_error(com::ComPtr<clsStartupError>::adopt(new clsStartupError))
{
}

const com::MemberTable<DailyBackup> &DailyBackup::members()
{
    static const com::MemberTable<DailyBackup> table = com::MemberTable<DailyBackup>()
        .add(QStringLiteral("Name"),
             [](DailyBackup &, const com::DispArgs &) { return com::Variant::fromString(QStringLiteral("数据库每日备份")); })
        .add(QStringLiteral("Settings"),
             [](DailyBackup &self, const com::DispArgs &) { return com::Variant::fromDispatch(self.m_settings.get()); })
        .add(QStringLiteral("LastError"),
             [](DailyBackup &self, const com::DispArgs &) { return com::Variant::fromDispatch(self.m_error.get()); })
        .add(QStringLiteral("Result"), [](DailyBackup &self, const com::DispArgs &) { return com::Variant::fromString(self.m_result); })
        .add(QStringLiteral("Start"), [](DailyBackup &self, const com::DispArgs &) {
            self.Start();
            return com::Variant();
        })
        .add(QStringLiteral("Run"), [](DailyBackup &self, const com::DispArgs &) { return com::Variant::fromString(self.runBackup()); })
        .add(QStringLiteral("Stop"), [](DailyBackup &self, const com::DispArgs &) {
            self.Stop();
            return com::Variant();
        });
    return table;
}

HRESULT DailyBackup::get_Description(BSTR *result)
{
    return give(QStringLiteral("每天第一次启动时备份产品数据库到安装目录的 backup 文件夹，保留最近的若干份。"), result);
}
HRESULT DailyBackup::get_Author(BSTR *result) { return give(QStringLiteral("简衡软件"), result); }
HRESULT DailyBackup::get_Version(BSTR *result) { return give(QStringLiteral("1.0"), result); }
HRESULT DailyBackup::get_ProgID(BSTR *result) { return give(QString::fromLatin1(kProgId), result); }
HRESULT DailyBackup::get_Name(BSTR *result) { return give(QStringLiteral("数据库每日备份"), result); }

HRESULT DailyBackup::get_Running(VARIANT_BOOL *result)
{
    if (!result)
        return E_POINTER;
    *result = m_running ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT DailyBackup::Run(BSTR *, BSTR *result)
{
    return com::guarded([&] { return give(runBackup(), result); });
}

QString DailyBackup::runBackup()
{
    m_error->Clear();
    DatabaseBackup backup(m_settings->ConfigFile(), m_settings->AppPath(), QString::fromLatin1(kProgId));
    const bool made = backup.Run();
    // Not failures: the copy is made all the same, but the operator should know.
    if (jx::ILogWriter *log = jx::LogHook::writer())
        for (const QString &note : backup.Notes())
            log->Write(kSource, kLogWarning, note);
    if (!made) {
        m_error->Set(1, kSource, backup.Error());
        m_result.clear();
    } else {
        m_result = backup.BackupFile();
    }
    return m_result;
}

HRESULT DailyBackup::Start()
{
    m_error->Clear();
    m_running = true;
    return S_OK;
}

HRESULT DailyBackup::Stop()
{
    m_running = false;
    return S_OK;
}

HRESULT DailyBackup::ClearError()
{
    m_error->Clear();
    return S_OK;
}

HRESULT DailyBackup::get_Settings(StartupSettings **result) { return giveObject(m_settings, result); }
HRESULT DailyBackup::get_Result(BSTR *result) { return give(m_result, result); }
HRESULT DailyBackup::get_LastError(StartupError **result) { return giveObject(m_error, result); }
