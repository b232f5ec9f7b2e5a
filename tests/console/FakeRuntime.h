#pragma once

// In-memory stand-ins for the runtime objects, recording what start-up does.

#include "platform/ILogWriter.h"
#include "console/startup/RuntimeObjects.h"

#include <QMap>
#include <QStringList>

#include <functional>
#include <memory>

#include <ostream>

QT_BEGIN_NAMESPACE
// Readable failure output for texts.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace jxtest {

struct LoggedEntry
{
    QString source;
    int kind;
    QString message;
};

// Everything the fakes saw, shared by all of them.
struct FakeWorld
{
    QList<LoggedEntry> entries;
    QStringList events; // creations, releases, logouts in order
    bool dbOpens = true;
    bool dbIsOpen = true;
    QString dbError = QStringLiteral("无法连接数据库");
    bool attachOk = true;
    QString attachError = QStringLiteral("上下文错误");
    bool throwOnCreateDatabase = false;
    QMap<QString, QString> users{{QStringLiteral("admin"), QStringLiteral("admin123")}};
    QString loginError;
    QMap<QString, QString> options;
    QMap<QString, QString> texts;
    QStringList themeLoads;
    QStringList directory{QStringLiteral("admin"), QStringLiteral("clerk")};
    QList<QMap<QString, QVariant>> companyRows;
    QMap<QString, QString> company;
    jx::RunEnvironmentValues env;
    int databasesCreated = 0;
    QStringList queries;
};

class FakeWriter final : public jx::ILogWriter
{
public:
    explicit FakeWriter(FakeWorld &w) : w(w) {}
    void LoadConfig(const QString &) override { w.events << QStringLiteral("log config"); }
    void Init() override { w.events << QStringLiteral("log init"); }
    void Write(const QString &source, int32_t kind, const QString &message) override
    {
        w.entries.append({source, kind, message});
        if (onWrite)
            onWrite(message);
    }
    QString Encode(const QString &text) override
    {
        QString out = text;
        out.replace(QLatin1Char('&'), QStringLiteral("&amp;")).replace(QLatin1Char('<'), QStringLiteral("&lt;")).replace(QLatin1Char('>'), QStringLiteral("&gt;"));
        return out;
    }
    FakeWorld &w;
    // Runs after an entry is recorded; lets a test act at a given point of start-up.
    std::function<void(const QString &)> onWrite;
};

class FakeRecordset final : public jx::IRecordset
{
public:
    explicit FakeRecordset(QList<QMap<QString, QVariant>> rows) : rows(std::move(rows)) {}
    bool EOF_() const override { return pos >= rows.size(); }
    bool BOF_() const override { return rows.isEmpty(); }
    QVariant Field(const QString &name) const override { return pos < rows.size() ? rows.at(pos).value(name) : QVariant(); }
    void MoveNext() override { ++pos; }
    void Close() override {}
    QList<QMap<QString, QVariant>> rows;
    int pos = 0;
};

class FakeDatabase final : public jx::IDatabase
{
public:
    explicit FakeDatabase(FakeWorld &w) : w(w) { w.events << QStringLiteral("create database"); }
    ~FakeDatabase() override { w.events << QStringLiteral("release database"); }
    bool Open(const QString &, bool) override { return w.dbOpens; }
    bool IsOpen() const override { return w.dbIsOpen; }
    QString LastErrorDescription() const override { return w.dbError; }
    QString SqlExpression(const QString &e) override { return e == QLatin1String("getdate()") ? QStringLiteral("now()") : e; }
    QVariant QueryValue(const QString &sql) override
    {
        w.queries << sql;
        return QStringLiteral("2026-12-09 09:30:00");
    }
    std::unique_ptr<jx::IRecordset> QueryRecordset(const QString &sql) override
    {
        w.queries << sql;
        return std::make_unique<FakeRecordset>(w.companyRows);
    }
    FakeWorld &w;
};

