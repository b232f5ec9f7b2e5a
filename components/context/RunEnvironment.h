#pragma once

#include "jx_components_export.h"

#include "platform/com/Dispatchable.h"

#include <QDate>
#include <QString>

/// Plain properties of the running program, filled at start-up and sign-in.
class JX_COMPONENTS_EXPORT RunEnvironment final : public com::Dispatchable<RunEnvironment>
{
public:
    static constexpr const char *kClassIid = "{6A1C2E03-3B5D-4C7E-9F10-2A3B4C5D6E03}";
    static const com::MemberTable<RunEnvironment> &members();
    using Dispatchable::setLifetimeOwner;

    QString UserName() const { return m_userName; }
    void SetUserName(const QString &v) { m_userName = v; }
    QString UserCode() const { return m_userCode; }
    void SetUserCode(const QString &v) { m_userCode = v; }
    /// Program folder.
    QString AppPath() const { return m_appPath; }
    void SetAppPath(const QString &v) { m_appPath = v; }
    /// Business date chosen at sign-in.
    QDate OperationDate() const { return m_operationDate; }
    void SetOperationDate(const QDate &v) { m_operationDate = v; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &v) { m_caption = v; }
    /// Full path of the configuration file.
    QString ConfigFile() const { return m_configFile; }
    void SetConfigFile(const QString &v) { m_configFile = v; }
    /// Temporary folder.
    QString TempPath() const { return m_tempPath; }
    void SetTempPath(const QString &v) { m_tempPath = v; }

private:
    QString m_userName, m_userCode, m_appPath, m_caption, m_configFile, m_tempPath;
    QDate m_operationDate;
};
