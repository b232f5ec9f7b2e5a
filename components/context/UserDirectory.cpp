#include "components/context/UserDirectory.h"

#include "components/data/Database.h"

UserEntry UserCollection::Item(int32_t index) const
{
    if (index < 1 || index > m_users.size())
        return {};
    return m_users.at(index - 1);
}

UserDirectory::UserDirectory(Database *db) : m_db(db) {}

UserCollection UserDirectory::Users() const
{
    QVector<UserEntry> users;
    if (!m_db || !m_db->IsOpen())
        return UserCollection();
    Recordset rs = m_db->Query(QStringLiteral("select usercode,username,isadmin from jx_user where active=1 order by usercode"), 1)
                       .Recordset();
    for (; !rs.Eof(); rs.MoveNext())
        users.append(UserEntry(rs.Fields(QStringLiteral("usercode")).toString(),
                               rs.Fields(QStringLiteral("username")).toString(),
                               rs.Fields(QStringLiteral("isadmin")).toInt() != 0));
    return UserCollection(std::move(users));
}