class FakeUser final : public jx::ICurrentUser
{
public:
    explicit FakeUser(FakeWorld &w) : w(w) { w.events << QStringLiteral("create user"); }
    ~FakeUser() override { w.events << QStringLiteral("release user"); }
    QString UserName() const override { return name; }
    void SetUserName(const QString &n) override
    {
        name = n;
        loggedIn = false;
    }
    bool Login(const QString &password) override
    {
        loggedIn = w.users.contains(name) && w.users.value(name) == password;
        lastPassword = password;
        return loggedIn;
    }
    bool IsLoggedIn() const override { return loggedIn; }
    QString UserCode() const override { return QStringLiteral("U-") + name; }
    QString LastErrorDescription() const override { return loggedIn ? QString() : w.loginError; }
    bool Activate() override
    {
        w.events << QStringLiteral("activate");
        return true;
    }
    void Logout() override { w.events << QStringLiteral("logout"); }
    FakeWorld &w;
    QString name;
    QString lastPassword;
    bool loggedIn = false;
};

class FakeContext final : public jx::IAppContext
{
public:
    explicit FakeContext(FakeWorld &w) : w(w) { w.events << QStringLiteral("create context"); }
    ~FakeContext() override { w.events << QStringLiteral("release context"); }
    bool Attach(jx::IDatabase *) override { return w.attachOk; }
    QString LastErrorDescription() const override { return w.attachError; }
    QString GetText(const QString &, const QString &key, const QString &d) override { return w.texts.value(key, d); }
    QString OptionValue(int32_t group, const QString &key) override { return w.options.value(QString::number(group) + QLatin1Char('/') + key); }
    jx::RunEnvironmentValues Environment() const override { return w.env; }
    void SetEnvironment(const jx::RunEnvironmentValues &v) override { w.env = v; }
    bool LoadTheme(const QString &name, const QString &folder) override
    {
        w.themeLoads << name + QLatin1Char('|') + folder;
        return true;
    }
    QString CompanyDisplayName() const override { return w.company.value(QStringLiteral("CoName")); }
    void SetCompanyProperty(const QString &p, const QString &v) override { w.company[p] = v; }
    FakeWorld &w;
};

class FakeCipher final : public jx::IStringCipher
{
public:
    // Never empty, so a stored empty text shows that nothing was enciphered.
    QString Encrypt(const QString &t, const QString &k) override { return QStringLiteral("enc:") + k + QLatin1Char(':') + t; }
    QString Decrypt(const QString &t, const QString &k) override
    {
        const QString prefix = QStringLiteral("enc:") + k + QLatin1Char(':');
        return t.startsWith(prefix) ? t.mid(prefix.size()) : QString();
    }
};

class FakeRuntime final : public jx::IRuntimeFactory
{
public:
    FakeWorld w;
    FakeWriter writer{w};
    jx::ILogWriter *LogWriter() override { return &writer; }
    std::shared_ptr<void> CreateLogSink() override
    {
        w.events << QStringLiteral("create sink");
        FakeWorld *world = &w;
        return std::shared_ptr<void>(new int(0), [world](void *p) {
            world->events << QStringLiteral("release sink");
            delete static_cast<int *>(p);
        });
    }
    std::unique_ptr<jx::IDatabase> CreateDatabase() override
    {
        if (w.throwOnCreateDatabase)
            throw std::runtime_error("ActiveX 部件不能创建对象");
        ++w.databasesCreated;
        return std::make_unique<FakeDatabase>(w);
    }
    std::unique_ptr<jx::ICurrentUser> CreateCurrentUser() override { return std::make_unique<FakeUser>(w); }
    std::unique_ptr<jx::IAppContext> CreateAppContext(jx::ICurrentUser *) override { return std::make_unique<FakeContext>(w); }
    std::unique_ptr<jx::IStringCipher> CreateCipher() override { return std::make_unique<FakeCipher>(); }
    QStringList DirectoryUserNames() override { return w.directory; }

    QStringList messagesOfKind(int kind) const
    {
        QStringList out;
        for (const LoggedEntry &e : w.entries)
            if (e.kind == kind)
                out << e.message;
        return out;
    }
};

} // namespace jxtest
