#include "console/startup/ComponentsRuntime.h"

#include "components/context/AppContext.h"
#include "components/context/CompanyInfo.h"
#include "components/context/CurrentUser.h"
#include "components/context/RunEnvironment.h"
#include "components/context/StringCipher.h"
#include "components/context/ThemeManager.h"
#include "components/context/UserDirectory.h"
#include "components/data/Database.h"
#include "components/data/QueryResult.h"
#include "components/data/Recordset.h"
#include "components/log/LogEntry.h"
#include "components/log/LogSink.h"
#include "components/log/LogWriter.h"
#include "components/log/TextEncoder.h"
#include "console/config/bCommon.h"
#include "platform/ILogWriter.h"

#include <QCoreApplication>

#include <functional>
#include <map>

namespace jx {

namespace {

class RecordsetAdapter final : public IRecordset
{
public:
    explicit RecordsetAdapter(::Recordset rs) : m_rs(std::move(rs)) {}
    bool EOF_() const override { return m_rs.Eof(); }
    bool BOF_() const override { return m_rs.Bof(); }
    QVariant Field(const QString &name) const override { return m_rs.Fields(name); }
    void MoveNext() override { m_rs.MoveNext(); }
    void Close() override { m_rs.Close(); }

private:
    ::Recordset m_rs;
};

class DatabaseAdapter final : public IDatabase
{
public:
    bool Open(const QString &configFile, bool flag) override { return m_db.Open(LocalPath(configFile), flag); }
    bool IsOpen() const override { return m_db.IsOpen(); }
    QString LastErrorDescription() const override { return m_db.LastError().Description(); }
    QString SqlExpression(const QString &expression) override { return m_db.SqlExpression(expression); }
    QVariant QueryValue(const QString &sql) override { return m_db.Query(sql, 1).Value(); }
    std::unique_ptr<IRecordset> QueryRecordset(const QString &sql) override
    {
        return std::make_unique<RecordsetAdapter>(m_db.Query(sql, 1).Recordset());
    }
    ::Database &db() { return m_db; }

private:
    ::Database m_db;
};

class CurrentUserAdapter final : public ICurrentUser
{
public:
    QString UserName() const override { return m_user.UserName(); }
    void SetUserName(const QString &name) override { m_user.SetUserName(name); }
    bool Login(const QString &password) override { return m_user.Login(password); }
    bool IsLoggedIn() const override { return m_user.IsLoggedIn(); }
    QString UserCode() const override { return m_user.UserCode(); }
    QString LastErrorDescription() const override { return m_user.LastError().Description(); }
    bool Activate() override { return m_user.Activate(); }
    void Logout() override { m_user.Logout(); }
    ::CurrentUser &user() { return m_user; }

private:
    ::CurrentUser m_user;
};

class AppContextAdapter final : public IAppContext
{
public:
    explicit AppContextAdapter(CurrentUserAdapter *user) : m_user(user) {}
    bool Attach(IDatabase *database) override
    {
        auto *adapter = dynamic_cast<DatabaseAdapter *>(database);
        const bool ok = m_context.Attach(adapter ? &adapter->db() : nullptr, 0);
        if (ok && m_user)
            m_user->user().Attach(&m_context);
        return ok;
    }
    QString LastErrorDescription() const override { return m_context.LastError().Description(); }
    QString GetText(const QString &section, const QString &key, const QString &defaultText) override
    {
        return m_context.GetText(section, key, defaultText);
    }
    QString OptionValue(int32_t group, const QString &key) override { return m_context.Option(group, key).Value(); }
    RunEnvironmentValues Environment() const override
    {
        auto &env = const_cast<::AppContext &>(m_context).Environment();
        return {env.AppPath(), env.Caption(), env.ConfigFile(), env.TempPath(), env.UserName(), env.UserCode(), env.OperationDate()};
    }
    void SetEnvironment(const RunEnvironmentValues &v) override
    {
        ::RunEnvironment &env = m_context.Environment();
        env.SetAppPath(v.AppPath);
        env.SetCaption(v.Caption);
        env.SetConfigFile(v.ConfigFile);
        env.SetTempPath(v.TempPath);
        env.SetUserName(v.UserName);
        env.SetUserCode(v.UserCode);
        env.SetOperationDate(v.OperationDate);
    }
    bool LoadTheme(const QString &name, const QString &folder) override { return m_context.Theme().Load(name, folder); }
    QString CompanyDisplayName() const override { return const_cast<::AppContext &>(m_context).Company().DisplayName(); }
    void SetCompanyProperty(const QString &property, const QString &value) override
    {
        using Setter = void (::CompanyInfo::*)(const QString &);
        static const std::map<QString, Setter> setters = {
            {QStringLiteral("Attrib"), &::CompanyInfo::SetAttrib}, {QStringLiteral("AddrGAlt"), &::CompanyInfo::SetAddrGAlt},
            {QStringLiteral("EAddrR"), &::CompanyInfo::SetEAddrR}, {QStringLiteral("EName"), &::CompanyInfo::SetEName},
            {QStringLiteral("Account"), &::CompanyInfo::SetAccount}, {QStringLiteral("AddrG"), &::CompanyInfo::SetAddrG},
            {QStringLiteral("AddrB"), &::CompanyInfo::SetAddrB}, {QStringLiteral("AddrR"), &::CompanyInfo::SetAddrR},
            {QStringLiteral("Mail"), &::CompanyInfo::SetMail}, {QStringLiteral("Tax"), &::CompanyInfo::SetTax},
            {QStringLiteral("Fax"), &::CompanyInfo::SetFax}, {QStringLiteral("Phone"), &::CompanyInfo::SetPhone},
            {QStringLiteral("Fr"), &::CompanyInfo::SetFr}, {QStringLiteral("CoName"), &::CompanyInfo::SetCoName},
        };
        const auto it = setters.find(property);
        if (it != setters.end())
            (m_context.Company().*(it->second))(value);
    }
    ::AppContext &context() { return m_context; }

private:
    ::AppContext m_context;
    CurrentUserAdapter *m_user;
};

class CipherAdapter final : public IStringCipher
{
public:
    QString Encrypt(const QString &text, const QString &key) override { return m_cipher.Encrypt(text, key); }
    QString Decrypt(const QString &text, const QString &key) override { return m_cipher.Decrypt(text, key); }

private:
    ::StringCipher m_cipher;
};

class LogWriterAdapter final : public ILogWriter
{
public:
    void LoadConfig(const QString &configFileName) override { ::LogWriter::instance().LoadConfig(LocalPath(configFileName)); }
    void Init() override { ::LogWriter::instance().Init(QCoreApplication::instance(), sink); }
    void Write(const QString &source, int32_t kind, const QString &message) override
    {
        ::LogEntry entry;
        entry.SetSource(source);
        entry.SetKind(kind);
        entry.SetMessage(message);
        ::LogWriter::instance().Write(entry, 0);
    }
    QString Encode(const QString &text) override { return ::TextEncoder().Encode(text); }
    ::LogSink *sink = nullptr;
};

} // namespace

struct ComponentsRuntime::Impl
{
    LogWriterAdapter writer;
    AppContextAdapter *context = nullptr;
    DatabaseAdapter *database = nullptr;
};

ComponentsRuntime::ComponentsRuntime() : d(std::make_unique<Impl>()) {}
ComponentsRuntime::~ComponentsRuntime() = default;

ILogWriter *ComponentsRuntime::LogWriter()
{
    return &d->writer;
}

std::shared_ptr<void> ComponentsRuntime::CreateLogSink()
{
    auto sink = std::make_shared<::LogSink>();
    d->writer.sink = sink.get();
    // Released at shutdown: the writer must stop writing into it then.
    return std::shared_ptr<void>(new std::shared_ptr<::LogSink>(sink), [this](void *p) {
        ::LogWriter::instance().detachSink();
        d->writer.sink = nullptr;
        delete static_cast<std::shared_ptr<::LogSink> *>(p);
    });
}

std::unique_ptr<IDatabase> ComponentsRuntime::CreateDatabase()
{
    auto db = std::make_unique<DatabaseAdapter>();
    d->database = db.get();
    return db;
}

std::unique_ptr<ICurrentUser> ComponentsRuntime::CreateCurrentUser()
{
    return std::make_unique<CurrentUserAdapter>();
}

std::unique_ptr<IAppContext> ComponentsRuntime::CreateAppContext(ICurrentUser *user)
{
    auto ctx = std::make_unique<AppContextAdapter>(dynamic_cast<CurrentUserAdapter *>(user));
    d->context = ctx.get();
    return ctx;
}

std::unique_ptr<IStringCipher> ComponentsRuntime::CreateCipher()
{
    return std::make_unique<CipherAdapter>();
}

QStringList ComponentsRuntime::DirectoryUserNames()
{
    QStringList names;
    if (!d->database)
        return names;
    const ::UserCollection users = ::UserDirectory(&d->database->db()).Users();
    for (int32_t i = 1; i <= users.Count(); ++i)
        names.append(users.Item(i).UserName());
    return names;
}

} // namespace jx
