#pragma once

// The outside runtime objects the console drives, reduced to what it calls.
// Start-up creates them through an IRuntimeFactory; the shipped program binds
// them to the product family's components, tests to fakes.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <memory>

namespace jx {

class IRecordset
{
public:
    virtual ~IRecordset() = default;
    virtual bool EOF_() const = 0;
    virtual bool BOF_() const = 0;
    virtual QVariant Field(const QString &name) const = 0;
    virtual void MoveNext() = 0;
    virtual void Close() = 0;
};

class IDatabase
{
public:
    virtual ~IDatabase() = default;
    virtual bool Open(const QString &configFile, bool flag) = 0;
    virtual bool IsOpen() const = 0;
    virtual QString LastErrorDescription() const = 0;
    virtual QString SqlExpression(const QString &expression) = 0;
    // First column of the first row.
    virtual QVariant QueryValue(const QString &sql) = 0;
    virtual std::unique_ptr<IRecordset> QueryRecordset(const QString &sql) = 0;
};

class ICurrentUser
{
public:
    virtual ~ICurrentUser() = default;
    virtual QString UserName() const = 0;
    virtual void SetUserName(const QString &name) = 0;
    virtual bool Login(const QString &password) = 0;
    virtual bool IsLoggedIn() const = 0;
    virtual QString UserCode() const = 0;
    virtual QString LastErrorDescription() const = 0;
    virtual bool Activate() = 0;
    virtual void Logout() = 0;
};

// The environment fields the console fills.
struct RunEnvironmentValues
{
    QString AppPath;
    QString Caption;
    QString ConfigFile;
    QString TempPath;
    QString UserName;
    QString UserCode;
    QDate OperationDate;
};

class IAppContext
{
public:
    virtual ~IAppContext() = default;
    virtual bool Attach(IDatabase *database) = 0;
    virtual QString LastErrorDescription() const = 0;
    virtual QString GetText(const QString &section, const QString &key, const QString &defaultText) = 0;
    virtual QString OptionValue(int32_t group, const QString &key) = 0;
    virtual RunEnvironmentValues Environment() const = 0;
    virtual void SetEnvironment(const RunEnvironmentValues &values) = 0;
    virtual bool LoadTheme(const QString &name, const QString &folder) = 0;
    virtual QString CompanyDisplayName() const = 0;
    // Sets one text property of the company record by its property name.
    virtual void SetCompanyProperty(const QString &property, const QString &value) = 0;
};

class IStringCipher
{
public:
    virtual ~IStringCipher() = default;
    virtual QString Encrypt(const QString &text, const QString &key) = 0;
    virtual QString Decrypt(const QString &text, const QString &key) = 0;
};

class ILogWriter;

// Creates the runtime objects; a creation that cannot be done raises a
// run-time error (as a missing component would).
class IRuntimeFactory
{
public:
    virtual ~IRuntimeFactory() = default;
    virtual ILogWriter *LogWriter() = 0;
    // The log sink lives from log set-up to shutdown; an opaque holder.
    virtual std::shared_ptr<void> CreateLogSink() = 0;
    virtual std::unique_ptr<IDatabase> CreateDatabase() = 0;
    virtual std::unique_ptr<ICurrentUser> CreateCurrentUser() = 0;
    virtual std::unique_ptr<IAppContext> CreateAppContext(ICurrentUser *user) = 0;
    virtual std::unique_ptr<IStringCipher> CreateCipher() = 0;
    virtual QStringList DirectoryUserNames() = 0;
};

} // namespace jx
