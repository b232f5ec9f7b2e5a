#include "console/startup/ConsoleSession.h"

#include "components/log/LogEntry.h"
#include "components/log/LogSink.h"
#include "components/log/LogWriter.h"
#include "components/log/TextEncoder.h"
#include "console/config/bCommon.h"
#include "console/log/Logger.h"
#include "platform/ILogWriter.h"
#include "platform/Numeric.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/RuntimeError.h"
#include "platform/ErrorText.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <exception>

namespace jx {

// The components' log writer as the console drives it, writing into the
// session's sink.
class ConsoleSession::ComponentsLog final : public ILogWriter
{
public:
    explicit ComponentsLog(LogSink *sink) : m_sink(sink) {}
    void LoadConfig(const QString &configFileName) override { ::LogWriter::instance().LoadConfig(LocalPath(configFileName)); }
    void Init() override { ::LogWriter::instance().Init(QCoreApplication::instance(), m_sink); }
    void Write(const QString &source, int32_t kind, const QString &message) override
    {
        ::LogEntry entry;
        entry.SetSource(source);
        entry.SetKind(kind);
        entry.SetMessage(message);
        ::LogWriter::instance().Write(entry, 0);
    }
    QString Encode(const QString &text) override { return ::TextEncoder().Encode(text); }
    // At shutdown: the writer must stop writing into the sink before it goes.
    void Detach() { ::LogWriter::instance().detachSink(); }

private:
    LogSink *m_sink;
};

namespace {
[[noreturn]] void objectRequired()
{
    throw com::RuntimeError::of(com::errors::ObjectRequired, QStringLiteral("JxMain1"));
}
} // namespace

ConsoleSession::ConsoleSession(ILogWriter *logWriter) : m_givenWriter(logWriter) {}

ConsoleSession::~ConsoleSession()
{
    Shutdown();
}

bool ConsoleSession::OpenConfiguration(const QString &configFile)
{
    m_trail << QStringLiteral("configuration");
    m_config = com::ComPtr<clsConfig>::adopt(new clsConfig());
    return m_config->Init(configFile);
}

void ConsoleSession::SetUpLog()
{
    if (!m_config)
        objectRequired();
    m_trail << QStringLiteral("log");
    m_logSink = std::make_unique<LogSink>();
    ILogWriter *writer = m_givenWriter;
    if (!writer) {
        m_componentsLog = std::make_unique<ComponentsLog>(m_logSink.get());
        writer = m_componentsLog.get();
    }
    writer->LoadConfig(m_config->ConfigFileName());
    writer->Init();
    Logger::SetWriter(writer);
    // Both read the live objects, so that a log call after their release
    // raises "object required" as the routines promise.
    Logger::SetSubjectSource([this] {
        if (!m_config)
            objectRequired();
        return m_config->Subject();
    });
    Logger::SetUserNameSource([this] {
        if (!m_currentUser)
            objectRequired();
        return m_currentUser->UserName();
    });
}

bool ConsoleSession::OpenDatabase()
{
    if (!m_config)
        objectRequired();
    m_trail << QStringLiteral("database");
    // Late creation by name, as the product family's database component is made.
    const com::ComPtr<IDispatch> object = com::createObject(QString::fromLatin1(kDatabaseProgId));
    ::Database *database = com::implementationOf<::Database>(object.get());
    if (!database)
        throw com::RuntimeError::of(com::errors::NoAutomationInterface, QStringLiteral("JxMain1"));
    m_database = com::ComPtr<::Database>(database);
    return m_database->Open(LocalPath(m_config->ConfigFileName()), true);
}

bool ConsoleSession::AttachContext()
{
    if (!m_database)
        objectRequired();
    m_trail << QStringLiteral("context");
    m_currentUser = com::ComPtr<::CurrentUser>::adopt(new ::CurrentUser());
    m_appContext = com::ComPtr<::AppContext>::adopt(new ::AppContext());
    // The user signs in against the context's database and answers its rights.
    m_currentUser->Attach(m_appContext.get());
    return m_appContext->Attach(m_database.get(), 0);
}

void ConsoleSession::FillEnvironment()
{
    if (!m_config || !m_config->XML() || !m_appContext)
        objectRequired();
    m_trail << QStringLiteral("environment");
    RunEnvironment &env = m_appContext->Environment();
    env.SetAppPath(AppPath());
    env.SetCaption(m_config->Caption());
    env.SetConfigFile(m_config->ConfigFileName());
    // The node's text is taken as it stands, even when empty.
    const QVariant temp = m_config->XML()->GetValue(QStringLiteral("/configuration/system/temporarypath"));
    env.SetTempPath(temp.isNull() ? AppPath() + QStringLiteral("\\temp\\") : toText(temp));
}

void ConsoleSession::LoadTheme()
{
    if (!m_config || !m_config->XML() || !m_appContext)
        objectRequired();
    m_trail << QStringLiteral("theme");
    const QString theme = toText(m_config->XML()->GetValue(QStringLiteral("/configuration/system/settings/theme")));
    if (theme.isEmpty() || !QFileInfo(LocalPath(AppPath() + QStringLiteral("\\themes\\") + theme)).isDir())
        return;
    m_appContext->Theme().Load(theme, m_appContext->Environment().AppPath() + QStringLiteral("\\themes\\") + theme);
}

jx::Result<> ConsoleSession::OpenInstallation(const QString &configFile)
{
    try {
        if (!OpenConfiguration(configFile))
            return jx::fail(QStringLiteral("程序错误，初始化参数文件") + trimBlanks(m_config->ConfigFileName()) + QStringLiteral("出错!"));
        SetUpLog();
        if (!OpenDatabase() || !m_database->IsOpen())
            return jx::fail(m_database->LastError().Description());
        if (!AttachContext())
            return jx::fail(m_appContext->LastError().Description());
        FillEnvironment();
        LoadTheme();
        return {};
    } catch (const std::exception &e) {
        return jx::fail(errorText(e));
    }
}

void ConsoleSession::Shutdown()
{
    try {
        if (m_currentUser && !m_currentUser->UserName().isEmpty()) {
            try {
                WriteOperation(QStringLiteral("正在注销用户并退出系统！"), 0);
            } catch (...) {
                logSwallowed(QStringLiteral("退出时写操作记录"));
            }
            try {
                m_currentUser->Logout();
            } catch (...) {
                logSwallowed(QStringLiteral("退出时注销用户"));
            }
        }
    } catch (...) {
        logSwallowed(QStringLiteral("退出时读取当前用户"));
    }
    if (m_database) {
        m_database.reset();
        m_trail << QStringLiteral("release database");
    }
    if (m_currentUser) {
        m_currentUser.reset();
        m_trail << QStringLiteral("release current user");
    }
    if (m_appContext) {
        m_appContext.reset();
        m_trail << QStringLiteral("release application context");
    }
    if (m_logSink) {
        releaseLog();
        m_trail << QStringLiteral("release log sink");
    }
    if (m_config) {
        try {
            m_config->Clear();
        } catch (...) {
            logSwallowed(QStringLiteral("退出时清理配置"));
        }
        m_config.reset();
        m_trail << QStringLiteral("release configuration");
    }
    m_replaced.clear();
}

void ConsoleSession::TakeBack(IDispatch *context, IDispatch *configuration)
{
    if (auto *given = com::implementationOf<::AppContext>(context); given && given != m_appContext.get()) {
        m_replaced.emplace_back(m_appContext.get());
        m_appContext = com::ComPtr<::AppContext>(given);
    }
    if (auto *given = com::implementationOf<clsConfig>(configuration); given && given != m_config.get()) {
        m_replaced.emplace_back(m_config.get());
        m_config = com::ComPtr<clsConfig>(given);
    }
}

void ConsoleSession::releaseLog()
{
    Logger::SetWriter(nullptr);
    Logger::SetSubjectSource({});
    Logger::SetUserNameSource({});
    if (m_componentsLog)
        m_componentsLog->Detach();
    m_componentsLog.reset();
    m_logSink.reset();
}

} // namespace jx
