#pragma once

#include "jx_components_export.h"

#include <QString>
#include <QVector>

#include <cstdint>

class Database;

/// One user of the directory.
class JX_COMPONENTS_EXPORT UserEntry
{
public:
    UserEntry() = default;
    UserEntry(QString code, QString name, bool admin) : m_code(std::move(code)), m_name(std::move(name)), m_admin(admin) {}
    QString UserName() const { return m_name; }
    QString UserCode() const { return m_code; }
    bool IsAdministrator() const { return m_admin; }

private:
    QString m_code, m_name;
    bool m_admin = false;
};

/// Users collection, items counted from 1.
class JX_COMPONENTS_EXPORT UserCollection
{
public:
    UserCollection() = default;
    explicit UserCollection(QVector<UserEntry> users) : m_users(std::move(users)) {}
    int32_t Count() const { return static_cast<int32_t>(m_users.size()); }
    /// Item i (1..Count); an empty entry when out of range.
    UserEntry Item(int32_t index) const;

private:
    QVector<UserEntry> m_users;
};

/// Directory of the active users kept in the product database (table jx_user).
class JX_COMPONENTS_EXPORT UserDirectory
{
public:
    explicit UserDirectory(Database *db = nullptr);
    void Attach(Database *db) { m_db = db; }
    /// Active users ordered by user code; empty without a database.
    UserCollection Users() const;

private:
    Database *m_db;
};
